#include "db/SqlVtab.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/SqlValue.h"
#include "db/StoredField.h"
#include "db/Table.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <strings.h>

namespace velmora::db::sqlvtab {

namespace {

constexpr const char* kRowidPlan = "#rowid";

struct DbfVtab : sqlite3_vtab {
    Catalog* catalog = nullptr;
    sqlite3* db = nullptr;
    Table* table = nullptr;
    std::string key;      // catalog key (SQL name in upper case)
    std::string what;     // table name or path, for messages
    FieldList fields;     // as declared to SQLite
    std::vector<int> offsets;  // each field's place in a record, for the same layout
    bool byPath = false;
    bool inBatch = false; // this statement's writes are held for one flush
};

// Each cursor walks its own list of record numbers, taken when the scan
// starts: a self-join runs two independent walks, and rows an UPDATE or
// INSERT touches during the scan are neither skipped nor met twice.
struct DbfCursor : sqlite3_vtab_cursor {
    std::vector<uint32_t> rows;
    size_t pos = 0;
};

DbfVtab* vtabOf(sqlite3_vtab* p) { return static_cast<DbfVtab*>(p); }
DbfVtab* vtabOf(sqlite3_vtab_cursor* c) { return static_cast<DbfVtab*>(c->pVtab); }

std::string quoteIdent(const std::string& s) {
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string quoteLiteral(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string dequote(const std::string& s) {
    if (s.size() < 2 || s.front() != '\'' || s.back() != '\'') return s;
    std::string out;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        out += s[i];
        if (s[i] == '\'' && s[i + 1] == '\'') ++i;
    }
    return out;
}

int fail(DbfVtab* t, const std::string& message, DbError::Code code = DbError::Code::General) {
    sqlite3_free(t->zErrMsg);
    t->zErrMsg = sqlite3_mprintf("%s", message.c_str());
    t->catalog->lastError = message;
    t->catalog->lastCode = code;
    return code == DbError::Code::KeyViolation ? SQLITE_CONSTRAINT : SQLITE_ERROR;
}

int fail(DbfVtab* t, const std::exception& e) {
    const auto* db = dynamic_cast<const DbError*>(&e);
    return fail(t, e.what(), db ? db->code() : DbError::Code::General);
}

void openIfAllowed(Table& table, const std::string& what, bool mayOpen) {
    if (table.isOpen()) return;
    if (!mayOpen) throw DbError(DbError::Code::State, "A(z) " + what + " tábla nincs megnyitva.");
    table.open();
}

// Within a statement only the table's being open can change (a listener
// may close it); its layout cannot, so usable() checks that once per plan.
int stillOpen(DbfVtab* t) {
    return t->table->isOpen() ? SQLITE_OK
                              : fail(t, "A(z) " + t->what + " tábla nincs megnyitva.", DbError::Code::State);
}

// The table is open and still has the columns SQLite knows.
int usable(DbfVtab* t) {
    try {
        openIfAllowed(*t->table, t->what, t->byPath || t->catalog->openOnDemand);
        if (t->table->fields() != t->fields)
            return fail(t, "A(z) " + t->what + " tábla szerkezete megváltozott; az utasítást újra kell futtatni.",
                        DbError::Code::State);
        return SQLITE_OK;
    } catch (const std::exception& e) {
        return fail(t, e);
    }
}

// --- connect ---------------------------------------------------------------

int xConnect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out, char** err) {
    auto* catalog = static_cast<Catalog*>(aux);
    auto error = [&](const std::string& message, DbError::Code code = DbError::Code::General) {
        *err = sqlite3_mprintf("%s", message.c_str());
        catalog->lastError = message;
        catalog->lastCode = code;
        return SQLITE_ERROR;
    };
    if (argc != 5) return error("A dbf virtuális tábla két argumentumot vár (table|file, név).");
    const bool byPath = std::strcmp(argv[3], "file") == 0;
    const std::string key = dequote(argv[4]);
    try {
        Table* table = byPath ? &catalog->db->tableAtPath(key) : catalog->db->findTable(key);
        if (!table) table = &catalog->db->table(key);
        const std::string what = byPath ? key : table->name();
        openIfAllowed(*table, what, byPath || catalog->openOnDemand);
        const FieldList& fields = table->fields();
        std::string schema = "CREATE TABLE x(";
        for (size_t i = 0; i < fields.size(); ++i)
            schema += (i ? ", " : "") + quoteIdent(fields[i].name) + " " + sqlvalue::declaredType(fields[i]);
        schema += ")";
        if (sqlite3_declare_vtab(db, schema.c_str()) != SQLITE_OK)
            return error("A(z) " + what + " tábla mezői SQL-ben nem használhatók: " + sqlite3_errmsg(db));
        auto* t = new DbfVtab;
        t->catalog = catalog;
        t->db = db;
        t->table = table;
        t->key = upperAscii(argv[2]);
        t->what = what;
        t->fields = fields;
        t->offsets = table->fieldOffsets();
        t->byPath = byPath;
        catalog->attached[t->key] = Attached{table, fields, byPath};
        *out = t;
        return SQLITE_OK;
    } catch (const DbError& e) {
        return error(e.what(), e.code());
    } catch (const std::exception& e) {
        return error(e.what());
    }
}

int xDisconnect(sqlite3_vtab* p) {
    auto* t = vtabOf(p);
    auto it = t->catalog->attached.find(t->key);
    if (it != t->catalog->attached.end() && it->second.table == t->table) t->catalog->attached.erase(it);
    delete t;
    return SQLITE_OK;
}

// --- planning --------------------------------------------------------------

bool binaryCollation(sqlite3_index_info* info, int i) {
    const char* coll = sqlite3_vtab_collation(info, i);
    return !coll || strcasecmp(coll, "BINARY") == 0;
}

// Index seeks return every record whose key is equal under the Hungarian
// collation, a superset of the byte-equal matches; SQLite checks every
// constraint again (omit stays 0), so a seek never changes what is selected.
int xBestIndex(sqlite3_vtab* p, sqlite3_index_info* info) {
    auto* t = vtabOf(p);
    if (int rc = usable(t)) return rc;
    const double n = std::max<double>(t->table->physicalCount(), 1);
    info->estimatedCost = n + 10;
    info->estimatedRows = static_cast<sqlite3_int64>(n);

    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        if (c.usable && c.iColumn == -1 && c.op == SQLITE_INDEX_CONSTRAINT_EQ) {
            info->aConstraintUsage[i].argvIndex = 1;
            info->idxStr = const_cast<char*>(kRowidPlan);
            info->estimatedCost = 1;
            info->estimatedRows = 1;
            info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
            return SQLITE_OK;
        }
    }

