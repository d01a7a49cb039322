#pragma once
// A read-only grid on a shared table. Selecting a row moves the table's
// cursor, and a cursor move made anywhere else moves the selection; a click
// on a column title makes that column active (red title) and, when the
// column has an index, orders the table by it.
#include <QWidget>

#include "BrowseModel.h"

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

    int activeColumn() const { return model_->activeColumn(); }
    // The title click: the column becomes active, its index (if any) orders
    // the table and the cursor goes to the first row.
    void titleClicked(int column);

signals:
    void activeColumnChanged(int column);

private:
    void rowSelected(int row);
    void followCursor();

    BrowseModel* model_;
    QTableView* grid_;
    int listener_ = 0;
    bool syncing_ = false;
};

} // namespace velmora::ui
