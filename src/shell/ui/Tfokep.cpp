#include "shell/ui/Tfokep.h"

#include "app/ProgramPaths.h"
#include "app/Version.h"
#include "shell/ui/Background.h"
#include "shell/ui/MainMenu.h"
#include "shell/ui/StatusPanels.h"
#include "shell/ui/TAboutBox.h"
#include "shell/ui/TAlapkeres.h"
#include "shell/ui/TPasswordDlg.h"
#include "shell/ui/Tutkep.h"
#include "shell/ui/TZarasbe.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/QtText.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include <exception>
#include <stdexcept>

namespace velmora::ui {

Tfokep::Tfokep(app::Session& session, app::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), guard_(dialogs) {
    setObjectName("fokep");
    setWindowTitle(app::kProgramTitle);

    BuildMainMenu(menuBar());
    menuBar()->setObjectName("MainMenu1");

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopPanel());
    layout->addWidget(new Background(client), 1);
    setCentralWidget(client);

    panels_ = new StatusPanels(this);
    setStatusBar(panels_);
    panels_->setText(2, qs(session_.clock().todayText()));

    AboutBox = new TAboutBox(this);
    utkep_ = new Tutkep(this);
    alapkeres_ = new TAlapkeres(session_, dialogs_, guard_, this);

    wireOwnCommands();
    InstallHelpKey(this);
    // Every hint of the program, from any window, goes to panel 0.
    qApp->installEventFilter(this);
}

QWidget* Tfokep::buildTopPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFixedHeight(17);
    panel->setFrameShape(QFrame::NoFrame);

    Label1 = new QLabel("Elszámolási időszak:", panel);
    Label1->setObjectName("Label1");

    ID = new QLabel(qs(session_.mIdoszak), panel);
    ID->setObjectName("ID");
    setHint(ID, "Elszámolási időszak megmutatása");
    QFont bold = ID->font();
    bold.setBold(true);
    ID->setFont(bold);
    QPalette red = ID->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ID->setPalette(red);
    ID->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ID->setMinimumWidth(ID->fontMetrics().horizontalAdvance("0000.00") + 8);

    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 0, 6, 0);
    row->setSpacing(4);
    row->addWidget(Label1);
    row->addWidget(ID);
    row->addStretch();
    return panel;
}

void Tfokep::wireOwnCommands() {
    setCommand("Nvjegy1", [this] { Nvjegy1Click(); });
    setCommand("tvonal1", [this] { tvonal1Click(); });
    setCommand("Tartalom1", [this] { Tartalom1Click(); });
    setCommand("Kilps1", [this] { Kilps1Click(); });
    // Enabled once what they work on is set (the index hook, the period
    // table, the password store).
    const auto wire = [this](const char* name, void (Tfokep::*click)()) {
        connect(menuItem(name), &QAction::triggered, this,
                [this, click] { guard_.run([this, click] { (this->*click)(); }); });
    };
    wire("Indexels1", &Tfokep::Indexels1Click);
    wire("Elszmolsiidszakbellts1", &Tfokep::Elszmolsiidszakbellts1Click);
    wire("Jelszmdosts1", &Tfokep::Jelszmdosts1Click);
}

QAction* Tfokep::menuItem(const QString& name) const { return menuBar()->findChild<QAction*>(name); }

void Tfokep::setCommand(const QString& name, std::function<void()> command) {
    QAction* item = menuItem(name);
    if (!item) return;
    connect(item, &QAction::triggered, this, [this, command = std::move(command)] { guard_.run(command); });
    item->setEnabled(true);
}

void Tfokep::setPasswordStore(app::PasswordStore* store) {
    passwordStore_ = store;
    menuItem("Jelszmdosts1")->setEnabled(store != nullptr);
}

void Tfokep::setPeriodTable(app::PeriodTable* periods) {
    periods_ = periods;
    menuItem("Elszmolsiidszakbellts1")->setEnabled(periods != nullptr);
}

void Tfokep::setOnIndexel(std::function<void()> indexel) {
    indexel_ = std::move(indexel);
    menuItem("Indexels1")->setEnabled(static_cast<bool>(indexel_));
}

void Tfokep::setVersionCaption() { setWindowTitle(qs(app::VersionCaption(app::kProgramTitle))); }

void Tfokep::showPeriod() { ID->setText(qs(session_.mIdoszak)); }

void Tfokep::setPanelText(int panel, const QString& text) { panels_->setText(panel, text); }

bool Tfokep::runLogin() {
    if (!passwordStore_) throw std::logic_error("Tfokep: the password store is not set");
    TPasswordDlg dlg(session_, *passwordStore_, dialogs_, guard_, this);
    if (!dlg.ready()) return false;
    dlg.exec();
    return !dlg.endsProgram();
}

bool Tfokep::runPeriodWindow(bool fromMenu) {
    if (!periods_) throw std::logic_error("Tfokep: the period table is not set");
    session_.idobe = fromMenu;
    TZarasbe dlg(session_, *periods_, dialogs_, guard_, this);
    dlg.exec();
    showPeriod();
    return !dlg.endsProgram();
}

void Tfokep::finishStartup() {
    showMaximized();
    panels_->setText(0, QString());
    panels_->setText(2, qs(session_.clock().todayText()));
}

void Tfokep::Indexels1Click() {
    if (!indexel_) return;
    // A failure goes on to the guard: the end is not reported, the tables
    // left closed stay closed and the engine's message says which.
    indexel_();
    QApplication::processEvents();
    panels_->setText(0, "Az indexelés befejeződött!!");
}

void Tfokep::Elszmolsiidszakbellts1Click() {
    if (!periods_) return;
    runPeriodWindow(true);
    session_.ertad();
}

void Tfokep::Jelszmdosts1Click() {
    if (!passwordStore_) return;
    panels_->setText(0, "A meglévő jelszó megváltoztatása");
    session_.jels2 = true;
    TPasswordDlg dlg(session_, *passwordStore_, dialogs_, guard_, this);
    dlg.asPasswordChange();
    dlg.exec();
}

void Tfokep::Nvjegy1Click() {
    QApplication::processEvents();
    panels_->setText(0, "Program verzió");
    AboutBox->Version->setText(app::kVersion);
    AboutBox->exec();
}

void Tfokep::tvonal1Click() {
    utkep_->L1->setText(qs(app::ProgramPathsText(session_)));
    utkep_->setWindowTitle(QString("A %1 elérhetőségei").arg(app::kProgramTitle));
    utkep_->exec();
}

void Tfokep::Tartalom1Click() { Helphelp(QString(), this); }

void Tfokep::Kilps1Click() { close(); }

bool Tfokep::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        panels_->setText(0, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora::ui
