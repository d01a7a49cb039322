#pragma once
// A read-only grid model over one shared table: one row per visible row of
// the table (filter and active index), read without moving the cursor. It
// follows the table's events, so rows appended, edited, deleted or packed
// anywhere in the program show at once.
#include <QAbstractTableModel>
#include <QColor>

#include "db/Table.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::ui {

struct BrowseColumn {
    std::string field;        // field or lookup field of the table
    QString title;
    int width = 0;            // pixels; 0 keeps the grid's default
    std::string index;        // index tag a title click selects; "" for none
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class BrowseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    BrowseModel(db::Table& table, std::vector<BrowseColumn> columns, QObject* parent = nullptr);
    ~BrowseModel() override;

    db::Table& table() const { return table_; }
    const std::vector<BrowseColumn>& columns() const { return columns_; }
    BrowseColumn& column(int c) { return columns_.at(static_cast<size_t>(c)); }

    // The active column's title is painted in activeColour, the others in
    // titleColour; -1 leaves every title in titleColour.
    int activeColumn() const { return active_; }
    void setActiveColumn(int column);
    void setTitleColours(QColor titleColour, QColor activeColour);
    void setTitleBackground(QColor background) { titleBackground_ = background; }

    // A row's background by its place in the visible order; an invalid
    // colour keeps the grid's own. The selected row keeps the selection's
    // colours, which the view paints over it.
    using RowColour = std::function<QColor(int row)>;
    void setRowColour(RowColour colour);

    // While a Hold lives, the table's changes are only noted; when the last
    // hold goes, the rows are read again once. A command that changes many
    // rows one by one so redraws the grid once, not once a row.
    class Hold {
    public:
        explicit Hold(BrowseModel& model);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        BrowseModel& model_;
    };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void tableChanged(db::TableEvent e);
    void reread();

    db::Table& table_;
    std::vector<BrowseColumn> columns_;
    int listener_ = 0;
    int active_ = -1;
    QColor titleColour_ = Qt::black;
    QColor activeColour_ = Qt::red;
    QColor titleBackground_;
    RowColour rowColour_;
    int holds_ = 0;
    bool stale_ = false;  // the table changed while held
};

} // namespace velmora::ui
