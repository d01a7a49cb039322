#include "app/PeriodChoice.h"

#include "app/TextHelpers.h"

#include <exception>

namespace velmora::app {

PeriodStep SubmitPeriod(Session& session, const std::string& entered, PeriodTable& periods, Dialogs& dialogs) {
    if (!CheckPeriod(entered, session.clock(), dialogs)) return PeriodStep::Invalid;
    session.zarnez = false;
    std::optional<PeriodRow> row;
    try {
        row = periods.find(entered.substr(0, 7));
    } catch (const std::exception& e) {
        dialogs.error(e.what());
        return PeriodStep::Invalid;
    }
    if (!row || row->zaras.empty()) {
        session.acceptPeriod(entered, false);
        return PeriodStep::Accepted;
    }
    if (!dialogs.ask(question(Msg::ClosedPeriodQuestion, QuestionKind::Warning))) return PeriodStep::Declined;
    session.acceptPeriod(row->idoszak, true);
    return PeriodStep::Accepted;
}

} // namespace velmora::app
