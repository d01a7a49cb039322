#include "reports/ui/MasterListCommands.h"

#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/TBcsop.h"

#include <QApplication>
#include <QWidget>

namespace velmora::ui {

MasterListCommands::MasterListCommands(QWidget& owner, app::Session& session, db::Database& dbs,
                                       app::Dialogs& dialogs)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs),
      bcsop_(new TBcsop(&owner, dialogs, guard_)) {}

MenuCommands MasterListCommands::commands() {
    using reports::MasterList;
    return {{"Orvosok2", guard_.guarded([this] { print(MasterList::Doctors); })},
            {"Szakpolk2", guard_.guarded([this] { print(MasterList::Nurses); })},
            {"Betegek2", guard_.guarded([this] { print(MasterList::Patients); })},
            {"TeljesBNOlista1", guard_.guarded([this] { print(MasterList::Bno); })},
            {"Betegsgcsoportszerintilista1", guard_.guarded([this] { printChapter(); })}};
}

void MasterListCommands::print(reports::MasterList list) { show(list, std::nullopt, reports::masterListStatus(list)); }

void MasterListCommands::printChapter() {
    const std::optional<reports::BnoChapter> chapter = bcsop_->run();
    if (!chapter) {
        dialogs_.status(0, reports::kNoChapter);
        return;
    }
    show(reports::MasterList::Bno, chapter, reports::kChapterStatus);
}

void MasterListCommands::show(reports::MasterList list, const std::optional<reports::BnoChapter>& chapter,
                              const char* status) {
    QApplication::processEvents();
    dialogs_.status(0, status);
    const reports::MasterListRows rows = reports::masterListRows(db_, list, chapter);
    if (!showReport(&owner_, reports::masterListReport(rows, reports::printedAtNow()), reports::masterListTable(rows),
                    session_, dialogs_))
        dialogs_.information(reports::kEmptyList);
}

} // namespace velmora::ui
