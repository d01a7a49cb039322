#include "widgets/GridCursor.h"

#include "db/Table.h"

#include <QItemSelectionModel>
#include <QTableView>

namespace velmora::ui {

GridCursor::GridCursor(QTableView* grid, db::Table& table) : QObject(grid), grid_(grid), table_(table) {
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) rowSelected(current.row());
            });
    // A reset forgets the selection: put it back on the table's row.
    connect(grid_->model(), &QAbstractItemModel::modelReset, this, &GridCursor::follow);
    listener_ = table_.subscribe([this](db::TableEvent e) {
        if (e == db::TableEvent::CursorMoved) follow();
    });
    follow();
}

GridCursor::~GridCursor() { table_.unsubscribe(listener_); }

void GridCursor::rowSelected(int row) {
    if (syncing_ || row == table_.position()) return;
    syncing_ = true;
    table_.moveTo(row);
    syncing_ = false;
    // The table may have clamped or refused the move.
    follow();
}

void GridCursor::follow() {
    if (syncing_) return;
    syncing_ = true;
    const int row = table_.isOpen() ? table_.position() : -1;
    if (row < 0) {
        grid_->selectionModel()->clear();
    } else {
        const QModelIndex current = grid_->currentIndex();
        const QModelIndex target = grid_->model()->index(row, current.isValid() ? current.column() : 0);
        grid_->selectionModel()->setCurrentIndex(target,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        grid_->scrollTo(target);
    }
    syncing_ = false;
}

} // namespace velmora::ui
