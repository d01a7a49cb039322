#include "backup/BackupSet.h"

#include "app/UserError.h"
#include "db/Database.h"
#include "db/DbError.h"

#include <algorithm>
#include <cctype>

namespace velmora::backup {

namespace sc = store::schema;

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// Fields an older layout may lack: start-up's upgrade adds them.
bool addedByUpgrade(const sc::TableDef& def, const std::string& field) {
    const std::string f = upper(field);
    if (&def == &sc::HLAPA()) return f == "ORVTIP";
    if (&def == &sc::HSZERZ()) return f == "FINKOD" || f == "NORMNAP" || f == "POTNAP";
    return false;
}

// Reads every row so that a file cut short or damaged in the middle fails
// here and not after it has replaced a live table.
void readAll(db::Table& table) {
    const uint32_t count = table.physicalCount();
    const int fields = static_cast<int>(table.fields().size());
    for (uint32_t r = 0; r < count; ++r)
        for (int f = 0; f < fields; ++f) table.valueAt(r, f);
}

void checkFile(db::Database& db, const sc::TableDef& def, const std::string& where) {
    const std::string shown = upper(def.fileName);
    db::Table& table = db.table(def.name, def.fileName);
    try {
        table.open();
        readAll(table);
    } catch (const db::DbError& e) {
        throw app::UserError("A(z) " + shown + " állomány " + where + " nem olvasható, nem lehet az adatokat visszatölteni!\n" +
                             e.what());
    }
    for (const db::FieldDef& field : def.fields)
        if (!table.hasField(field.name) && !addedByUpgrade(def, field.name))
            throw app::UserError("A(z) " + shown + " állományból " + where + " hiányzik a(z) " + upper(field.name) +
                                 " mező, nem lehet az adatokat visszatölteni!");
    table.close();
}

} // namespace

const std::vector<const sc::TableDef*>& backedUpTables() {
    static const std::vector<const sc::TableDef*> t = {
        &sc::HSZERZ(), &sc::HSZOLGSZ(), &sc::BNOTORZS(), &sc::ORVOS(), &sc::APOL(),  &sc::TELEPUL(), &sc::BETEG(),
        &sc::HTERULET(), &sc::HTHELY(), &sc::ZARAS(),  &sc::PART(),  &sc::MARADV(), &sc::HLAPA(),   &sc::HLAPB(),
        &sc::ELOZMENY(), &sc::ELOZVEG()};
    return t;
}

bool optionalInSet(const sc::TableDef& def) { return &def == &sc::ELOZMENY() || &def == &sc::ELOZVEG(); }

std::vector<std::string> backedUpFileNames() {
    std::vector<std::string> names;
    for (const sc::TableDef* def : backedUpTables()) names.push_back(def->fileName);
    return names;
}

std::vector<SetFile> checkSet(const std::string& dir, const std::string& where) {
    std::vector<SetFile> set;
    for (const sc::TableDef* def : backedUpTables()) {
        const auto found = db::findFileNoCase(dir, def->fileName);
        if (!found && optionalInSet(*def)) continue;
        if (!found)
            throw app::UserError("Nincs " + where + " " + upper(def->fileName) +
                                 " !!\nNem lehet az adatokat visszatölteni!");
        set.push_back({def, *found});
    }
    // A fresh engine of its own: the set's folder is not the data directory.
    db::Database db(dir);
    for (const SetFile& f : set) checkFile(db, *f.def, where);
    return set;
}

} // namespace velmora::backup
