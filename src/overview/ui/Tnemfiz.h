#pragma once
// "Ki nem fizetett napok": the sheets of a range of periods whose recorded
// visit days the fund did not all pay, the largest loss first. Enter or a
// double click opens the sheet; the list prints, and saves as PDF, Excel
// and CSV like every list.
#include <QDialog>

#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "overview/UnpaidDays.h"
#include "widgets/CommandGuard.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace velmora::ui {

class Tnemfiz : public QDialog {
    Q_OBJECT
public:
    Tnemfiz(QWidget* parent, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
            std::function<void(const sheets::SheetKey&)> viewSheet);

    // The year of the current period up to it, shown modally.
    void run();
    // Reads the range from the fields and lists it; false (after the
    // message) for a range that is no range.
    bool list();
    const overview::UnpaidList& shown() const { return list_; }
    void openChosen();

    QLineEdit* tol;  // first period "YYYY.MM"
    QLineEdit* ig;   // last period
    QPushButton* listaz;   // "Lista"
    QTableWidget* lapok;
    QLabel* osszesen;
    QPushButton* nyomtat;  // "Nyomtatás"
    QPushButton* excel;    // "Excel"
    QPushButton* csv;      // "CSV"
    QPushButton* kilep;    // "Kilépés"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void print();

    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    std::function<void(const sheets::SheetKey&)> viewSheet_;
    CommandGuard guard_;
    overview::UnpaidList list_;
};

} // namespace velmora::ui
