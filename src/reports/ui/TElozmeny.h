#pragma once
// "Előzmények": the sheets' history in a grid, one line per changed field
// with its old and new value, the newest change first. Opened from the
// register it shows the sheet under the cursor; from the menu it shows the
// whole history chosen by period range, patient (TAJ), action and user.
// "Nyomtatás" shows the lines in the report preview, which prints them and
// saves them as PDF.
#include <QDialog>

#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "reports/HistoryList.h"
#include "sheets/Sheet.h"
#include "widgets/CommandGuard.h"

#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace velmora::ui {

class HistoryModel;

class TElozmeny : public QDialog {
    Q_OBJECT
public:
    TElozmeny(QWidget* parent, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
              const CommandGuard& guard);

    // The whole history, first of the current period's year; shown modally.
    void runAll();
    // The history of one sheet (across its conversions); shown modally.
    void runSheet(const sheets::SheetKey& key);

    // "Szűrés": the fields checked and the lines they choose shown; false
    // (with the message shown) when a field is wrong.
    bool applyChoice();
    // "Nyomtatás": the lines shown in the report preview.
    void print();

    const std::vector<reports::HistoryLine>& lines() const;

    QGroupBox* Feltetelek;
    QLineEdit* Tol;          // period from
    QLineEdit* Ig;           // period to
    QLineEdit* Taj;
    QComboBox* Muvelet;      // "" first: every action
    QComboBox* Felhasznalo;  // "" first: every user
    QPushButton* Szures;
    QTableView* Sorok;
    QLabel* Darab;
    QPushButton* Nyomtat;
    QPushButton* Kilep;

private:
    void show(std::vector<reports::HistoryLine> lines);
    void fillUsers();

    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    HistoryModel* model_;
    std::string title_, subtitle_;
};

} // namespace velmora::ui
