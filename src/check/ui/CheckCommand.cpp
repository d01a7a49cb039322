#include "check/ui/CheckCommand.h"

#include "check/DataCheck.h"
#include "check/ui/CheckWindow.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace velmora::ui {

CheckCommand::CheckCommand(QWidget& owner, db::Database& dbs, app::Dialogs& dialogs)
    : db_(dbs), guard_(dialogs, &dbs), window_(new CheckWindow(&owner)) {}

MenuCommands CheckCommand::commands() { return {{"Adatokellenrzse1", guard_.guarded([this] { run(); })}}; }

void CheckCommand::run() {
    check::CheckReport report;
    {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        report = check::checkOpenDataDirectory(db_);
    }
    window_->setReport(qs(check::reportText(report)));
    window_->exec();
}

} // namespace velmora::ui
