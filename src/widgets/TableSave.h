#pragma once
// A list or a grid saved for a spreadsheet into LISTA, the way a report's
// PDF is saved there: named by what it is and when, and the path told.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "reports/DataTable.h"
#include "reports/TableExport.h"

#include <string>

namespace velmora::ui {

// The table as an Excel workbook or a CSV file in LISTA (session.klista),
// named by its title and this minute; tells the path ("A lista Excel
// táblázatba mentve:" …) and returns it, or "" when it could not be
// written (the message has been shown, nothing is left under the name).
std::string saveTableInLista(const reports::DataTable& table, reports::TableFormat format,
                             const app::Session& session, app::Dialogs& dialogs);

// The command's text: "Mentés Excel táblázatba", "Mentés CSV állományba".
const char* saveCommandText(reports::TableFormat format);

} // namespace velmora::ui