    std::string bestTag;
    std::vector<int> best;
    int bestMask = 0;
    for (const std::string& name : t->table->indexNames()) {
        const std::vector<int>& lead = t->table->index(name)->expression().leadingFields();
        std::vector<int> used;
        int mask = 0;
        for (size_t k = 0; k < lead.size() && k < 30; ++k) {
            int found = -1;
            for (int i = 0; i < info->nConstraint && found < 0; ++i) {
                const auto& c = info->aConstraint[i];
                const bool eq = c.op == SQLITE_INDEX_CONSTRAINT_EQ, is = c.op == SQLITE_INDEX_CONSTRAINT_IS;
                if (c.usable && c.iColumn == lead[k] && (eq || is) && binaryCollation(info, i)) {
                    found = i;
                    if (is) mask |= 1 << k;
                }
            }
            if (found < 0) break;
            used.push_back(found);
        }
        if (used.size() > best.size()) {
            best = used;
            bestTag = name;
            bestMask = mask;
        }
    }
    if (best.empty()) return SQLITE_OK;
    for (size_t k = 0; k < best.size(); ++k) info->aConstraintUsage[best[k]].argvIndex = static_cast<int>(k) + 1;
    info->idxNum = bestMask;
    info->idxStr = sqlite3_mprintf("%s", bestTag.c_str());
    info->needToFreeIdxStr = 1;
    const double rows = std::max(1.0, n / std::pow(20.0, static_cast<double>(best.size())));
    info->estimatedRows = static_cast<sqlite3_int64>(rows);
    info->estimatedCost = std::log2(n + 1) + rows;
    return SQLITE_OK;
}

// --- scanning --------------------------------------------------------------

bool looksLikeDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '.' || s[7] != '.') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

