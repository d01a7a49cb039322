#include "exchange/NewTables.h"

#include "app/UserError.h"
#include "db/FileIo.h"
#include "db/Table.h"
#include "store/IndexFiles.h"

#include <algorithm>
#include <filesystem>

namespace velmora::exchange {

namespace {

namespace fs = std::filesystem;
namespace schema = store::schema;

std::string cause(const std::error_code& ec) { return db::describeErrno(ec.value()); }

// One file to replace: the new one, the one in place (when there is one),
// and where the old one waits meanwhile.
struct Replacement {
    fs::path fresh, target, kept;
    bool hadOld = false, replaced = false;
};

// The old file is kept by a second name for it (a copy where links are not
// possible), so the target never goes missing: the rename over it replaces
// it at once.
void keepAside(Replacement& r) {
    std::error_code ec;
    r.hadOld = fs::exists(r.target, ec);
    if (!r.hadOld) return;
    fs::create_hard_link(r.target, r.kept, ec);
    if (ec) {
        ec.clear();
        fs::copy_file(r.target, r.kept, fs::copy_options::overwrite_existing, ec);
    }
    if (ec) throw app::UserError("A(z) " + r.target.string() + " állományról nem készülhetett másolat: " + cause(ec));
}

void putBack(std::vector<Replacement>& all) {
    for (Replacement& r : all) {
        if (!r.replaced) continue;
        std::error_code ec;
        if (r.hadOld)
            fs::rename(r.kept, r.target, ec);
        else
            fs::remove(r.target, ec);
    }
}

} // namespace

void writeNewTable(const std::string& dir, const schema::TableDef& def,
                   const std::vector<std::vector<db::Value>>& rows) {
    db::Database fresh(dir);
    db::Table& table = store::tableOf(fresh, def);
    table.create(def.fields, def.level);
    table.open();
    // The rows before the tags: each tag is then built once over all keys.
    table.beginBatch();
    try {
        for (const auto& row : rows) table.appendValues(row);
        table.endBatch();
    } catch (...) {
        table.endBatch(false);
        throw;
    }
    store::restoreIndex(table, def, def.activeTag);
    table.close();
}

void swapInTables(db::Database& db, const std::vector<const schema::TableDef*>& defs, const std::string& fromDir) {
    const fs::path aside = fs::path(db.directory()) / "csere.regi";
    std::error_code ec;
    fs::remove_all(aside, ec);
    fs::create_directory(aside, ec);
    if (ec) throw app::UserError("A(z) " + aside.string() + " könyvtár nem készíthető el: " + cause(ec));

    std::vector<Replacement> all;
    std::vector<db::Table*> reopen;
    for (const schema::TableDef* def : defs) {
        for (const std::string& name : {def->fileName, def->indexFileName()})
            all.push_back({fs::path(fromDir) / name, db.resolve(name), aside / name});
        db::Table& table = store::tableOf(db, *def);
        if (table.isOpen()) reopen.push_back(&table);
        table.close();
    }
    try {
        for (Replacement& r : all) keepAside(r);
        for (Replacement& r : all) {
            fs::rename(r.fresh, r.target, ec);
            if (ec) throw app::UserError("A(z) " + r.target.string() + " állomány nem cserélhető le: " + cause(ec));
            r.replaced = true;
        }
        db::syncDirectory(db.directory());
    } catch (...) {
        putBack(all);
        for (db::Table* t : reopen) t->open();
        fs::remove_all(aside, ec);
        throw;
    }
    fs::remove_all(aside, ec);
    for (size_t i = 0; i < defs.size(); ++i) {
        db::Table& table = store::tableOf(db, *defs[i]);
        if (std::find(reopen.begin(), reopen.end(), &table) == reopen.end()) continue;
        table.open();
        table.setActiveIndex(defs[i]->activeTag);
    }
}

} // namespace velmora::exchange
