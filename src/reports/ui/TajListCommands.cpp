#include "reports/ui/TajListCommands.h"

#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/Ttajido.h"
#include "reports/ui/Ttajsz.h"

#include <QApplication>
#include <QWidget>

namespace velmora::ui {

TajListCommands::TajListCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                                 Tbetegval* chooser)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs),
      tajsz_(new Ttajsz(&owner, dialogs, guard_, chooser)), tajido_(new Ttajido(&owner, dialogs, guard_)) {}

MenuCommands TajListCommands::commands() {
    return {{"TAJszmosellenrzlistaegybetegre1", guard_.guarded([this] { onePatient(); })},
            {"TAJszmosellenrzlistasszestve1", guard_.guarded([this] { summary(); })}};
}

void TajListCommands::onePatient() {
    reports::TajSelection s;
    s.scope = reports::TajScope::OnePatient;
    s.taj = tajsz_->run();
    if (s.taj.empty()) return;
    show(s);
}

void TajListCommands::summary() {
    std::optional<reports::TajSelection> s = tajido_->run(session_.mIdoszak);
    if (!s) return;
    QApplication::processEvents();
    dialogs_.status(0, reports::kTajListStatus);
    show(*s);
}

void TajListCommands::show(reports::TajSelection selection) {
    selection.current = session_.mIdoszak;
    const reports::TajList list = reports::tajList(db_, selection);
    if (!showReport(&owner_, reports::tajListReport(list, reports::printedAtNow()), reports::tajListTable(list),
                    session_, dialogs_))
        dialogs_.error(reports::emptyTajListMessage(db_, selection));
}

} // namespace velmora::ui
