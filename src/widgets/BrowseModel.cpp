#include "widgets/BrowseModel.h"

#include "widgets/QtText.h"

#include <QBrush>

namespace velmora::ui {

BrowseModel::BrowseModel(db::Table& table, std::vector<BrowseColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
    listener_ = table_.subscribe([this](db::TableEvent e) { tableChanged(e); });
}

BrowseModel::~BrowseModel() { table_.unsubscribe(listener_); }

void BrowseModel::tableChanged(db::TableEvent e) {
    if (e == db::TableEvent::CursorMoved) return;
    if (holds_ > 0) {
        stale_ = true;
        return;
    }
    reread();
}

// An edited record may have moved in the index order, so every change
// re-reads the whole visible order.
void BrowseModel::reread() {
    stale_ = false;
    beginResetModel();
    endResetModel();
}

BrowseModel::Hold::Hold(BrowseModel& model) : model_(model) { ++model_.holds_; }

BrowseModel::Hold::~Hold() {
    if (--model_.holds_ == 0 && model_.stale_) model_.reread();
}

void BrowseModel::setRowColour(RowColour colour) {
    rowColour_ = std::move(colour);
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

void BrowseModel::setActiveColumn(int column) {
    if (column == active_) return;
    active_ = column;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void BrowseModel::setTitleColours(QColor titleColour, QColor activeColour) {
    titleColour_ = titleColour;
    activeColour_ = activeColour;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int BrowseModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !table_.isOpen()) return 0;
    return table_.recordCount();
}

int BrowseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount()) return {};
    const BrowseColumn& c = columns_[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return qs(table_.valueAtPosition(index.row(), c.field).asString());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(c.alignment);
    case Qt::BackgroundRole:
        if (rowColour_)
            if (const QColor colour = rowColour_(index.row()); colour.isValid()) return QBrush(colour);
        return {};
    default:
        return {};
    }
}

QVariant BrowseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const BrowseColumn& c = columns_[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return c.title;
    case Qt::ForegroundRole:
        return QBrush(section == active_ ? activeColour_ : titleColour_);
    case Qt::BackgroundRole:
        return titleBackground_.isValid() ? QVariant(QBrush(titleBackground_)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(c.titleAlignment);
    default:
        return {};
    }
}

Qt::ItemFlags BrowseModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace velmora::ui
