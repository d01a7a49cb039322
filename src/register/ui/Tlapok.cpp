#include "register/ui/Tlapok.h"

#include "db/Table.h"
#include "register/ui/SheetFrame.h"
#include "register/ui/Tleido.h"
#include "register/ui/Treszlap.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Buttons.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

using reg::RegisterMode;

namespace {

const char* const kListHint = "Adott év elszámolási lapjainak felsorolása";

// The register's own column widths over the sheet grid's columns.
FrameSetup registerFrame() {
    FrameSetup setup = TLapkep();
    const std::pair<int, int> widths[] = {{0, 47}, {1, 11}, {3, 175}, {4, 44}, {6, 50}, {7, 41}, {8, 22}, {9, 22}};
    for (const auto& [column, width] : widths) setup.columns.at(static_cast<size_t>(column)).width = width;
    return setup;
}

// The budget's labels and values: bold and red.
QLabel* budgetLabel(QWidget* parent, const char* name, const char* text, bool value = false) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
    if (value) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

Tlapok::Tlapok(QWidget* mainWindow, const sheets::SheetContext& ctx, const CommandGuard& guard,
               SheetWindows& sheetWindows, reg::BulkToggle& bulkToggle)
    : QDialog(mainWindow), mainWindow_(mainWindow), ctx_(ctx), guard_(guard), sheetWindows_(sheetWindows),
      bulkToggle_(bulkToggle), lap_(store::tableOf(ctx.db, store::schema::HLAPA())) {
    setObjectName(QStringLiteral("Tlapok"));
    setWindowTitle(QString::fromUtf8("Elszámolási lapok"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setHint(this, QString::fromUtf8(kListHint));

    QWidget* budget = buildBudget();
    const app::Session& session = ctx_.session;
    Lapkep1 = new BrowseFrame(registerFrame(), lap_, this, [&session] { return session.mIdoszak; });
    Lapkep1->setObjectName(QStringLiteral("Lapkep1"));
    Lapkep1->browse()->model()->setRowColour([this](int row) { return rowColour(row); });
    QTableView* grid = Lapkep1->grid();
    grid->setShowGrid(false);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);

    kuld = NamedButton(this, "kuld", "Adatküldés", "Adatok köldése RUV felé");
    nyomtat = NamedButton(this, "nyomtat", "Nyomtatás", "Elszámolási lapok nyomtatása");
    kilep = NamedButton(this, "kilep", "Kilépés", "Visszalépés a főmenübe");
    kuld->setEnabled(false);
    nyomtat->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(kuld);
    buttons->addWidget(nyomtat);
    buttons->addStretch(1);
    buttons->addWidget(kilep);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(budget);
    layout->addWidget(Lapkep1, 1);
    layout->addLayout(buttons);

    buildMenus();
    guard_.onClick(kuld, this, [this] {
        if (sendAction_) sendAction_();
    });
    guard_.onClick(nyomtat, this, [this] {
        if (printAction_) printAction_();
    });
    connect(kilep, &QPushButton::clicked, this, &QDialog::reject);  // Escape too
    connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
        (recording() ? PMlap : PMKi)->popup(grid->viewport()->mapToGlobal(at));
    });
    connect(Lapkep1->browse(), &Browse::characterTyped, this, [this](int code) {
        if (code == 13) enterOrDoubleClick();
    });
    connect(grid, &QTableView::doubleClicked, this, [this] { enterOrDoubleClick(); });
    InstallHelpKey(this);

    reszlap = new Treszlap(this, lap_, ctx_, guard_, sheetWindows_);
    leido = new Tleido(this, ctx_, guard_);

    // First the grid as wide as its columns and ten rows high; the window
    // may grow, and the grid with it.
    int columns = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c) columns += grid->columnWidth(c);
    grid->setMinimumWidth(columns + 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width() + 24);
    grid->setMinimumHeight(10 * grid->verticalHeader()->defaultSectionSize());
    MakeResizable(this, sizeHint());
}

