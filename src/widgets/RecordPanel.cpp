#include "widgets/RecordPanel.h"

#include "db/Table.h"
#include "widgets/FieldExits.h"
#include "widgets/Navigator.h"
#include "widgets/QtText.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace velmora::ui {

RecordLabels::RecordLabels(db::Table& table, QObject* parent) : QObject(parent), table_(table) {
    listener_ = table_.subscribe([this](db::TableEvent) { refresh(); });
}

RecordLabels::~RecordLabels() { table_.unsubscribe(listener_); }

QLabel* RecordLabels::add(const std::string& field, int chars, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(qs(field));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setTextFormat(Qt::PlainText);
    // Room for the field's width, like a bound text of fixed size, so the
    // layout does not jump from row to row.
    label->setFixedWidth(QFontMetrics(bold).horizontalAdvance(QLatin1Char('0')) * chars + 6);
    bound_.push_back({label, field});
    refresh();
    return label;
}

void RecordLabels::refresh() {
    const bool onRow = table_.isOpen() && table_.recNo() >= 0;
    for (const Bound& b : bound_) {
        const int f = table_.isOpen() ? table_.fieldIndex(b.field) : -1;
        const QString text = onRow && f >= 0 ? qs(table_.field(f).asString()) : QString();
        const bool number = f >= 0 && table_.fields()[static_cast<size_t>(f)].type == 'N';
        b.label->setAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        b.label->setText(text);
        b.label->setToolTip(text);
        // Wide letters may need more than the field's width in digits: the
        // label grows to show the value whole (and keeps that width, so
        // the rows do not jump back and forth).
        const int need = b.label->fontMetrics().horizontalAdvance(text) + 6;
        if (need > b.label->minimumWidth()) b.label->setFixedWidth(need);
    }
}

void addRecordRow(QGridLayout* layout, RecordLabels& labels, QWidget* parent, const std::vector<RecordItem>& items) {
    const int row = layout->rowCount();
    size_t i = 0;
    if (!items.empty() && items.front().field.empty()) {
        layout->addWidget(new QLabel(items.front().caption, parent), row, 0);
        i = 1;
    }
    auto* rest = new QHBoxLayout;
    rest->setSpacing(8);
    for (; i < items.size(); ++i) {
        const RecordItem& item = items[i];
        if (item.field.empty())
            rest->addWidget(new QLabel(item.caption, parent));
        else
            rest->addWidget(labels.add(item.field, item.chars, parent));
    }
    rest->addStretch(1);
    layout->addLayout(rest, row, 1);
}

RecordPanel::RecordPanel(db::Table& table, const QString& title, QWidget* parent)
    : QGroupBox(title, parent),
      labels_(new RecordLabels(table, this)),
      rows_(new QGridLayout),
      navigator_(new Navigator(table, this)) {
    setFocusPolicy(Qt::StrongFocus);
    rows_->setHorizontalSpacing(8);
    rows_->setVerticalSpacing(4);
    rows_->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows_);
    layout->addStretch(1);
    layout->addWidget(navigator_);
}

void RecordPanel::addRow(const std::vector<RecordItem>& items) { addRecordRow(rows_, *labels_, this, items); }

void RecordPanel::focusInEvent(QFocusEvent* event) {
    QGroupBox::focusInEvent(event);
    // Coming back from another window or a pop-up is no entry.
    if (MovedByUser(event->reason())) emit entered();
}

void RecordPanel::keyPressEvent(QKeyEvent* event) {
    db::Table& t = table();
    if (!t.isOpen()) return QGroupBox::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Up: case Qt::Key_PageUp: t.prior(); break;
    case Qt::Key_Down: case Qt::Key_PageDown: t.next(); break;
    case Qt::Key_Home: t.first(); break;
    case Qt::Key_End: t.last(); break;
    default: return QGroupBox::keyPressEvent(event);
    }
}

} // namespace velmora::ui
