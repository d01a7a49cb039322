#pragma once
// Local SQL over the tables: an in-memory SQLite connection in which every
// table of the data directory is a virtual table backed by its shared table
// object, so a query sees exactly what the program posted and UPDATE,
// INSERT and DELETE write through the engine.
//
// A table is named by its name ("select * from hlapa") or by a quoted file
// path ("select * from '/x/TEMP/HOSA.DBF'"); it is attached the first time
// a statement names it. A table named by its name must be open (the program
// opens its tables); one named by a path is opened here.
//
// Column values: blank -> NULL, C -> right-trimmed text, D -> 'YYYY.MM.DD'
// text, N -> integer (no decimals) or real rounded back to the field's
// decimals when written, L -> 1/0. A damaged value (an N field holding "*",
// the date "20240231") is its text: "is null" does not match it, typeof()
// gives 'text' in an N or L column, and SQLite orders text after every
// number. Results give numbers as exact decimals, a column of an N field at
// that field's decimals, and a field's damaged value as a damaged Value, so
// a table copied through a query keeps it. Written back by an UPDATE or
// INSERT a damaged text is refused like any text that is no value of the
// field.
//
// Index tags serve equality (=, IS, IN) on their leading character and date
// fields; SQLite checks every condition again, so an index never changes
// which rows are selected, only how fast. A statement that fails changes
// nothing. A writing statement joins the open write unit (WriteUnit.h), or
// is a unit of its own when none is open, so a kill while it writes leaves
// its tables wholly before or wholly after it. Writes inside SQLite's own
// transactions (BEGIN run through run()) are refused: several statements
// write together in a write unit, or in a script (runScript).
//
// The program's statements were written for a dBASE SQL dialect; they are
// written for this engine as follows:
//  * concatenated join keys
//      a.sorsz+a.resz+a.idoszak=b.sorsz+b.resz+b.idoszak
//    become one comparison per column, with IS for a part that may be blank:
//      a.sorsz=b.sorsz and a.resz is b.resz and a.idoszak=b.idoszak
//    (sql::joinKey builds this);
//  * day.month.year date literals such as '01.06.2024' become 'YYYY.MM.DD'
//    text, which compares correctly with the date columns (sql::dateLiteral);
//  * "x<>null" is "x is not null", "x=null" is "x is null"; a test for an
//    empty text ('') is a test for null, because blank reads as null.
#include "db/FieldDef.h"
#include "db/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::db {

class Database;
namespace sqlvtab { struct Catalog; }

struct SqlResult {
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;  // NULL -> null Value, numbers -> Decimal
    int changes = 0;                       // rows changed by an update/insert/delete
};

// A connection belongs to the thread that made it.
class Sql {
public:
    explicit Sql(Database& db);
    ~Sql();
    Sql(const Sql&) = delete;
    Sql& operator=(const Sql&) = delete;

    // Runs one statement; params bind to its "?" placeholders. Throws
    // DbError on failure (the tables' own messages as they are, SQLite's
    // behind "SQL hiba:"); a failed statement changes nothing.
    SqlResult run(const std::string& statement, const std::vector<Value>& params = {});
    // A statement given line by line (the lines joined by line breaks).
    SqlResult run(const std::vector<std::string>& lines);

    // Runs the statements of a script, split where SQLite's parser ends
    // each one, as one write unit: a statement that fails undoes the ones
    // before it and throws. BEGIN, COMMIT and END are accepted and change
    // nothing (the script is one unit already); ROLLBACK undoes everything
    // the script changed so far. onResult gets each statement's result.
    void runScript(const std::string& script, const std::function<void(const SqlResult&)>& onResult = {});
    // The text of the script's first statement that would write; nullopt
    // when all of them only read.
    std::optional<std::string> firstWritingStatement(const std::string& script);

    // The statement only reads (checked by SQLite, without running it).
    bool isReadOnly(const std::string& statement);

    // Open a closed table when a statement names it instead of failing
    // (for the command-line tool, which opens nothing itself).
    void setOpenTablesOnDemand(bool on);

    sqlite3* handle() { return db_; }

private:
    struct StmtDeleter { void operator()(sqlite3_stmt* s) const; };
    using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

    // Prepares the statement at the start of text; with used, the text may
    // go on after it (used tells where the statement ended), without, it
    // must hold only one statement.
    Stmt prepare(std::string_view text, size_t* used = nullptr);
    // A prepared statement with its result columns: their names and the
    // field each reads straight from (copied, so a kept statement needs no
    // table's own list).
    struct Prepared {
        Stmt stmt;
        std::vector<std::string> columns;
        std::vector<std::optional<FieldDef>> origins;
    };
    Prepared describe(Stmt stmt) const;
    SqlResult execute(const Prepared& p, const std::vector<Value>& params);
    void requireSingle(const char* tail);
    bool attach(const std::string& sqlName);
    void dropStale();
    std::string planBasis() const;
    std::optional<Prepared> takePrepared(const std::string& statement);
    void keepPrepared(const std::string& statement, Prepared p);
    const FieldDef* originField(sqlite3_stmt* stmt, int col) const;
    [[noreturn]] void fail(const std::string& sqliteMessage) const;

    Database& database_;
    std::unique_ptr<sqlvtab::Catalog> catalog_;
    sqlite3* db_ = nullptr;
    // What the last prepared statement controls of a transaction, as
    // SQLite's authorizer told it: "BEGIN", "COMMIT", "ROLLBACK", or
    // "SAVEPOINT" for any savepoint statement; empty for the rest.
    std::string transactionControl_;
    // Statements run() prepared, by their text, reset for the next run: a
    // caller that runs a statement again (every check does) skips SQLite's
    // parser and planner. They are kept only while what their plans rest on
    // (planBasis) stays the same, so a kept plan is the one a fresh
    // preparation would make.
    std::unordered_map<std::string, Prepared> prepared_;
    std::string preparedBasis_;
};

namespace sql {
// "a.k1=b.k1 and a.k2 is b.k2 ..." for the given columns; columns listed in
// mayBeBlank use IS so two blanks match.
std::string joinKey(const std::string& left, const std::string& right,
                    const std::vector<std::string>& columns,
                    const std::vector<std::string>& mayBeBlank);
// '01.06.2024' (or 01.06.2024, 1.6.2024) -> '2024.06.01' as a quoted SQL
// literal. Throws DbError(BadValue) for anything that is not a date.
std::string dateLiteral(const std::string& dayMonthYear);
// Quotes a text for SQL ('' doubled).
std::string quote(const std::string& text);
} // namespace sql

} // namespace velmora::db
