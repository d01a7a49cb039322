#pragma once
// The sheet entry's windows on a small data directory set up by the
// program's own start-up steps: the fund's tables (with the contracted
// nurse's hours), one known patient, two nurses and a doctor, the
// master-data windows and the sheet windows under a stand-in main window.
// Helpers drive the entry window as the user does: the focus put into a
// control, text typed, Tab to leave it.
#include "support/ui/UiTest.h"

#include "support/TableFixture.h"
#include "support/ui/MenuOwner.h"

#include <memory>
#include <string>

namespace velmora::ui {
struct MasterDataWindows;
class SheetWindows;
class Tlapuj;
}

namespace velmora::test {

// The data the fixture holds.
inline constexpr const char* kPatientTaj = "111222337";  // Kovács Ágnes, in BETEG
inline constexpr const char* kNewTaj = "203040502";      // a valid TAJ no patient has
inline constexpr const char* kNurseTaj = "123456788";    // Ápoló Éva, contracted
inline constexpr const char* kNurse2Taj = "333444557";   // Szabó Mária
inline constexpr const char* kDoctor = "12345";          // Dr. Orvos Anna

struct SheetProgram {
    // The current billing period of the session.
    explicit SheetProgram(const std::string& period = "2024.05");
    ~SheetProgram();

    ui::Tlapuj& lapuj() const;
    ScriptedDialogs& dialogs() { return start->dialogs; }
    db::Database& db() { return start->db; }
    std::string dataDir() const { return dir.str(); }

    TempDir dir;
    TempDir work;  // TEMP
    std::unique_ptr<Start> start;
    std::unique_ptr<MenuOwner> owner;
    std::unique_ptr<ui::MasterDataWindows> masterData;
    std::unique_ptr<ui::SheetWindows> windows;
};

// --- driving the entry window -------------------------------------------------

// Lets pending focus moves run.
void settle();
// Shows the page that holds the control and puts the focus into it, as a
// click would (the control left is checked).
QWidget* enter(ui::Tlapuj& window, const char* name);
// The text typed into the control, which held nothing before.
void typeInto(ui::Tlapuj& window, const char* name, const QString& text);
// Tab out of the focused control; its exit and the moves it makes run.
void tabOut();
// typeInto, then Tab.
void fill(ui::Tlapuj& window, const char* name, const QString& text);
// What the control shows (a date as the logic reads it, a combo's text).
QString shown(ui::Tlapuj& window, const char* name);
// The objectName of the control that has the focus.
QString focused();

} // namespace velmora::test
