#include "store/TableSetup.h"

#include "db/Sql.h"
#include "store/IndexFiles.h"
#include "store/TableReplacement.h"

namespace velmora::store {

namespace {

std::string upgradeFailed(const std::string& tag) { return "Hiba az állomány készítésében! (" + tag + ")"; }

// Create when missing, rebuild a missing index file, open.
db::Table& prepare(db::Database& db, const schema::TableDef& def) {
    db::Table& table = tableOf(db, def);
    createIfMissing(table, def);
    restoreIndexIfMissing(table, def);
    return table;
}

void openForUse(db::Table& table, const schema::TableDef& def) {
    table.open();
    table.setActiveIndex(def.activeTag);
}

// The new file is built in the staging folder and replaces the old one in
// one write unit: a row the new layout cannot take, or a kill, leaves the
// old table as it was.
void replaceWithRows(db::Database& db, const schema::TableDef& def, const std::vector<std::vector<db::Value>>& rows) {
    tableOf(db, def).close();
    Replacement replacement(db);
    replacement.write(def, rows);
    replacement.commit();
}

// The table's fields as the program defines them now.
bool currentLayout(const db::Table& table, const schema::TableDef& def) {
    const db::FieldList& have = table.fields();
    if (have.size() != def.fields.size()) return false;
    for (size_t i = 0; i < have.size(); ++i) {
        const db::FieldDef& a = have[i];
        const db::FieldDef& b = def.fields[i];
        if (db::upperAscii(a.name) != db::upperAscii(b.name) || a.type != b.type || a.width != b.width ||
            a.decimals != b.decimals)
            return false;
    }
    return true;
}

std::vector<std::string> hlapaCopyStatement(bool hasOrvtip) {
    return {"select idoszak,intkod,finkod,sorsz,resz,taj,kozigkod,tpotl,bnofek,bnofo,bnokis,bnoab, ",
            " orvkode,orvkodj, ",
            hasOrvtip ? " orvtip, " : " ' ' as orvtip, ",
            " elrend,szakvet,gyak,elvizdb,elszviz,elszam,lezdat,aptaj1,aptaj2,aptaj3,aptaj4,aptaj5,aptaj6,aptaj7,aptaj8, ",
            " aztip,terkat,allamp,sznap,tele,jeloles,elkuldve,allapot,modtipus ",
            "from hlapa a order by a.idoszak,a.sorsz,a.resz"};
}

std::vector<std::string> hlapbCopyStatement() {
    std::vector<std::string> lines = {"select idoszak,intkod,finkod,sorsz,resz,"};
    for (int i = 1; i <= 31; ++i) {
        const std::string n = std::to_string(i);
        lines.push_back("Tev" + n + ",Apdat" + n + ",Apbtaj" + n + ",Eli" + n + ",");
    }
    lines.push_back("jeloles,elkuldve ");
    lines.push_back("from hlapb a order by a.idoszak,a.sorsz,a.resz");
    return lines;
}

} // namespace

void createIfMissing(db::Table& table, const schema::TableDef& def) {
    if (!table.exists()) table.create(def.fields, def.level);
}

void copyThrough(db::Database& db, const schema::TableDef& def, const std::vector<std::string>& copyStatement,
                 const std::string& failureMessage, app::Dialogs& dialogs) {
    db::SqlResult copy;
    try {
        copy = db::Sql(db).run(copyStatement);
    } catch (const std::exception& e) {
        dialogs.error(failureMessage, e.what());
        throw;
    }
    replaceWithRows(db, def, copy.rows);
}

void Crtzaras(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::ZARAS();
    db::Table& table = prepare(db, def);
    // Copied through only when its layout must change: a start that
    // rewrote the period table every time could lose it to a kill, and
    // could not open a read-only data directory. The copy keeps every row,
    // in period order.
    if (table.level() != 4 || !currentLayout(table, def))
        copyThrough(db, def, {"select * from zaras order by idoszak"}, upgradeFailed("zaras"), dialogs);
    openForUse(table, def);
}

void Crtapol(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::APOL();
    db::Table& table = prepare(db, def);
    if (table.level() != 4) copyThrough(db, def, {"select * from apol"}, upgradeFailed("apol"), dialogs);
    openForUse(table, def);
}

void Crtorvos(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::ORVOS();
    db::Table& table = prepare(db, def);
    const int code = table.fieldIndex("ORVOSKOD");
    const bool fiveWideCode = code >= 0 && table.fields()[code].width == 5;
    if (fiveWideCode || table.level() > 5)
        copyThrough(db, def, {"select orvoskod,onev ", "from orvos order by orvoskod"}, upgradeFailed("orvos"),
                    dialogs);
    openForUse(table, def);
}

void Crtbeteg(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::BETEG();
    db::Table& table = prepare(db, def);
    if (table.level() != 4)
        copyThrough(db, def,
                    {"select taj,nev,neme,aztip,kozigkod,cime1,cime2,szulh,szuli ", "from beteg order by taj"},
                    upgradeFailed("beteg"), dialogs);
    openForUse(table, def);
}

void Crtmaradv(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::MARADV();
    db::Table& table = prepare(db, def);
    if (table.level() != 4)
        copyThrough(db, def, {"select * from maradv order by midoszak"}, upgradeFailed("maradv"), dialogs);
    openForUse(table, def);
}

void Crtlapa(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::HLAPA();
    db::Table& table = prepare(db, def);
    const bool hasOrvtip = table.hasField("ORVTIP");
    if (!hasOrvtip || table.level() > 5)
        copyThrough(db, def, hlapaCopyStatement(hasOrvtip), upgradeFailed("lap_update"), dialogs);
    openForUse(table, def);
}

void Crtlapb(db::Database& db, app::Dialogs& dialogs) {
    const schema::TableDef& def = schema::HLAPB();
    db::Table& table = prepare(db, def);
    if (table.level() != 4) copyThrough(db, def, hlapbCopyStatement(), upgradeFailed("lapb"), dialogs);
    openForUse(table, def);
}

} // namespace velmora::store
