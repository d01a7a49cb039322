#pragma once
// "Áttekintés": the year of the chosen period on one screen. Top row: the
// days recorded month by month against the contract (bars and a line), the
// running totals, the deadlines and the last backup; bottom row: the
// budget's figures, the sheets by state and the nurses against their
// capacity. A month, a state or a nurse clicked (or chosen with Enter)
// opens the register on exactly those sheets; when it closes the overview
// is counted again. The window holds no rule: the figures come from the
// overview's logic, the register and the sheet view from the program.
#include <QDialog>

#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "overview/Overview.h"
#include "sheets/Sheet.h"
#include "widgets/CommandGuard.h"

#include <functional>
#include <string>
#include <vector>

class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

namespace velmora::ui {

class Tnemfiz;

// What the overview asks of the rest of the program.
struct OverviewLinks {
    // The register in recording mode over the sheets `filter` lets through.
    std::function<void(const std::string& filter)> openRegister;
    // One stored sheet in the entry window, for viewing.
    std::function<void(const sheets::SheetKey& key)> viewSheet;
};

class Tattekint : public QDialog {
    Q_OBJECT
public:
    Tattekint(QWidget* parent, app::Session& session, db::Database& dbs, app::Dialogs& dialogs, OverviewLinks links);

    // Counts the overview of the current period's year and shows it modally.
    void run();
    // Counts again and redraws (after the register closed).
    void refresh();
    const overview::Overview& figures() const { return overview_; }

    // Opens the register on the sheets of a month (index 0–11, -1 for the
    // year) in a state, or with a nurse's visits.
    void openMonth(int month, overview::SheetState state);
    void openNurse(int month, const std::string& taj);

    QLabel* figyelem;         // what is missing or due
    QChartView* napkeret;     // days a month against the contract
    QChartView* halmozott;    // running totals
    QLabel* hataridok;        // deadlines and the last backup
    QTableWidget* szamok;     // the budget's figures
    QTableWidget* allapotok;  // sheets by state
    QTableWidget* apolok;     // nurses against capacity
    QPushButton* nemfizetett;  // "Ki nem fizetett napok"
    QPushButton* nyomtat;      // "Nyomtatás"
    QPushButton* kilep;        // "Kilépés"
    Tnemfiz* nemfiz;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void fillCharts();
    void fillTexts();
    void fillBudget();
    void fillStates();
    void fillNurses();
    void cellChosen(QTableWidget* table, int row, int column);
    void print();
    std::string yearFilter() const;

    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    OverviewLinks links_;
    CommandGuard guard_;
    overview::Overview overview_;
};

} // namespace velmora::ui
