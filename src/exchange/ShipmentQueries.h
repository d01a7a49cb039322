#pragma once
// The three queries behind the shipment's files, over the sheets marked for
// sending, each row as a QueryRow in the order the files list the sheets
// (period, sheet number, part).
#include "exchange/Records.h"

#include "db/Database.h"

#include <vector>

namespace velmora::exchange {

// Header rows: the marked sheets joined with their patient (a sheet whose
// patient is missing from BETEG has none).
std::vector<QueryRow> headerRows(db::Database& db);
// Visit rows (HLAPB's columns) of the marked sheets.
std::vector<QueryRow> visitRows(db::Database& db);
// Diagnosis rows: key and the four codes of each marked sheet.
std::vector<QueryRow> diagnosisRows(db::Database& db);

// Every marked sheet with what unsendableSheets needs to know of it: the
// header columns of HLAPA, `has_patient` and `has_visits` (1 or 0).
std::vector<QueryRow> markedSheets(db::Database& db);

} // namespace velmora::exchange
