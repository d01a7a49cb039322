#include "reports/ui/SheetPrintCommand.h"

#include "register/Marking.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "reports/PageFrame.h"
#include "reports/SheetForm.h"
#include "reports/ui/ReportPreview.h"

namespace velmora::ui {

SheetPrintCommand::SheetPrintCommand(app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                                     RegisterWindows& registerWindows)
    : session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs), registerWindows_(registerWindows) {}

MenuCommands SheetPrintCommand::commands() {
    return {{"Elszmolsilapoknyomtatsa1", guard_.guarded([this] { openForPrinting(); })}};
}

void SheetPrintCommand::openForPrinting() {
    Tlapok* lapok = registerWindows_.lapok();
    lapok->setPrintAction([this] { printMarked(); });
    struct PrintActionOff {
        Tlapok* lapok;
        ~PrintActionOff() { lapok->setPrintAction({}); }
    } off{lapok};
    registerWindows_.printing();
}

void SheetPrintCommand::printMarked() {
    Tlapok* lapok = registerWindows_.lapok();
    const std::vector<reports::SheetForm> forms =
        reports::markedSheetForms(db_, session_.IDOSZAK1, session_.IDOSZAK2);
    if (forms.empty()) {
        dialogs_.error(reports::kNoSheetToPrint);
    } else {
        const std::string today = session_.clock().today().text();
        showReport(lapok, reports::sheetFormReport(forms, today, reports::printedAtNow()),
                   reports::sheetFormTable(forms), session_, dialogs_);
    }
    // The marks go whether or not the forms were printed.
    try {
        lapok->marking([this] { reg::clearMarks(db_); });
    } catch (const std::exception& e) {
        dialogs_.error("Hiba a lefutásban!", e.what());
    }
}

} // namespace velmora::ui
