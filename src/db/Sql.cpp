#include "db/Sql.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/SqlValue.h"
#include "db/SqlVtab.h"
#include "db/WriteUnit.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <strings.h>

namespace velmora::db {

namespace fs = std::filesystem;

void Sql::StmtDeleter::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

Sql::Sql(Database& db) : database_(db), catalog_(std::make_unique<sqlvtab::Catalog>()) {
    catalog_->db = &db;
    // A connection serves the one thread that made it (the program has only
    // one), so SQLite need not lock it on every call.
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "memória";
        sqlite3_close(db_);
        throw DbError("Az SQL-kapcsolat nem nyitható meg: " + why);
    }
    // ATTACH would create database files that no one asked for.
    sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_set_authorizer(
        db_,
        [](void* self, int action, const char* arg, const char*, const char*, const char*) {
            auto& control = static_cast<Sql*>(self)->transactionControl_;
            if (action == SQLITE_TRANSACTION && arg) control = arg;
            else if (action == SQLITE_SAVEPOINT) control = "SAVEPOINT";
            return SQLITE_OK;
        },
        this);
    try {
        sqlvtab::registerModule(db_, *catalog_);
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

Sql::~Sql() {
    prepared_.clear();  // a connection with statements left does not close
    sqlite3_close(db_);
}

void Sql::setOpenTablesOnDemand(bool on) { catalog_->openOnDemand = on; }

[[noreturn]] void Sql::fail(const std::string& sqliteMessage) const {
    if (!catalog_->lastError.empty() && sqliteMessage == catalog_->lastError)
        throw DbError(catalog_->lastCode, sqliteMessage);
    throw DbError(DbError::Code::General, "SQL hiba: " + sqliteMessage);
}

void Sql::requireSingle(const char* tail) {
    while (tail && *tail) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db_, tail, -1, &raw, &next);
        Stmt rest(raw);
        if (rc != SQLITE_OK || rest) throw DbError("SQL hiba: egyszerre csak egy utasítás futtatható.");
        if (next == tail) break;
        tail = next;
    }
}

// Prepares the statement, attaching each table it names that is not yet
// known: SQLite reports one missing table per attempt.
Sql::Stmt Sql::prepare(std::string_view text, size_t* used) {
    static const std::string kNoSuchTable = "no such table: ";
    std::set<std::string> tried;
    for (;;) {
        catalog_->lastError.clear();
        transactionControl_.clear();
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db_, text.data(), static_cast<int>(text.size()), &raw, &tail);
        Stmt stmt(raw);
        if (rc == SQLITE_OK) {
            if (used) *used = static_cast<size_t>(tail - text.data());
            else requireSingle(tail);
            return stmt;
        }
        const std::string message = sqlite3_errmsg(db_);
        if (message.rfind(kNoSuchTable, 0) != 0) fail(message);
        const std::string name = message.substr(kNoSuchTable.size());
        if (!tried.insert(upperAscii(name)).second || !attach(name))
            throw DbError(DbError::Code::NotFound, "Nincs ilyen tábla: " + name);
    }
}

namespace {

bool endsWithNoCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && strcasecmp(s.c_str() + s.size() - suffix.size(), suffix.c_str()) == 0;
}

bool isPath(const std::string& name) { return name.find_first_of("/\\") != std::string::npos; }

} // namespace

// Attaches the table SQLite calls sqlName: a file path, a table the
// program knows, or a .dbf file of the data directory. False when the name
// is none of these.
bool Sql::attach(const std::string& sqlName) {
    std::string name = sqlName;
    if (strncasecmp(name.c_str(), "main.", 5) == 0 && !isPath(name)) name = name.substr(5);
    bool byPath = false;
    std::string key;
    if (isPath(name)) {
        const fs::path p(name);
        std::error_code ec;
        std::optional<std::string> found;
        if (fs::is_regular_file(p, ec)) found = p.string();
        else found = findFileNoCase(p.parent_path().string(), p.filename().string());
        if (!found) throw DbError(DbError::Code::NotFound, "A(z) " + name + " fájl nem található.");
        // A table of the data directory named by its path is that table, as
        // if named by its name (the program opens it; the tool on demand).
        const std::string file = fs::absolute(*found, ec).string();
        Table* shared = database_.inDirectory(file) ? &database_.tableAtPath(file) : nullptr;
        byPath = !shared || database_.findTable(shared->name()) != shared;
        key = byPath ? *found : shared->name();
    } else if (database_.findTable(name)) {
        key = name;
    } else if (endsWithNoCase(name, ".dbf") && database_.findFile(name)) {
        key = name.substr(0, name.size() - 4);
    } else if (database_.findFile(name + ".dbf")) {
        key = name;
    } else {
        return false;
    }
    catalog_->lastError.clear();
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sqlvtab::createStatement(name, byPath, key).c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const std::string message = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        fail(message);
    }
    return true;
}

