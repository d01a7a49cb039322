#pragma once
// The doctor and nurse edit windows. Both registers are a code and a name
// over one table, so one class serves them, told apart by a StaffWindowSetup:
// the doctors' window TOrvosfel over ORVOS, the nurses' window TApolfel over
// APOL, whose code is a TAJ number checked when the user leaves it.
#include "masterdata/MasterData.h"
#include "masterdata/ui/FrameSetups.h"
#include "widgets/EditWindow.h"

namespace velmora::app { class Dialogs; }
namespace velmora::db {
class Database;
class Table;
}

class QLineEdit;

namespace velmora::ui {

struct StaffWindowSetup {
    const char* className;  // objectName of the window
    const char* caption;
    FrameSetup (*frame)();
    const char* frameName;
    const masterdata::StaffRegister& (*reg)();  // texts, fields, the code control's name
    const char* panelLabel;
    const char* nameControl;
    const char* codeHint;
    const char* nameHint;
    bool tajCheck;  // the code is a TAJ number, checked on leaving its field
    int expanded, collapsed;
    const char* statusText;
};

const StaffWindowSetup& DoctorWindowSetup();
const StaffWindowSetup& NurseWindowSetup();

class StaffWindow : public EditWindow {
    Q_OBJECT
public:
    StaffWindow(const StaffWindowSetup& setup, QWidget* mainWindow, db::Database& dbs, app::Dialogs& dialogs,
                const CommandGuard& guard);

    // The menu command ("&Orvosok", "Sza&kápolók").
    void run();

    const StaffWindowSetup& setup() const { return setup_; }
    QLineEdit* codeEdit() const { return code_; }
    QLineEdit* nameEdit() const { return name_; }

protected:
    void ujClick() override;
    void modosClick() override;
    void torolClick() override;
    void BB1Click() override;
    // A new entry starts from empty fields.
    void panelEntered() override;

private:
    void buildPanel();

    const StaffWindowSetup& setup_;
    const masterdata::StaffRegister& reg_;
    db::Table& table_;
    db::Table& hlapa_;
    db::Table& hlapb_;
    app::Dialogs& dialogs_;
    QLineEdit* code_ = nullptr;
    QLineEdit* name_ = nullptr;
};

// The doctors' window "Orvosok megjelenítése".
class TOrvosfel : public StaffWindow {
    Q_OBJECT
public:
    TOrvosfel(QWidget* mainWindow, db::Database& dbs, app::Dialogs& dialogs, const CommandGuard& guard)
        : StaffWindow(DoctorWindowSetup(), mainWindow, dbs, dialogs, guard) {}
};

// The nurses' window "Szakápolók megjelenítése".
class TApolfel : public StaffWindow {
    Q_OBJECT
public:
    TApolfel(QWidget* mainWindow, db::Database& dbs, app::Dialogs& dialogs, const CommandGuard& guard)
        : StaffWindow(NurseWindowSetup(), mainWindow, dbs, dialogs, guard) {}
};

} // namespace velmora::ui
