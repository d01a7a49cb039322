#pragma once
// The register's windows: the register with its chooser of first parts and
// its closing-date window, made once when the program starts and owned by
// the window they are given (the main window), with the bulk-mark toggle
// the marking commands share for the whole run. The menu opens the
// register in recording mode; the shipment and the print open it in their
// modes through sending() and printing().
#include "register/Marking.h"
#include "register/Register.h"
#include "sheets/SheetEntry.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

#include <string>

class QWidget;

namespace velmora::ui {

class SheetWindows;
class Tlapok;

class RegisterWindows {
public:
    RegisterWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                    SheetWindows& sheetWindows);

    // "Elszámolási lapok rögzítése", through the guard.
    MenuCommands commands();

    // The register in recording mode over the sheets of the current
    // period's year.
    void recording();
    // In recording mode over the sheets `filter` lets through (the overview
    // opens it on a month's, a state's or a nurse's sheets).
    void recordingOf(const std::string& filter);
    // In sending mode over the sheets `filter` lets through (the shipment
    // decides which); the bulk-mark toggle starts off.
    void sending(const std::string& filter);
    // In printing mode over the sheets of the current period's year.
    void printing();

    Tlapok* lapok() const { return lapok_; }
    reg::BulkToggle& bulkToggle() { return bulkToggle_; }

private:
    // kuldnez, which the other windows read, says the mode.
    void run(reg::RegisterMode mode, const std::string& filter);

    app::Session& session_;
    sheets::SheetContext ctx_;
    CommandGuard guard_;
    reg::BulkToggle bulkToggle_;
    Tlapok* lapok_;  // owned by the owner
};

} // namespace velmora::ui
