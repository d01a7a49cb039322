#pragma once
// Three tables shaped like a sheet's: HLAPA (one header row per sheet),
// HLAPB (visit rows), BETEG (patients), with index tags, and a snapshot of
// everything the engine reads from them, for comparing a directory with
// another.
#include "support/Files.h"
#include "db/Database.h"
#include "db/Table.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace velmora::test {

inline void createSheetTables(const std::string& dir) {
    using namespace velmora::db;
    Database db(dir);
    Table& a = db.table("HLAPA", "HLapa.dbf");
    a.create({FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1),
              FieldDef::character("Taj", 9), FieldDef::numeric("Elszam", 5), FieldDef::date("Lezdat")});
    a.open();
    a.addIndex("Lap1", "Idoszak+Sorsz+Resz", true);
    a.appendValues({"2024.06", "00001", Value(), "222222222", 4, "2024.06.30"});
    a.appendValues({"2024.06", "00002", Value(), "333333333", 7, Value()});
    Table& b = db.table("HLAPB", "HLapb.dbf");
    b.create({FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1),
              FieldDef::character("Tev1", 4), FieldDef::date("Apdat1"), FieldDef::character("Megj", 30)});
    b.open();
    b.addIndex("Lapb1", "Idoszak+Sorsz+Resz");
    for (const char* day : {"2024.06.01", "2024.06.02"})
        b.appendValues({"2024.06", "00001", Value(), "1357", day, "Első látogatás"});
    b.appendValues({"2024.06", "00002", Value(), "1400", "2024.06.02", Value()});
    Table& p = db.table("BETEG", "Beteg.dbf");
    p.create({FieldDef::character("TAJ", 9), FieldDef::character("Nev", 25), FieldDef::date("Szuli")});
    p.open();
    p.addIndex("Beteg1", "TAJ", true);
    p.addIndex("Beteg2", "Nev");
    p.appendValues({"222222222", "Szabó Ödön", "1941.03.04"});
    p.appendValues({"333333333", "Őri Ilona", Value()});
    p.appendValues({"111111111", "Kovács Ágnes", "1938.11.30"});
    db.closeAll();
}

// Records (deletion flag and values) and the order of every index tag, as
// the engine reads them.
inline std::string snapshotTable(velmora::db::Table& t) {
    std::string out = t.name() + " " + std::to_string(t.physicalCount()) + "\n";
    for (uint32_t r = 0; r < t.physicalCount(); ++r) {
        out += t.isDeletedAt(r) ? "*" : " ";
        for (size_t f = 0; f < t.fields().size(); ++f) out += "|" + t.valueAt(r, static_cast<int>(f)).asString();
        out += "\n";
    }
    for (const std::string& tag : t.indexNames()) {
        out += tag + ":";
        for (const auto& e : t.index(tag)->entries()) out += " " + std::to_string(e.recno);
        out += "\n";
    }
    return out;
}

inline std::string snapshotSheetTables(const std::string& dir) {
    velmora::db::Database db(dir);
    std::string out;
    for (const auto& [name, file] : {std::pair{"HLAPA", "HLapa.dbf"}, {"HLAPB", "HLapb.dbf"}, {"BETEG", "Beteg.dbf"}}) {
        velmora::db::Table& t = db.table(name, file);
        t.open();
        out += snapshotTable(t);
    }
    return out;
}

// The three tables as Debian's python3-dbf reads them.
inline std::string pythonDumpSheetTables(const std::string& dir) {
    const std::filesystem::path d(dir);
    return velmora::test::runCommand("/usr/bin/python3 " + std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/dbf_interop.py dump " +
                      (d / "HLapa.dbf").string() + " " + (d / "HLapb.dbf").string() + " " + (d / "Beteg.dbf").string() +
                      " 2>&1");
}

} // namespace velmora::test
