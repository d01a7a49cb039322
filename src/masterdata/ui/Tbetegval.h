#pragma once
// The patient choose window the sheet entry and the TAJ check list open to
// pick one patient. The chosen row comes back in the public text fields;
// an empty btaj means nothing was chosen.
#include "widgets/ChooseWindow.h"

#include <QPointer>

#include <string>

namespace velmora::db {
class Database;
class Table;
}

namespace velmora::ui {

class Tbetegval : public ChooseWindow {
    Q_OBJECT
public:
    Tbetegval(QWidget* parent, db::Database& dbs, const CommandGuard& guard);

    // The chosen patient: TAJ, AZTIP, NEV, NEME ("F"/"N"), KOZIGKOD, CIME1,
    // CIME2, SZULH and SZULI as a date text.
    std::string btaj, baztip, bnev, bnem, bkozig, bvaros, bcim, bszhely, bszido;

    // Set by the caller before opening: true from the sheet entry, false
    // from the TAJ check list. It only decides where the window opens.
    bool bhol = false;

    // The windows it opens beside. A null one (or one that is gone) leaves
    // the window where it last was.
    void setSheetEntryWindow(QWidget* window) { sheetEntry_ = window; }
    void setTajCheckWindow(QWidget* window) { tajCheck_ = window; }

protected:
    void clearResult() override { btaj.clear(); }
    void takeRow() override;
    void place() override;

private:
    db::Table& beteg_;
    QPointer<QWidget> sheetEntry_;
    QPointer<QWidget> tajCheck_;
};

} // namespace velmora::ui
