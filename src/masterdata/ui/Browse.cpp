#include "Browse.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

Browse::Browse(db::Table& table, std::vector<BrowseColumn> columns, QWidget* parent)
    : QWidget(parent), model_(new BrowseModel(table, std::move(columns), this)), grid_(new QTableView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);

    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    grid_->horizontalHeader()->setSectionsClickable(true);
    grid_->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < model_->columnCount(); ++c)
        if (int w = model_->column(c).width; w > 0) grid_->setColumnWidth(c, w);

    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) rowSelected(current.row());
            });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &Browse::titleClicked);
    // A reset forgets the selection: put it back on the table's row.
    connect(model_, &QAbstractItemModel::modelReset, this, &Browse::followCursor);
    listener_ = table.subscribe([this](db::TableEvent e) {
        if (e == db::TableEvent::CursorMoved) followCursor();
    });
    followCursor();
}

Browse::~Browse() { table().unsubscribe(listener_); }

void Browse::rowSelected(int row) {
    if (syncing_ || row == table().position()) return;
    syncing_ = true;
    table().moveTo(row);
    syncing_ = false;
    // The table may have clamped or refused the move.
    followCursor();
}

void Browse::followCursor() {
    if (syncing_) return;
    syncing_ = true;
    const int row = table().isOpen() ? table().position() : -1;
    if (row < 0) {
        grid_->selectionModel()->clear();
    } else {
        const QModelIndex current = grid_->currentIndex();
        const QModelIndex target = model_->index(row, current.isValid() ? current.column() : 0);
        grid_->selectionModel()->setCurrentIndex(
            target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        grid_->scrollTo(target);
    }
    syncing_ = false;
}

void Browse::titleClicked(int column) {
    if (column < 0 || column >= model_->columnCount()) return;
    model_->setActiveColumn(column);
    if (const std::string& tag = model_->column(column).index; !tag.empty()) table().setActiveIndex(tag);
    table().first();
    emit activeColumnChanged(column);
}

} // namespace velmora::ui
