#pragma once
// The "dbf" SQLite module: each virtual table reads and writes one shared
// table object through its record-level access, so SQL sees what the
// program posted and SQL writes keep the indexes current.
//
//   CREATE VIRTUAL TABLE "hlapa" USING dbf(table, 'HLAPA')
//   CREATE VIRTUAL TABLE "/x/TEMP/HOSA.DBF" USING dbf(file, '/x/TEMP/HOSA.DBF')
#include "db/DbError.h"
#include "db/FieldDef.h"
#include "db/WriteUnit.h"

#include <map>
#include <memory>
#include <string>

struct sqlite3;

namespace velmora::db {

class Database;
class Table;

namespace sqlvtab {

// One attached virtual table.
struct Attached {
    Table* table = nullptr;
    FieldList fields;     // the columns declared to SQLite
    bool byPath = false;  // named by a file path: the SQL layer opens it itself
};

// State the connection's virtual tables share.
struct Catalog {
    Database* db = nullptr;
    // Open a closed table when a statement names it (the command-line tool);
    // the program opens its tables itself and a closed one is an error.
    bool openOnDemand = false;
    std::map<std::string, Attached> attached;  // key: SQL name in upper case
    // The last message given to SQLite, so the caller can tell the tables'
    // own errors (reported as they are) from SQLite's.
    std::string lastError;
    DbError::Code lastCode = DbError::Code::General;
    // A writing statement outside any write unit is a unit of its own,
    // committed when the last table it wrote ends its batch.
    std::unique_ptr<WriteUnit> statementUnit;
    int openBatches = 0;
};

void registerModule(sqlite3* db, Catalog& catalog);

// The statement that attaches a table under sqlName.
std::string createStatement(const std::string& sqlName, bool byPath, const std::string& key);

} // namespace sqlvtab
} // namespace velmora::db
