#include "store/Reindex.h"

#include "db/Os.h"

#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <filesystem>

namespace velmora::store {

namespace {

using Defs = std::vector<const schema::TableDef*>;

// The order in which the shared tables are closed and opened.
const Defs& sharedTables() {
    static const Defs t = {&schema::HLAPA(),    &schema::HLAPB(),  &schema::HSZERZ(),  &schema::HSZOLGSZ(),
                           &schema::PART(),     &schema::TELEPUL(), &schema::HTERULET(), &schema::HTHELY(),
                           &schema::APOL(),     &schema::BETEG(),  &schema::ORVOS(),   &schema::BNOTORZS(),
                           &schema::MARADV(),   &schema::ZARAS(),   &schema::ELOZMENY(), &schema::ELOZVEG()};
    return t;
}

// The history's tables are made by their own start-up step; until it has
// run they may be missing.
bool madeLater(const schema::TableDef* def) { return def == &schema::ELOZMENY() || def == &schema::ELOZVEG(); }

// The order in which indexel rebuilds them.
const Defs& indexOrder() {
    static const Defs t = {&schema::BNOTORZS(), &schema::BETEG(),    &schema::APOL(),    &schema::ORVOS(),
                           &schema::MARADV(),   &schema::HSZERZ(),   &schema::HSZOLGSZ(), &schema::TELEPUL(),
                           &schema::HTERULET(), &schema::HTHELY(),   &schema::ZARAS(),   &schema::HLAPA(),
                           &schema::HLAPB(),    &schema::ELOZMENY()};
    return t;
}

} // namespace

void mindzar(db::Database& db) {
    for (const schema::TableDef* def : sharedTables()) tableOf(db, *def).close();
}

void mindnyit(db::Database& db) {
    for (const schema::TableDef* def : sharedTables()) {
        db::Table& table = tableOf(db, *def);
        if (!madeLater(def) || table.exists()) table.open();
    }
}

void indtorol(db::Database& db) {
    static const char* const files[] = {"Apol.mdx",    "Beteg.mdx",    "Orvos.mdx",    "BNOtorzs.mdx", "HSzerz.mdx",
                                        "HSzolgsz.mdx", "HThely.mdx",  "HTerulet.mdx", "Telepul.mdx",  "Maradv.mdx",
                                        "Zaras.mdx",    "HLapa.mdx",   "HLapb.mdx",   "Elozmeny.mdx", "Elozveg.mdx"};
    for (const char* name : files)
        if (auto found = db.findFile(name)) db::os::remove(*found);
}

std::optional<ContractDetails> indexel(db::Database& db, app::Dialogs& dialogs, app::Progress& progress) {
    const Defs& order = indexOrder();
    {
        // Stopping halfway would leave tables closed: no cancelling.
        app::ProgressScope scope(progress, "Indexelés", static_cast<int>(order.size()), false);
        int done = 0;
        for (const schema::TableDef* def : order) {
            scope.step("A(z) " + def->fileName + " állomány indexelése", done++);
            db::Table& table = tableOf(db, *def);
            if (madeLater(def) && !table.exists()) continue;
            if (indexFileMissing(table, *def)) restoreIndex(table, *def, def->activeAfterReindex);
        }
    }
    mindnyit(db);
    return finkodtolt(db, dialogs);
}

bool Indexeles(db::Database& db, app::Session& session, app::Dialogs& dialogs, app::Progress& progress) {
    mindzar(db);
    indtorol(db);
    const std::optional<ContractDetails> details = indexel(db, dialogs, progress);
    if (!details) return false;
    showContractDetails(*details, session, dialogs);
    dialogs.status(0, "Az indexelés befejeződött!!");
    return true;
}

} // namespace velmora::store
