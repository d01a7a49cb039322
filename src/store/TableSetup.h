#pragma once
// Creation and upgrade of the program's own tables at start-up. Each Crt
// routine makes sure its table exists in the current layout, has its index
// file and is open for use, with its active tag current:
//   create the table when its file is missing;
//   rebuild the index file when it is missing;
//   open it; when the file is an old layout, copy it through a new one;
//   open it for use.
// A table file that cannot be read throws a db::DbError naming the file and
// nothing is written to it; start-up stops there.
#include "app/Dialogs.h"
#include "db/Database.h"
#include "store/Schemas.h"

#include <string>
#include <vector>

namespace velmora::store {

// Run at start-up in this order: Crtzaras before the period window, the
// others after the contract check.
void Crtzaras(db::Database& db, app::Dialogs& dialogs);
void Crtapol(db::Database& db, app::Dialogs& dialogs);
void Crtorvos(db::Database& db, app::Dialogs& dialogs);
void Crtbeteg(db::Database& db, app::Dialogs& dialogs);
void Crtmaradv(db::Database& db, app::Dialogs& dialogs);
void Crtlapa(db::Database& db, app::Dialogs& dialogs);
void Crtlapb(db::Database& db, app::Dialogs& dialogs);

// Creates the table's file with its layout when there is none; the table
// object must be closed.
void createIfMissing(db::Table& table, const schema::TableDef& def);

// Rebuilds an old layout: reads every row with the copy statement, replaces
// the file by a new one of the current layout holding those rows (matched by
// position) in one write unit, and rebuilds its index file. The table is
// left closed. When the statement fails, failureMessage is shown as an error
// box and the error is thrown on; when the new file cannot take the rows,
// the old file stays as it was and the error is thrown.
void copyThrough(db::Database& db, const schema::TableDef& def, const std::vector<std::string>& copyStatement,
                 const std::string& failureMessage, app::Dialogs& dialogs);

} // namespace velmora::store
