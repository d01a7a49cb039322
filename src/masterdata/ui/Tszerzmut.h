#pragma once
// The contract window: the provider's contract periods from the fund
// (HSZERZ) in a grid, the selected period's details beside it, and the
// employees (HSZOLGSZ), areas (HTERULET) and sites (HTHELY) valid in that
// period, one at a time. Everything is read-only.
#include <QDialog>

#include <initializer_list>

namespace velmora::app { class Dialogs; }
namespace velmora::db {
class Database;
class Table;
}

class QPushButton;

namespace velmora::ui {

class ContractDetails;
class RecordPanel;
class TDolgkep;
class Tszerzkep;
class Tterulkep;
class Tthelykep;

class Tszerzmut : public QDialog {
    Q_OBJECT
public:
    Tszerzmut(db::Database& dbs, app::Dialogs& dialogs, QWidget* parent = nullptr);

    // "&Szerződés": the periods from 1999.06.01 on, the latest selected, the
    // provider's code and name in the caption; modal. The period filter is
    // gone afterwards.
    void Szerzds1Click();

    Tszerzkep* szerzkep1;
    ContractDetails* szolgaltato;
    TDolgkep* Dolgkep1;
    Tterulkep* terulkep1;
    Tthelykep* thelykep1;
    QPushButton* Kilepes;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Refilters the tables with the validity of the period selected in the
    // grid; a failure is reported and the window goes on.
    void filterDetails(std::initializer_list<db::Table*> tables);

    app::Dialogs& dialogs_;
    db::Table& part_;
    db::Table& hszerz_;
    db::Table& hszolgsz_;
    db::Table& hterulet_;
    db::Table& hthely_;
};

} // namespace velmora::ui
