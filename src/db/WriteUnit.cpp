// Write units: a scope over the Database's transaction.
#include "db/WriteUnit.h"

#include "db/DbError.h"

namespace velmora::db {

WriteUnit::WriteUnit(Database& db) : db_(db), level_(db.transaction().beginUnit()) {}

WriteUnit::~WriteUnit() {
    if (open_) db_.transaction().rollbackUnit(level_);
}

void WriteUnit::commit() {
    if (!open_) throw DbError(DbError::Code::State, "Az írási egység már lezárult.");
    db_.transaction().commitUnit(level_);
    open_ = false;
    if (db_.unitLevel() == 0) warnings_ = db_.transaction().lastWarnings();
}

void WriteUnit::rollback() {
    if (!open_) return;
    open_ = false;
    db_.transaction().rollbackUnit(level_);
}

void WriteUnit::addFileOperation(FileOperation op) { db_.transaction().addFileOperation(std::move(op)); }

} // namespace velmora::db