// Forgets attached tables that no longer match their file: a path table
// that was closed (it is opened afresh on the next use) and any table whose
// field list changed since (recreated by a schema upgrade). They attach
// again when named.
void Sql::dropStale() {
    std::vector<std::string> stale;
    for (const auto& [key, a] : catalog_->attached) {
        const bool open = a.table->isOpen();
        const bool reopens = a.byPath || catalog_->openOnDemand;
        if ((!open && reopens) || (open && a.table->fields() != a.fields)) stale.push_back(key);
    }
    if (!stale.empty()) prepared_.clear();
    for (const std::string& key : stale) {
        std::string quoted = "\"";
        for (char c : key) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        sqlite3_exec(db_, ("DROP TABLE " + quoted + "\"").c_str(), nullptr, nullptr, nullptr);
        catalog_->attached.erase(key);
    }
}

// The field a result column reads straight from, or null.
const FieldDef* Sql::originField(sqlite3_stmt* stmt, int col) const {
    const char* table = sqlite3_column_table_name(stmt, col);
    const char* origin = sqlite3_column_origin_name(stmt, col);
    if (!table || !origin) return nullptr;
    auto it = catalog_->attached.find(upperAscii(table));
    if (it == catalog_->attached.end()) return nullptr;
    const int f = findField(it->second.fields, origin);
    return f < 0 ? nullptr : &it->second.fields[f];
}

// What the planner is told of the attached tables besides their columns:
// whether each is open, its record count and its index tags.
std::string Sql::planBasis() const {
    std::string basis;
    for (const auto& [key, a] : catalog_->attached) {
        basis += key;
        if (a.table->isOpen()) {
            basis += ' ' + std::to_string(a.table->physicalCount());
            for (const std::string& tag : a.table->indexNames())
                basis += ' ' + tag + '=' + a.table->index(tag)->expression().text();
        }
        basis += '\n';
    }
    return basis;
}

// A kept statement leaves the store while it runs, so a statement run again
// from inside its own run (by a table's listener) is prepared anew.
std::optional<Sql::Prepared> Sql::takePrepared(const std::string& statement) {
    std::string basis = planBasis();
    if (basis != preparedBasis_) {
        prepared_.clear();
        preparedBasis_ = std::move(basis);
        return std::nullopt;
    }
    auto it = prepared_.find(statement);
    if (it == prepared_.end()) return std::nullopt;
    Prepared p = std::move(it->second);
    prepared_.erase(it);
    return p;
}

void Sql::keepPrepared(const std::string& statement, Prepared p) {
    sqlite3_reset(p.stmt.get());
    sqlite3_clear_bindings(p.stmt.get());
    if (prepared_.size() >= 64) prepared_.clear();
    prepared_.emplace(statement, std::move(p));
}

SqlResult Sql::run(const std::string& statement, const std::vector<Value>& params) {
    dropStale();
    std::optional<Prepared> p = takePrepared(statement);
    if (!p) {
        Stmt stmt = prepare(statement);
        if (!stmt) return {};  // only blanks or comments
        p = describe(std::move(stmt));
    }
    SqlResult result = execute(*p, params);
    keepPrepared(statement, std::move(*p));
    return result;
}

Sql::Prepared Sql::describe(Stmt stmt) const {
    Prepared p;
    const int cols = sqlite3_column_count(stmt.get());
    for (int c = 0; c < cols; ++c) {
        p.columns.emplace_back(sqlite3_column_name(stmt.get(), c));
        const FieldDef* origin = originField(stmt.get(), c);
        p.origins.push_back(origin ? std::optional<FieldDef>(*origin) : std::nullopt);
    }
    p.stmt = std::move(stmt);
    return p;
}

