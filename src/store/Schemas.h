#pragma once
// The layouts of the data directory's tables, as data: what the program
// creates for its own tables, the index tags every table gets when its index
// file is rebuilt, and the work layouts that other commands create in code.
// The tables that come from the fund carry no field list here: the program
// never creates them, it only indexes and reads them.
#include "db/FieldDef.h"

#include <string>
#include <vector>

namespace velmora::store::schema {

struct IndexDef {
    std::string tag;
    std::string expression;  // dBASE key expression
    bool unique = false;     // a second row with the same key is refused on post
};

struct TableDef {
    std::string name;      // the table's name in DBS ("HLAPA")
    std::string fileName;  // its file in the data directory ("HLapa.dbf")
    db::FieldList fields;  // empty for the fund's tables
    int level = 4;         // table level of a new file
    std::vector<IndexDef> tags;  // in the order they are added
    std::string activeTag;       // current after creation and restore; "" for none
    std::string activeAfterReindex;  // current after "Indexelés"

    // "HLapa.mdx": the index file beside the table.
    std::string indexFileName() const;
    // Width of a field of the layout; 0 when the layout has no such field.
    int fieldWidth(const std::string& field) const;
};

// Tables the program owns.
const TableDef& ZARAS();
const TableDef& APOL();
const TableDef& ORVOS();
const TableDef& BETEG();
const TableDef& MARADV();
const TableDef& HLAPA();
const TableDef& HLAPB();
const TableDef& SYS();
// The history of the sheets, and the end of its chain of hashes.
const TableDef& ELOZMENY();
const TableDef& ELOZVEG();

// Tables from the fund. HSZERZ carries the layout it is rebuilt with when a
// contract table without FINKOD has to be brought up to date.
const TableDef& PART();
const TableDef& HSZERZ();
const TableDef& HSZOLGSZ();
const TableDef& TELEPUL();
const TableDef& HTERULET();
const TableDef& HTHELY();
const TableDef& BNOTORZS();

// Work layouts; the caller names and creates the file.
// Capacity work table Temp.dbf in TEMP.
db::FieldList TempCapacityFields();
// Visit (Hosb) and diagnosis (Hosc) files sent for periods before 2009.09.
db::FieldList HosbBefore200909Fields();
db::FieldList HoscBefore200909Fields();

} // namespace velmora::store::schema