QWidget* Tlapok::buildBudget() {
    auto* panel = new QWidget(this);
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    STm = budgetLabel(panel, "STm", "0,0", true);
    STszv = budgetLabel(panel, "STszv", "", true);
    STszf = budgetLabel(panel, "STszf", "", true);
    STav = budgetLabel(panel, "STav", "0", true);
    STtf = budgetLabel(panel, "STtf", "0,0", true);
    STtp = budgetLabel(panel, "STtp", "0,0", true);
    g->addWidget(budgetLabel(panel, "L1", "Maradvány:"), 0, 0);
    g->addWidget(STm, 0, 2);
    g->addWidget(budgetLabel(panel, "L6", "eFt"), 0, 3);
    g->addWidget(budgetLabel(panel, "L2", "Szerződött napszám:"), 1, 0);
    g->addWidget(STszv, 1, 1);
    g->addWidget(STszf, 1, 2);
    g->addWidget(budgetLabel(panel, "L7", "eFt"), 1, 3);
    g->addWidget(budgetLabel(panel, "L3", "Eddig rögzített napok:"), 2, 0);
    g->addWidget(STav, 2, 1);
    g->addWidget(STtf, 2, 2);
    g->addWidget(budgetLabel(panel, "L8", "eFt"), 2, 3);
    g->addWidget(budgetLabel(panel, "Ltp", "(tp:"), 2, 4);
    g->addWidget(STtp, 2, 5);
    g->addWidget(budgetLabel(panel, "Labeft", "eFt)"), 2, 6);
    g->setColumnMinimumWidth(1, 50);
    g->setColumnMinimumWidth(2, 70);
    g->setColumnStretch(7, 1);
    return panel;
}

QAction* Tlapok::item(QMenu* menu, const char* name, const char* text, const char* hint, void (Tlapok::*command)(),
                      const QKeySequence& shortcut) {
    auto* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(QString::fromUtf8(hint));
    action->setToolTip(QString::fromUtf8(hint));
    if (!shortcut.isEmpty()) {
        // The keys work on the window, whether the menu is open or not.
        action->setShortcut(shortcut);
        addAction(action);
    }
    connect(action, &QAction::triggered, this, guard_.guarded([this, command] { (this->*command)(); }));
    return action;
}

void Tlapok::buildMenus() {
    PMlap = new QMenu(this);
    PMlap->setObjectName(QStringLiteral("PMlap"));
    QMenu* uj = PMlap->addMenu(QString::fromUtf8("Új felvitel"));
    uj->menuAction()->setObjectName(QStringLiteral("jfelvitel1"));
    recordingItems_ = {
        uj->menuAction(),
        item(uj, "Teljesszmla1", "Teljes számla", "Új elszámolási lap felvitele teljes számlára",
             &Tlapok::newFullSheet, QKeySequence(Qt::CTRL | Qt::Key_T)),
        item(uj, "Elsrszszmla1", "Első részszámla", "Új elszámolási lap felvitele első részszámlára",
             &Tlapok::newFirstPart, QKeySequence(Qt::CTRL | Qt::Key_E)),
        item(uj, "Kvetkezrszszmla1", "Következő részszámla",
             "Új elszámolási lap felvitele következő részszámlára a kiválasztott első részszámla alapján",
             &Tlapok::nextPart, QKeySequence(Qt::CTRL | Qt::Key_K)),
        item(PMlap, "Mdosts1", "Módosítás", "Az elszámolási lap módosítása", &Tlapok::modify),
        item(PMlap, "Trls1", "Törlés", "Az elszámolási lap törlése", &Tlapok::deleteOrCancel,
             QKeySequence(Qt::Key_Delete)),
    };
    PMlap->addSeparator()->setObjectName(QStringLiteral("N1"));
    recordingItems_.push_back(item(PMlap, "Megtekints1", "Megtekintés", "Az elszámolási lap megnézése",
                                   &Tlapok::view, QKeySequence(Qt::Key_F2)));
    recordingItems_.push_back(item(PMlap, "talakt1", "Átalakít", "Az elszámolási lap sorszámának átalakítása",
                                   &Tlapok::convert, QKeySequence(Qt::Key_F3)));
    recordingItems_.push_back(item(PMlap, "Lezrs1", "Lezárás", "Az elszámolási lap utólagos lezárása",
                                   &Tlapok::closingDate, QKeySequence(Qt::Key_F4)));
    recordingItems_.push_back(item(PMlap, "Elzmnyek1", "Előzmények",
                                   "Az elszámolási lap változásai: ki, mikor, mit módosított rajta",
                                   &Tlapok::history, QKeySequence(Qt::Key_F6)));

    // The grid saved for a spreadsheet, in whichever menu the mode shows.
    PMlap->addSeparator();
    PMlap->addActions({Lapkep1->saveActions()[0], Lapkep1->saveActions()[1]});

    PMKi = new QMenu(this);
    PMKi->setObjectName(QStringLiteral("PMKi"));
    item(PMKi, "Egylapkivlasztsa1", "&Egy lap", "Egy lap kiválasztása elküldésre", &Tlapok::markOne);
    item(PMKi, "Adotthnap1", "Aktuális &hónap lapjai", "Aktuális hónap lapjainak kiválasztása elküldésre",
         &Tlapok::markMonth);
    Aktulisvlapjai1 = item(PMKi, "Aktulisvlapjai1", "Aktuális év &lapjai",
                           "Aktuális év lel nem küldött lapjainak kiválasztása (4 hónapi korrekció figyelembevételével)",
                           &Tlapok::markYear);
    PMKi->addSeparator();
    PMKi->addActions({Lapkep1->saveActions()[0], Lapkep1->saveActions()[1]});
}

