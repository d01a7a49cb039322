#pragma once
// A read-only grid on a shared table. Selecting a row moves the table's
// cursor, and a cursor move made anywhere else moves the selection; a click
// on a column title makes that column active (red title) and, when the
// column has an index, orders the table by it. Typing on the grid collects
// a search text, shown in red beside "Keresett szöveg:", and moves to the
// first row whose active column begins with it.
#include <QWidget>

#include "app/IncrementalSearch.h"
#include "widgets/BrowseModel.h"

class QLabel;
class QTableView;

namespace velmora::ui {

class Browse : public QWidget {
    Q_OBJECT
public:
    Browse(db::Table& table, std::vector<BrowseColumn> columns, QWidget* parent = nullptr);
    ~Browse() override;

    QTableView* grid() const { return grid_; }
    BrowseModel* model() const { return model_; }
    db::Table& table() const { return model_->table(); }

    // The active column (aktoszlop): the one searched, whose title is red.
    int activeColumn() const { return active_; }
    void setActiveColumn(int column);
    // The sheet grid paints a title red only when its column has an index,
    // so after a click on another column no title is red.
    void setRedOnlyIndexed(bool on) { redOnlyIndexed_ = on; }
    // A grid without search shows no search text and collects nothing.
    void setSearchable(bool on);
    // The title click: the column becomes active, its index (if any) orders
    // the table and the cursor goes to the first row.
    void titleClicked(int column);

    void setSearchRules(app::SearchRules rules) { search_ = app::IncrementalSearch(std::move(rules)); }
    const std::string& searchText() const { return search_.text(); }
    void clearSearch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void activeColumnChanged(int column);
    // After the grid's own handling of a typed character (13 for Enter).
    void characterTyped(int code);

private:
    void showSearch();
    void typed(char32_t ch);

    BrowseModel* model_;
    QTableView* grid_;
    QLabel* searchLabel_;
    QLabel* searchText_;
    app::IncrementalSearch search_;
    int active_ = -1;
    bool redOnlyIndexed_ = false;
    bool searchable_ = true;
};

} // namespace velmora::ui
