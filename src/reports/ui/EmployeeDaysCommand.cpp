#include "reports/ui/EmployeeDaysCommand.h"

#include "reports/EmployeeDays.h"
#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"

#include <QApplication>

namespace velmora::ui {

EmployeeDaysCommand::EmployeeDaysCommand(QWidget& owner, app::Session& session, db::Database& dbs,
                                         app::Dialogs& dialogs)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs) {}

MenuCommands EmployeeDaysCommand::commands() {
    return {{"Dolgozkteljestettvizitei1", guard_.guarded([this] { print(); })}};
}

void EmployeeDaysCommand::print() {
    QApplication::processEvents();
    dialogs_.status(0, reports::kEmployeeStatus);
    const auto days = reports::employeeDays(db_, session_.mIdoszak, dialogs_);
    if (!days) return;
    if (!showReport(&owner_, reports::employeeDaysReport(*days, reports::printedAtNow()),
                    reports::employeeDaysTable(*days), session_, dialogs_))
        dialogs_.error(reports::kNoEmployees);
}

} // namespace velmora::ui