struct SeekPlan {
    bool fullScan = false;
    bool nothing = false;  // "x = NULL" selects no row
    std::vector<Value> values;
};

// What to seek for the constraint values; only text (and NULL under IS)
// seeks: any other value goes through SQLite's affinity rules first, which
// only a full scan followed by SQLite's own check gets right.
SeekPlan seekPlan(const DbfVtab& t, const std::vector<int>& lead, int isMask, int argc, sqlite3_value** argv) {
    SeekPlan plan;
    for (int k = 0; k < argc; ++k) {
        const int type = sqlite3_value_type(argv[k]);
        if (type == SQLITE_NULL) {
            if (!(isMask & (1 << k))) plan.nothing = true;
            plan.values.emplace_back();
            continue;
        }
        if (type != SQLITE_TEXT) { plan.fullScan = true; return plan; }
        std::string text(reinterpret_cast<const char*>(sqlite3_value_text(argv[k])),
                         static_cast<size_t>(sqlite3_value_bytes(argv[k])));
        if (t.fields[lead[k]].type == 'D' && !looksLikeDate(text)) { plan.fullScan = true; return plan; }
        plan.values.emplace_back(std::move(text));
    }
    return plan;
}

void skipDeleted(const DbfVtab& t, DbfCursor& c) {
    const uint32_t count = t.table->physicalCount();
    while (c.pos < c.rows.size() && (c.rows[c.pos] >= count || t.table->isDeletedAt(c.rows[c.pos]))) ++c.pos;
}

void fullScan(const DbfVtab& t, DbfCursor& c) {
    const uint32_t count = t.table->physicalCount();
    c.rows.reserve(count);
    for (uint32_t r = 0; r < count; ++r)
        if (!t.table->isDeletedAt(r)) c.rows.push_back(r);
}

// Fills the cursor's rows; false when a full scan has to do.
bool planned(const DbfVtab& t, DbfCursor& c, int idxNum, const char* idxStr, int argc, sqlite3_value** argv) {
    if (!idxStr || !*idxStr) return false;
    if (std::strcmp(idxStr, kRowidPlan) == 0) {
        const int type = sqlite3_value_type(argv[0]);
        if (type == SQLITE_NULL) return true;
        if (type != SQLITE_INTEGER) return false;
        const sqlite3_int64 r = sqlite3_value_int64(argv[0]);
        if (r >= 0 && r < t.table->physicalCount()) c.rows.push_back(static_cast<uint32_t>(r));
        return true;
    }
    const IndexTag* tag = t.table->index(idxStr);
    if (!tag) return false;
    const SeekPlan plan = seekPlan(t, tag->expression().leadingFields(), idxNum, argc, argv);
    if (plan.fullScan) return false;
    if (!plan.nothing) c.rows = t.table->seek(*tag, plan.values);
    return true;
}

int xOpen(sqlite3_vtab* p, sqlite3_vtab_cursor** out) {
    if (int rc = usable(vtabOf(p))) return rc;
    *out = new DbfCursor;
    return SQLITE_OK;
}

int xClose(sqlite3_vtab_cursor* c) {
    delete static_cast<DbfCursor*>(c);
    return SQLITE_OK;
}

int xFilter(sqlite3_vtab_cursor* cur, int idxNum, const char* idxStr, int argc, sqlite3_value** argv) {
    auto* c = static_cast<DbfCursor*>(cur);
    auto* t = vtabOf(cur);
    if (int rc = stillOpen(t)) return rc;
    try {
        c->rows.clear();
        c->pos = 0;
        if (!planned(*t, *c, idxNum, idxStr, argc, argv)) {
            c->rows.clear();
            fullScan(*t, *c);
        }
        skipDeleted(*t, *c);
        return SQLITE_OK;
    } catch (const std::exception& e) {
        return fail(t, e);
    }
}

