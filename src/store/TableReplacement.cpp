#include "store/TableReplacement.h"

#include "db/DbError.h"
#include "db/Journal.h"
#include "db/Os.h"
#include "db/WriteUnit.h"
#include "store/FileCopy.h"
#include "store/IndexFiles.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace velmora::store {

namespace {

struct Closed {
    const schema::TableDef* def;
    db::Table* table;
    bool wasOpen;
    std::string activeTag;
};

// The tables as they were: reopened with their old files, nothing rebuilt.
void reopenAsBefore(const std::vector<Closed>& closed) noexcept {
    for (const Closed& c : closed) {
        if (!c.wasOpen) continue;
        try {
            c.table->open();
        } catch (...) {
        }
    }
}

} // namespace

Replacement::Replacement(db::Database& db) : db_(db), folder_((fs::path(db.directory()) / kStagingFolder).string()) {
    if (db.unitLevel() > 0)
        throw db::DbError(db::DbError::Code::State, "Nyitott módosítás közben az állományok nem cserélhetők");
    db::os::removeTree(folder_);
    db::os::makeDirectories(folder_);
}

Replacement::~Replacement() {
    if (committed_) return;
    try {
        db::os::removeTree(folder_);
    } catch (...) {
        // The next start removes it.
    }
}

std::string Replacement::stagedPath(const schema::TableDef& def) const {
    return (fs::path(folder_) / def.fileName).string();
}

void Replacement::stage(const schema::TableDef& def, const std::string& source) {
    copyFileChecked(source, stagedPath(def));
    add(def);
}

void Replacement::write(const schema::TableDef& def, const std::vector<std::vector<db::Value>>& rows) {
    db::Database staging(folder_);
    db::Table& fresh = tableOf(staging, def);
    fresh.create(def.fields, def.level);
    fresh.open();
    fresh.beginBatch();
    try {
        for (const auto& row : rows) fresh.appendValues(row);
        fresh.endBatch();
    } catch (...) {
        fresh.endBatch(false);
        throw;
    }
    fresh.close();
    add(def);
}

void Replacement::add(const schema::TableDef& def) { tables_.push_back(&def); }

void Replacement::commit(const std::function<void()>& alsoInUnit) {
    db::os::syncDirectory(folder_);
    std::vector<Closed> closed;
    for (const schema::TableDef* def : tables_) {
        db::Table& table = tableOf(db_, *def);
        closed.push_back({def, &table, table.isOpen(), table.isOpen() ? table.activeIndex() : std::string()});
        table.close();
    }
    try {
        db::WriteUnit unit(db_);
        for (const schema::TableDef* def : tables_) {
            db::Table& table = tableOf(db_, *def);
            unit.addFileOperation(db::FileOperation::remove(table.indexPath()));
            unit.addFileOperation(db::FileOperation::rename(stagedPath(*def), table.path()));
        }
        unit.addFileOperation(db::FileOperation::removeTree(folder_));
        if (alsoInUnit) alsoInUnit();
        unit.commit();
    } catch (...) {
        // Before the journal nothing changed; after it the next start
        // finishes the renames from the staging folder, which is then the
        // journal's, and until then the tables stay closed.
        if (db::journalStands(db_.directory())) committed_ = true;
        else reopenAsBefore(closed);
        throw;
    }
    committed_ = true;
    for (const Closed& c : closed) {
        restoreIndex(*c.table, *c.def, c.activeTag.empty() ? c.def->activeTag : c.activeTag);
        if (!c.wasOpen) c.table->close();
    }
}

void replaceTables(db::Database& db, const std::vector<TableReplacement>& replacements) {
    Replacement r(db);
    for (const TableReplacement& t : replacements) r.stage(*t.def, t.source);
    r.commit();
}

} // namespace velmora::store
