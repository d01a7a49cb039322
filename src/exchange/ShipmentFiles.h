#pragma once
// The three files of a monthly shipment to the fund: the sheet headers
// (Hosa), the visits (Hosb) and the diagnoses (Hosc) of the marked sheets,
// each in the layout the shipment's period requires.
#include "db/Database.h"

#include <string>
#include <vector>

namespace velmora::exchange {

// The names as the program writes them into KULD ("Hosa" + INTKOD +
// ".Dbf" …) and as the copy to a chosen directory gets them (lower case).
struct ShipmentFileNames {
    std::string hosa, hosb, hosc;
};
ShipmentFileNames shipmentFileNames(const std::string& intkod);
ShipmentFileNames copyFileNames(const std::string& intkod);

// Whether PART's INTKOD may go into a file name: four letters or digits.
bool validIntkod(const std::string& intkod);

// What keeps a marked sheet (JELOLES "*") out of the files: its patient
// is not in BETEG, a doctor code is no number, its visit row is missing.
// One text per bad sheet, naming it ("00012A (2024.05): …"); empty when
// every marked sheet can go.
std::vector<std::string> unsendableSheets(db::Database& db, const std::string& period);

struct ShipmentCounts {
    int headers = 0, visits = 0, diagnoses = 0;
};

// Writes the three files of the marked sheets for `period` into `dir`
// (an existing directory; files of the same names are replaced), each
// started from its layout's template. Reads the tables, changes none.
// Throws app::UserError with the message the user sees when a template
// or a file cannot be written, db::DbError when a query fails.
ShipmentCounts writeShipmentFiles(db::Database& db, const std::string& period, const std::string& intkod,
                                  const std::string& dir);

} // namespace velmora::exchange