SqlResult Sql::execute(const Prepared& p, const std::vector<Value>& params) {
    sqlite3_stmt* s = p.stmt.get();
    SqlResult result;
    if (static_cast<int>(params.size()) > sqlite3_bind_parameter_count(s))
        throw DbError("SQL hiba: több paraméter van megadva, mint ahány helye az utasításban.");
    for (size_t i = 0; i < params.size(); ++i) sqlvalue::bind(s, static_cast<int>(i) + 1, params[i]);

    result.columns = p.columns;
    const int cols = static_cast<int>(p.columns.size());
    catalog_->lastError.clear();
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(cols);
        for (int c = 0; c < cols; ++c) row.push_back(sqlvalue::column(s, c, p.origins[c] ? &*p.origins[c] : nullptr));
        result.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) fail(sqlite3_errmsg(db_));
    if (!sqlite3_stmt_readonly(s)) result.changes = sqlite3_changes(db_);
    return result;
}

SqlResult Sql::run(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return run(text);
}

void Sql::runScript(const std::string& script, const std::function<void(const SqlResult&)>& onResult) {
    std::optional<WriteUnit> unit(std::in_place, database_);
    const std::string_view text(script);
    for (size_t at = 0; at < text.size();) {
        dropStale();
        size_t used = 0;
        Stmt stmt = prepare(text.substr(at), &used);
        at += used;
        if (!stmt) {
            if (used == 0) break;
            continue;  // blanks, comments or an empty statement
        }
        if (transactionControl_ == "BEGIN" || transactionControl_ == "COMMIT") continue;
        if (transactionControl_ == "ROLLBACK") {
            unit.emplace(database_);  // the old unit rolls back as it goes
            continue;
        }
        if (transactionControl_ == "SAVEPOINT")
            throw DbError(DbError::Code::State, "SQL hiba: mentési pont (SAVEPOINT, RELEASE, ROLLBACK TO) nem "
                                                "használható; a parancsfájl egésze egy írási egység.");
        const SqlResult result = execute(describe(std::move(stmt)), {});
        if (onResult) onResult(result);
    }
    unit->commit();
}

std::optional<std::string> Sql::firstWritingStatement(const std::string& script) {
    const std::string_view text(script);
    for (size_t at = 0; at < text.size();) {
        dropStale();
        size_t used = 0;
        Stmt stmt = prepare(text.substr(at), &used);
        if (stmt && !sqlite3_stmt_readonly(stmt.get())) {
            std::string statement(text.substr(at, used));
            const size_t first = statement.find_first_not_of(" \t\r\n;");
            return first == std::string::npos ? statement : statement.substr(first);
        }
        if (used == 0) break;
        at += used;
    }
    return std::nullopt;
}

bool Sql::isReadOnly(const std::string& statement) {
    dropStale();
    Stmt stmt = prepare(statement);
    return !stmt || sqlite3_stmt_readonly(stmt.get());
}

// --- dialect helpers -------------------------------------------------------

namespace sql {

std::string joinKey(const std::string& left, const std::string& right, const std::vector<std::string>& columns,
                    const std::vector<std::string>& mayBeBlank) {
    auto qualified = [](const std::string& alias, const std::string& col) {
        return alias.empty() ? col : alias + "." + col;
    };
    std::string out;
    for (const std::string& col : columns) {
        bool blankable = false;
        for (const std::string& b : mayBeBlank) blankable = blankable || strcasecmp(b.c_str(), col.c_str()) == 0;
        if (!out.empty()) out += " and ";
        out += qualified(left, col) + (blankable ? " is " : "=") + qualified(right, col);
    }
    return out;
}

namespace {

bool digitsOnly(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int daysIn(int month, int year) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::string dateLiteral(const std::string& dayMonthYear) {
    std::string t = dayMonthYear;
    if (t.size() >= 2 && t.front() == '\'' && t.back() == '\'') t = t.substr(1, t.size() - 2);
    const auto bad = [&]() { return DbError(DbError::Code::BadValue, "Érvénytelen dátum: " + dayMonthYear); };
    const size_t p1 = t.find('.'), p2 = p1 == std::string::npos ? p1 : t.find('.', p1 + 1);
    if (p2 == std::string::npos) throw bad();
    const std::string d = t.substr(0, p1), m = t.substr(p1 + 1, p2 - p1 - 1), y = t.substr(p2 + 1);
    if (!digitsOnly(d) || !digitsOnly(m) || !digitsOnly(y) || d.size() > 2 || m.size() > 2 || y.size() != 4)
        throw bad();
    const int day = std::stoi(d), month = std::stoi(m), year = std::stoi(y);
    if (month < 1 || month > 12 || day < 1 || day > daysIn(month, year)) throw bad();
    auto two = [](const std::string& s) { return s.size() == 1 ? "0" + s : s; };
    return "'" + y + "." + two(m) + "." + two(d) + "'";
}

std::string quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

} // namespace sql

} // namespace velmora::db
