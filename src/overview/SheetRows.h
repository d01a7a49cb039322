#pragma once
// The sheets of a range of periods as the overview counts them: each
// sheet's sending state, its visit days and how many of them the fund
// billed (ELI marks), the nurses who made its visits; and the period table's
// rows (closing, the fund's answer, the base fee it sent).
#include "db/Database.h"
#include "db/Decimal.h"
#include "sheets/Sheet.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace velmora::overview {

struct SheetRow {
    sheets::SheetKey key;
    std::string taj, elkuldve, modtipus, allapot, tpotl;
    int sznap = 0;   // recorded visit days
    int billed = 0;  // visit days with the fund's mark
    std::set<std::string> nurses;  // TAJ numbers of the visiting nurses
};

struct PeriodRow {
    std::string idoszak;
    std::string zaras;    // the shipment's date; empty: not closed
    std::string ruvkuld;  // when the fund's answer was read; empty: not read
    db::Decimal alapdij;  // the base fee the fund sent
    bool marked = false;  // some visit of the period carries the fund's mark

    // The fund's answer has been read: its date stands in the period table,
    // or its marks on the visits (a fee file whose period the table does not
    // know leaves the date out).
    bool answered() const { return !ruvkuld.empty() || marked; }
    // The day's fee the unpaid days are valued at: the fund's, or the
    // program's own for the period when the fund's was not stored.
    db::Decimal fee() const;
};

// Sheets whose IDOSZAK lies in from … to, by period and number. Throws
// db::DbError when a table cannot be read.
std::vector<SheetRow> sheetRows(db::Database& db, const std::string& from, const std::string& to);
std::map<std::string, PeriodRow> periodRows(db::Database& db);
// BETEG's names by TAJ.
std::map<std::string, std::string> patientNames(db::Database& db);

// Visit days the fund did not pay: for a sheet sent and not cancelled whose
// period's answer has been read, the recorded days the fund's marks leave
// over; 0 otherwise.
int daysNotPaid(const SheetRow& sheet, const std::map<std::string, PeriodRow>& periods);
bool answerRead(const std::string& idoszak, const std::map<std::string, PeriodRow>& periods);

// A register filter that lets exactly these sheets through, within
// `yearFilter`; one that lets none through for an empty list.
std::string sheetsFilter(const std::string& yearFilter, const std::vector<sheets::SheetKey>& keys);

} // namespace velmora::overview
