#pragma once
// Ties a grid's current row to a shared table's cursor both ways: selecting
// a row moves the table's cursor, and a cursor move made anywhere else (or
// a reset of the grid's rows) puts the selection back on the table's row.
#include <QObject>

class QTableView;

namespace velmora::db { class Table; }

namespace velmora::ui {

class GridCursor : public QObject {
    Q_OBJECT
public:
    // The grid must already show its model; the tie lives as long as the grid.
    GridCursor(QTableView* grid, db::Table& table);
    ~GridCursor() override;

    // Puts the selection on the table's current row (none when it has none).
    void follow();

private:
    void rowSelected(int row);

    QTableView* grid_;
    db::Table& table_;
    int listener_ = 0;
    bool syncing_ = false;
};

} // namespace velmora::ui
