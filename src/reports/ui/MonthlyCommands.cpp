#include "reports/ui/MonthlyCommands.h"

#include "reports/Monthly.h"
#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/Tobe.h"

#include <QApplication>
#include <QWidget>

namespace velmora::ui {

MonthlyCommands::MonthlyCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs),
      tobe_(new Tobe(&owner, dialogs, guard_)) {}

MenuCommands MonthlyCommands::commands() {
    return {{"Havisszestafloppykldemnyhez1", guard_.guarded([this] { summary(); })},
            {"Havonkntielszmols1", guard_.guarded([this] { accounting(); })}};
}

void MonthlyCommands::summary() {
    const std::optional<int> oszam = tobe_->run();
    if (!oszam) return;
    QApplication::processEvents();
    dialogs_.status(0, reports::kSummaryStatus);
    const auto s = reports::monthlySummary(db_, session_.mIdoszak, session_.IDOSZAK1, session_.IDOSZAK2,
                                           session_.alapert, *oszam);
    if (!s || !showReport(&owner_, reports::monthlySummaryReport(*s, reports::printedAtNow()),
                          reports::monthlySummaryTable(*s), session_, dialogs_))
        dialogs_.error(reports::kNoShipment);
}

void MonthlyCommands::accounting() {
    const auto a = reports::monthlyAccounting(db_, session_.mIdoszak);
    if (!a || !showReport(&owner_, reports::monthlyAccountingReport(*a, reports::printedAtNow()),
                          reports::monthlyAccountingTable(*a), session_, dialogs_))
        dialogs_.error(reports::kNoBilledData);
}

} // namespace velmora::ui
