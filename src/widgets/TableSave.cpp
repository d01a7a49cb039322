#include "widgets/TableSave.h"

#include "app/UserError.h"
#include "reports/ReportFile.h"

#include <QApplication>
#include <QDateTime>

namespace velmora::ui {

std::string saveTableInLista(const reports::DataTable& table, reports::TableFormat format,
                             const app::Session& session, app::Dialogs& dialogs) {
    const std::string stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm")).toStdString();
    const std::string path = reports::reportPath(session.klista, table.title, stamp, reports::extensionOf(format));
    QApplication::setOverrideCursor(Qt::WaitCursor);  // a long list takes a moment
    try {
        reports::writeTable(table, path, format);
    } catch (const app::UserError& e) {
        QApplication::restoreOverrideCursor();
        dialogs.error(e.what());
        return {};
    }
    QApplication::restoreOverrideCursor();
    dialogs.information(std::string(format == reports::TableFormat::Xlsx ? "A lista Excel táblázatba mentve:\n"
                                                                         : "A lista CSV állományba mentve:\n") +
                        path);
    return path;
}

const char* saveCommandText(reports::TableFormat format) {
    return format == reports::TableFormat::Xlsx ? "Mentés Excel táblázatba" : "Mentés CSV állományba";
}

} // namespace velmora::ui