int xNext(sqlite3_vtab_cursor* cur) {
    auto* c = static_cast<DbfCursor*>(cur);
    ++c->pos;
    skipDeleted(*vtabOf(cur), *c);
    return SQLITE_OK;
}

int xEof(sqlite3_vtab_cursor* cur) {
    auto* c = static_cast<DbfCursor*>(cur);
    return c->pos >= c->rows.size();
}

int xColumn(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int col) {
    // An UPDATE asks for columns it does not change; leaving them unread
    // lets xUpdate skip them.
    if (sqlite3_vtab_nochange(ctx)) return SQLITE_OK;
    auto* c = static_cast<DbfCursor*>(cur);
    auto* t = vtabOf(cur);
    try {
        // The layout is the one declared (usable() saw to that when the
        // statement started), so the field is where the offsets say.
        const char* record = t->table->recordBytes(c->rows[c->pos]);
        sqlvalue::setResult(ctx, readStoredField(record, t->fields[col], t->offsets[col]), t->fields[col],
                            t->table->codePage());
        return SQLITE_OK;
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
        return SQLITE_ERROR;
    }
}

int xRowid(sqlite3_vtab_cursor* cur, sqlite3_int64* rowid) {
    auto* c = static_cast<DbfCursor*>(cur);
    *rowid = c->rows[c->pos];
    return SQLITE_OK;
}

// --- transactions ----------------------------------------------------------

// One statement's writes are one batch of each table it writes: a
// statement that fails midway is rolled back and leaves memory and files as
// they were. Inside an open write unit the batches are savepoints of the
// unit; outside one the statement is a unit of its own, so a kill while it
// writes leaves every table wholly before or wholly after it.
int beginBatch(DbfVtab* t) {
    // SQLite's own transactions would need savepoints per statement that
    // the tables do not offer; write units take their place.
    if (!sqlite3_get_autocommit(t->db))
        return fail(t, "Tranzakción belül a táblák SQL-ből nem írhatók; több utasítás írási egységben "
                       "(WriteUnit) írhat együtt.", DbError::Code::State);
    Catalog& c = *t->catalog;
    try {
        if (!c.statementUnit && c.db->unitLevel() == 0) c.statementUnit = std::make_unique<WriteUnit>(*c.db);
        t->table->beginBatch();
        t->inBatch = true;
        ++c.openBatches;
        return SQLITE_OK;
    } catch (const std::exception& e) {
        if (c.openBatches == 0) c.statementUnit.reset();
        return fail(t, e);
    }
}

// After the last table of the statement ended its batch: its own unit
// reaches the files (or, on rollback, is undone).
void endStatementUnit(Catalog& c, bool commit) {
    if (--c.openBatches > 0 || !c.statementUnit) return;
    std::unique_ptr<WriteUnit> unit = std::move(c.statementUnit);
    if (commit) unit->commit();
}

int xBegin(sqlite3_vtab* p) {
    auto* t = vtabOf(p);
    if (int rc = usable(t)) return rc;
    return beginBatch(t);
}

// The flush happens here rather than in xCommit so that a failed write
// reaches the statement as an error.
int xSync(sqlite3_vtab* p) {
    auto* t = vtabOf(p);
    if (!t->inBatch) return SQLITE_OK;
    t->inBatch = false;
    Catalog& c = *t->catalog;
    bool counted = false;
    try {
        t->table->endBatch(true);
        counted = true;
        endStatementUnit(c, true);
        return SQLITE_OK;
    } catch (const std::exception& e) {
        // The statement's unit rolls back every table it wrote; their
        // xRollback then finds nothing left to undo.
        if (!counted) --c.openBatches;
        c.statementUnit.reset();
        return fail(t, e);
    }
}

int xCommit(sqlite3_vtab* p) { return xSync(p); }

