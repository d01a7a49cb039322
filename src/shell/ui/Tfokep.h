#pragma once
// The main window: menu, the current billing period at the top, the
// background and the three status panels. It owns the session's windows of
// the shell (about, paths, location) and runs the period and password
// windows; commands of the other subsystems are plugged into its menu.
// Every command of its menu runs through the command guard.
#include "app/Dialogs.h"
#include "app/PasswordStore.h"
#include "app/PeriodChoice.h"
#include "app/Session.h"
#include "widgets/CommandGuard.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;

namespace velmora::ui {

class StatusPanels;
class TAboutBox;
class TAlapkeres;
class Tutkep;

class Tfokep : public QMainWindow {
    Q_OBJECT
public:
    Tfokep(app::Session& session, app::Dialogs& dialogs, QWidget* parent = nullptr);

    // --- start-up ------------------------------------------------------------
    // The login on the password store: false when the program must end
    // (wrong password, "Mégsem").
    bool runLogin();
    // The period window; opened from the menu (idobe set) or at start-up.
    // False when the program must end.
    bool runPeriodWindow(bool fromMenu);
    // The last start-up step: maximised, hints routed to panel 0, panel 0
    // cleared and today's date in panel 2.
    void finishStartup();

    // --- what the rest of the program sets and reads -----------------------
    // "Velmora - verziószám: 4.11", built from the form caption each time.
    void setVersionCaption();
    // Shows the session's period in the label ID.
    void showPeriod();
    StatusPanels* panels() const { return panels_; }
    void setPanelText(int panel, const QString& text);

    // The stores the password and period commands work on; the commands are
    // enabled once theirs is set.
    void setPasswordStore(app::PasswordStore* store);
    void setPeriodTable(app::PeriodTable* periods);
    // "Indexelés": closes the tables, throws the index files away and builds
    // them again; a failure is thrown, and the end is then not reported.
    // Enables the command.
    void setOnIndexel(std::function<void()> indexel);

    // The guard of the menu's commands and of the windows the main window
    // runs; until one is set the commands' failures are shown and no edit
    // is cancelled.
    void setCommandGuard(const CommandGuard& guard) { guard_ = guard; }
    const CommandGuard& commandGuard() const { return guard_; }

    // A menu item by name, and a way to plug a command into it (enables it);
    // the command runs through the guard.
    QAction* menuItem(const QString& name) const;
    void setCommand(const QString& name, std::function<void()> command);

    TAboutBox* aboutBox() const { return AboutBox; }
    Tutkep* utkep() const { return utkep_; }
    TAlapkeres* alapkeres() const { return alapkeres_; }

    QLabel* Label1;
    QLabel* ID;

public slots:
    void Indexels1Click();
    void Elszmolsiidszakbellts1Click();
    void Jelszmdosts1Click();
    void Nvjegy1Click();
    void tvonal1Click();
    void Tartalom1Click();
    void Kilps1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTopPanel();
    void wireOwnCommands();

    app::Session& session_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    app::PasswordStore* passwordStore_ = nullptr;
    app::PeriodTable* periods_ = nullptr;
    std::function<void()> indexel_;
    StatusPanels* panels_;
    TAboutBox* AboutBox;
    Tutkep* utkep_;
    TAlapkeres* alapkeres_;
};

} // namespace velmora::ui
