#include "widgets/BrowseFrame.h"

#include "db/Table.h"
#include "widgets/Browse.h"
#include "widgets/GridSaving.h"
#include "widgets/Hint.h"
#include "widgets/Navigator.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLayout>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

BrowseFrame::BrowseFrame(FrameSetup setup, db::Table& table, QWidget* parent, std::function<std::string()> periodShown)
    : QWidget(parent), setup_(std::move(setup)), table_(table), periodShown_(std::move(periodShown)),
      browse_(new Browse(table, setup_.columns, this)), navigator_(new Navigator(table, this)) {
    setProperty("frameClass", setup_.className);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(navigator_);
    layout->addWidget(browse_, 1);
    browse_->grid()->setObjectName(setup_.gridName);
    browse_->setSearchRules(setup_.rules);
    browse_->setSearchable(setup_.searchable);
    browse_->setRedOnlyIndexed(setup_.sheetFrame);
    if (!setup_.sheetFrame) browse_->model()->setTitleBackground(Qt::yellow);
    if (!setup_.gridHint.isEmpty()) setHint(browse_->grid(), setup_.gridHint);
    if (!setup_.frameHint.isEmpty()) setHint(this, setup_.frameHint);
    saveActions_ = offerGridSaving(browse_->grid(), browse_->model(), navigator_);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusMoved(now); });
}

BrowseFrame::~BrowseFrame() = default;

QTableView* BrowseFrame::grid() const { return browse_->grid(); }

int BrowseFrame::fullWidth() const {
    const QTableView* g = grid();
    int columns = 0;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        if (!g->isColumnHidden(c)) columns += g->columnWidth(c);
    const int header = g->verticalHeader()->isHidden() ? 0 : g->verticalHeader()->sizeHint().width();
    const QMargins m = layout() ? layout()->contentsMargins() : QMargins();
    return columns + header + 2 * g->frameWidth() + g->verticalScrollBar()->sizeHint().width() + m.left() + m.right();
}

void BrowseFrame::focusMoved(QWidget* now) {
    if (!now) return;
    // The window is watched for closing from the first focus on: the frame
    // may be built before it is put into its window.
    if (QWidget* w = window(); w != watchedWindow_) {
        if (watchedWindow_) watchedWindow_->removeEventFilter(this);
        watchedWindow_ = w;
        w->installEventFilter(this);
    }
    const bool nowInside = now == this || isAncestorOf(now);
    if (nowInside && !inside_) {
        inside_ = true;
        FrameEnter();
    } else if (!nowInside && inside_ && now->window() == window()) {
        inside_ = false;
        FrameExit();
    }
}

bool BrowseFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedWindow_ && event->type() == QEvent::Hide && inside_) {
        inside_ = false;
        FrameExit();
    }
    return QWidget::eventFilter(watched, event);
}

void BrowseFrame::FrameEnter() {
    browse_->clearSearch();
    if (!setup_.searchable) {
        if (table_.isOpen()) table_.first();
        return;
    }
    const app::FrameEntry entry{setup_.entryIndex, setup_.sheetFrame};
    const int column = app::EnterPosition(table_, entry, stored_, periodShown_ ? periodShown_() : std::string());
    browse_->setActiveColumn(column);
    paintEntryTitles();
}

// Every other title black (Defszin), the active one red.
void BrowseFrame::paintEntryTitles() { browse_->model()->setTitleColours(Qt::black, Qt::red); }

void BrowseFrame::FrameExit() { Bookmark(); }

void BrowseFrame::Bookmark() {
    if (!setup_.searchable) return;
    stored_ = app::StorePosition(table_, browse_->activeColumn(), periodShown_ ? periodShown_() : std::string());
}

} // namespace velmora::ui
