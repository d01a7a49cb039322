#include "store/IndexFiles.h"

#include "db/Os.h"

namespace velmora::store {

db::Table& tableOf(db::Database& db, const schema::TableDef& def) { return db.table(def.name, def.fileName); }

bool indexFileMissing(db::Table& table, const schema::TableDef& def) {
    if (!db::os::exists(table.indexPath())) return true;
    table.open();
    if (table.hasForeignIndexFile()) return true;
    for (const schema::IndexDef& tag : def.tags)
        if (!table.index(tag.tag)) return true;
    return false;
}

void restoreIndex(db::Table& table, const schema::TableDef& def, const std::string& activeTag) {
    table.close();
    table.deleteIndexes();
    table.open();
    // Only the production-index flag (byte 28) is cleared. The program used
    // to clear byte 29 as well, which wiped the code page 852 mark: the table
    // then read as a dBASE III file, so the next start took it for an old
    // layout and copied it through, and other dBASE tools lost its accents.
    table.writeHeaderBytes(28, std::string(1, '\0'));
    for (const schema::IndexDef& tag : def.tags) table.addIndex(tag.tag, tag.expression, tag.unique);
    table.setActiveIndex(activeTag);
}

void restoreIndexIfMissing(db::Table& table, const schema::TableDef& def) {
    if (indexFileMissing(table, def)) restoreIndex(table, def, def.activeTag);
    else table.open();
}

} // namespace velmora::store
