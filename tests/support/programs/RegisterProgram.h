#pragma once
// The register's windows on the sheet entry's fixture: the fund's tables,
// a known patient, nurses and a doctor, the master-data and sheet windows
// under a stand-in main window, and the register's windows with the
// recording command plugged into its menu. Sheets are stored through the
// sheet model, as the entry window stores them.
#include "support/programs/SheetProgram.h"

#include "register/Register.h"
#include "sheets/Sheet.h"

#include <memory>
#include <string>
#include <vector>

class QTableView;

namespace velmora::db { class Table; }

namespace velmora::ui {
class RegisterWindows;
class Tlapok;
}

namespace velmora::test {

// A stored sheet: its key, its visit days (each with activity 1 and the
// contracted nurse) and what the fund knows of it.
struct SheetRow {
    sheets::SheetKey key;
    std::vector<int> days;
    std::string elkuldve = {};
    std::string modtipus = {};
    std::string szakvet = {};
};

struct RegisterProgram : SheetProgram {
    explicit RegisterProgram(const std::string& period = "2024.05");
    ~RegisterProgram();

    void store(const SheetRow& row);
    ui::Tlapok& lapok() const;
    QTableView* grid() const;
    db::Table& hlapa();
    // Puts the register's cursor on the sheet with that number and part.
    void pointAt(const std::string& sorsz, const std::string& resz = "");

    std::unique_ptr<ui::RegisterWindows> registerWindows;
};

// Opens the register in `mode` and runs `act` in it; the window is closed
// after it.
void inRegister(RegisterProgram& p, reg::RegisterMode mode, const std::function<void(ui::Tlapok&)>& act);

// Runs `act` from the modal window open now. A window that opens over it
// meanwhile is handed to `inside` and closed after it, if still open; the
// objectName of that window comes back ("" when none opened).
QString windowFrom(const std::function<void()>& act, const std::function<void(QWidget*)>& inside = {});

} // namespace velmora::test