void Tlapok::setSendAction(std::function<void()> action) {
    sendAction_ = std::move(action);
    kuld->setEnabled(static_cast<bool>(sendAction_));
}

void Tlapok::setPrintAction(std::function<void()> action) {
    printAction_ = std::move(action);
    nyomtat->setEnabled(static_cast<bool>(printAction_));
}

void Tlapok::setHistoryAction(std::function<void(const sheets::SheetKey&)> action) {
    historyAction_ = std::move(action);
}

void Tlapok::run(RegisterMode mode, const std::string& filter) {
    mode_ = mode;
    lap_.setFilter(filter);
    // The filter goes whatever happens while the window is open.
    struct FilterOff {
        db::Table& lap;
        ~FilterOff() { lap.clearFilter(); }
    } filterOff{lap_};
    setWindowTitle(qs(reg::registerCaption(ctx_.db, mode)));
    budget_ = reg::budgetTexts(ctx_.db, ctx_.session, mode == RegisterMode::Sending, ctx_.dialogs, budget_);
    showBudget();
    showMode();
    Lapkep1->grid()->setFocus(Qt::OtherFocusReason);
    exec();
}

// What the mode shows: the popup's items, the buttons, the hint; the rows
// painted for the mode.
void Tlapok::showMode() {
    for (QAction* a : recordingItems_) a->setVisible(recording());
    Aktulisvlapjai1->setVisible(mode_ == RegisterMode::Sending);
    kuld->setVisible(mode_ == RegisterMode::Sending);
    nyomtat->setVisible(mode_ == RegisterMode::Printing);
    switch (mode_) {
    case RegisterMode::Recording: setHint(this, QString::fromUtf8(kListHint)); break;
    case RegisterMode::Sending:
        setHint(this, QString::fromUtf8("Elszámolási időszak lapjainak jelölése elküldésre"));
        break;
    case RegisterMode::Printing: setHint(this, QString::fromUtf8("Elszámolási lapok jelölése nyomtatásra")); break;
    }
    Lapkep1->grid()->viewport()->update();
}

void Tlapok::showBudget() {
    STm->setText(qs(budget_.STm));
    STszv->setText(qs(budget_.STszv));
    STszf->setText(qs(budget_.STszf));
    STav->setText(qs(budget_.STav));
    STtf->setText(qs(budget_.STtf));
    STtp->setText(qs(budget_.STtp));
}

QColor Tlapok::rowColour(int row) const {
    const std::string period = lap_.valueAtPosition(row, "IDOSZAK").asString();
    switch (reg::rowPaint(period, ctx_.session.mIdoszak, mode_)) {
    case reg::RowPaint::Silver: return QColor(0xC0, 0xC0, 0xC0);
    case reg::RowPaint::Red: return QColor(0xFF, 0, 0);
    case reg::RowPaint::Normal: break;
    }
    return {};
}

void Tlapok::enterOrDoubleClick() {
    guard_.run([this] { recording() ? modify() : markOne(); });
}

// The first activation: 50 pixels below and 10 right of the main window's
// top left corner; then where the user left it.
void Tlapok::showEvent(QShowEvent* event) {
    PlaceFrom(this, mainWindow_);
    QDialog::showEvent(event);
}

} // namespace velmora::ui