int xRollback(sqlite3_vtab* p) {
    auto* t = vtabOf(p);
    if (!t->inBatch) return SQLITE_OK;
    t->inBatch = false;
    try {
        t->table->endBatch(false);
        endStatementUnit(*t->catalog, false);
    } catch (const std::exception&) {
        // SQLite ignores a failed rollback; the next statement finds the table as it is.
    }
    return SQLITE_OK;
}

// --- writing ---------------------------------------------------------------

std::optional<uint32_t> recnoOf(const DbfVtab& t, sqlite3_value* v) {
    if (sqlite3_value_type(v) != SQLITE_INTEGER) return std::nullopt;
    const sqlite3_int64 r = sqlite3_value_int64(v);
    if (r < 0 || r >= t.table->physicalCount()) return std::nullopt;
    return static_cast<uint32_t>(r);
}

int xUpdate(sqlite3_vtab* p, int argc, sqlite3_value** argv, sqlite3_int64* rowid) {
    auto* t = vtabOf(p);
    if (int rc = stillOpen(t)) return rc;
    // A table attached inside a transaction joins it without xBegin.
    if (!t->inBatch)
        if (int rc = beginBatch(t)) return rc;
    try {
        Table& table = *t->table;
        if (argc == 1) {
            if (auto r = recnoOf(*t, argv[0])) table.deleteAt(*r);
            return SQLITE_OK;
        }
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
            if (sqlite3_value_type(argv[1]) != SQLITE_NULL)
                return fail(t, "Új rekord sorszáma (rowid) nem adható meg.");
            std::vector<Value> values;
            for (size_t i = 0; i < t->fields.size(); ++i) values.push_back(sqlvalue::toField(argv[2 + i], t->fields[i]));
            *rowid = table.appendValues(values);
            return SQLITE_OK;
        }
        const auto r = recnoOf(*t, argv[0]);
        if (!r) return fail(t, "A(z) " + t->what + " táblában nincs ilyen rekord.", DbError::Code::NotFound);
        if (sqlite3_value_type(argv[1]) != SQLITE_INTEGER || sqlite3_value_int64(argv[1]) != *r)
            return fail(t, "A rekord sorszáma (rowid) nem módosítható.");
        std::vector<std::pair<int, Value>> changes;
        for (size_t i = 0; i < t->fields.size(); ++i)
            if (!sqlite3_value_nochange(argv[2 + i]))
                changes.emplace_back(static_cast<int>(i), sqlvalue::toField(argv[2 + i], t->fields[i]));
        if (!changes.empty()) table.updateValues(*r, changes);
        return SQLITE_OK;
    } catch (const std::exception& e) {
        return fail(t, e);
    }
}

sqlite3_module makeModule() {
    sqlite3_module m{};
    m.iVersion = 1;
    m.xCreate = xConnect;
    m.xConnect = xConnect;
    m.xBestIndex = xBestIndex;
    m.xDisconnect = xDisconnect;
    m.xDestroy = xDisconnect;
    m.xOpen = xOpen;
    m.xClose = xClose;
    m.xFilter = xFilter;
    m.xNext = xNext;
    m.xEof = xEof;
    m.xColumn = xColumn;
    m.xRowid = xRowid;
    m.xUpdate = xUpdate;
    m.xBegin = xBegin;
    m.xSync = xSync;
    m.xCommit = xCommit;
    m.xRollback = xRollback;
    return m;
}

const sqlite3_module kModule = makeModule();

} // namespace

void registerModule(sqlite3* db, Catalog& catalog) {
    if (sqlite3_create_module_v2(db, "dbf", &kModule, &catalog, nullptr) != SQLITE_OK)
        throw DbError("Az SQL-modul nem regisztrálható: " + std::string(sqlite3_errmsg(db)));
}

std::string createStatement(const std::string& sqlName, bool byPath, const std::string& key) {
    return "CREATE VIRTUAL TABLE " + quoteIdent(sqlName) + " USING dbf(" + (byPath ? "file" : "table") + ", " +
           quoteLiteral(key) + ")";
}

} // namespace velmora::db::sqlvtab
