// Drives a table through what the program does with it: a layout and
// record bytes from the input (so damaged values and odd text come up), an
// index tag, a filter, locate and lookup on one to three fields, edits, a
// query with parameters, and a close and reopen through the index file.
// The engine must answer with a DbError or a result, never crash; a found
// row must be the one a walk over the rows finds, and the cursor must walk
// every row.
#include "db/Collation.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Sql.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace velmora::db;

namespace {

const std::string& directory() {
    static const std::string dir = [] {
        // In memory where there is such a place: index files are synced.
        char shm[] = "/dev/shm/velmora-fuzz-XXXXXX";
        char tmp[] = "/tmp/velmora-fuzz-XXXXXX";
        const char* made = mkdtemp(shm);
        return std::string(made ? made : mkdtemp(tmp));
    }();
    return dir;
}

FieldList layoutFrom(FuzzedDataProvider& in) {
    FieldList fields;
    const int count = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < count; ++i) {
        const std::string name = "F" + std::to_string(i);
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: fields.push_back(FieldDef::character(name, in.ConsumeIntegralInRange(1, 12))); break;
        case 1: fields.push_back(FieldDef::date(name)); break;
        case 2: {
            const int width = in.ConsumeIntegralInRange(1, 20);
            const int decimals = width > 2 ? in.ConsumeIntegralInRange(0, std::min(width - 2, 15)) : 0;
            fields.push_back(FieldDef::numeric(name, width, decimals));
            break;
        }
        default: fields.push_back(FieldDef::logical(name));
        }
    }
    return fields;
}

// Writes the records' bytes straight into the file, as another program might.
void writeRecords(const std::string& path, const FieldList& fields, FuzzedDataProvider& in) {
    int length = 1;
    for (const FieldDef& f : fields) length += f.width;
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    char head[12];
    file.read(head, sizeof head);
    const int headerLength = static_cast<unsigned char>(head[8]) | static_cast<unsigned char>(head[9]) << 8;
    const uint32_t count = in.ConsumeIntegralInRange<uint32_t>(0, 12);
    std::string records;
    for (uint32_t r = 0; r < count; ++r) {
        std::string rec = in.ConsumeBytesAsString(length);
        rec.resize(length, ' ');
        rec[0] = in.ConsumeBool() ? '*' : ' ';
        records += rec;
    }
    records += '\x1A';
    file.seekp(headerLength);
    file.write(records.data(), static_cast<std::streamsize>(records.size()));
    file.seekp(4);
    for (int i = 0; i < 4; ++i) file.put(static_cast<char>(count >> (8 * i)));
}

std::string expressionFrom(FuzzedDataProvider& in, const FieldList& fields) {
    if (in.ConsumeBool()) return in.ConsumeRandomLengthString(24);
    std::string expr;
    const int segments = in.ConsumeIntegralInRange(1, 3);
    for (int i = 0; i < segments; ++i) {
        const FieldDef& f = fields[in.ConsumeIntegralInRange<size_t>(0, fields.size() - 1)];
        if (!expr.empty()) expr += "+";
        if (f.type == 'D' && in.ConsumeBool()) expr += (in.ConsumeBool() ? "dtos(" : "dtoc(") + f.name + ")";
        else if (f.type == 'N' && in.ConsumeBool())
            expr += "str(" + f.name + "," + std::to_string(in.ConsumeIntegralInRange(1, 20)) + ")";
        else expr += f.name;
    }
    return expr;
}

Value valueFrom(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: return Value();
    case 1: return Value(in.ConsumeIntegral<int>());
    case 2: return Value(Decimal(in.ConsumeIntegral<int64_t>(), in.ConsumeIntegralInRange(0, 18)));
    case 3: return Value::boolean(in.ConsumeBool());
    default: return Value(in.ConsumeRandomLengthString(14));
    }
}

// Runs one step; the engine's refusals are answers, anything else a fault.
template <class F> void step(F&& f) {
    try {
        f();
    } catch (const DbError&) {
    }
}

void walkAndCheck(Table& t) {
    int rows = 0;
    for (t.first(); !t.eof(); t.next()) {
        for (int f = 0; f < static_cast<int>(t.fields().size()); ++f) (void)t.field(f).asString();
        if (++rows > t.recordCount()) __builtin_trap();
    }
    if (rows != t.recordCount()) __builtin_trap();
}

// The matching rule locate documents, applied row by row.
bool holds(const Value& have, const Value& want, const LocateOptions& o) {
    if (want.isNull() || (want.isText() && want.text().empty())) return have.isNull();
    if (have.isNull()) return false;
    if (have.isNumber() && want.isNumber()) return have == want;
    std::string h = have.asString(), w = want.asString();
    if (o.caseInsensitive) h = collation::foldCase(h), w = collation::foldCase(w);
    return o.partialKey ? h.compare(0, w.size(), w) == 0 : h == w;
}

// The first visible row holding the values, by walking the rows in order.
int firstByScan(const Table& t, const std::vector<int>& which, const std::vector<Value>& values,
                const LocateOptions& last) {
    const LocateOptions exact;
    for (int pos = 0; pos < t.recordCount(); ++pos) {
        const uint32_t recno = static_cast<uint32_t>(t.recnoAtPosition(pos));
        bool all = true;
        for (size_t i = 0; i < which.size() && all; ++i)
            all = holds(t.valueAt(recno, which[i]), values[i], i + 1 == which.size() ? last : exact);
        if (all) return static_cast<int>(recno);
    }
    return -1;
}

void search(Table& t, FuzzedDataProvider& in) {
    const FieldList& fields = t.fields();
    const int n = in.ConsumeIntegralInRange(1, 3);
    std::string names;
    std::vector<Value> values;
    std::vector<int> which;
    for (int i = 0; i < n; ++i) {
        const int f = in.ConsumeIntegralInRange<int>(0, static_cast<int>(fields.size()) - 1);
        names += (i ? ";" : "") + fields[f].name;
        which.push_back(f);
        values.push_back(valueFrom(in));
    }
    LocateOptions options;
    options.caseInsensitive = in.ConsumeBool();
    options.partialKey = in.ConsumeBool();
    const bool nothingTyped = n == 1 && values[0].isText() && values[0].text().empty();
    step([&] {
        const int expected = nothingTyped ? -1 : firstByScan(t, which, values, options);
        const int before = t.recNo();
        const bool found = t.locate(names, values, options);
        // Through a tag or not, the same row as the walk finds.
        if (found != (expected >= 0) || t.recNo() != (found ? expected : before)) __builtin_trap();
        const Value got = t.lookup(names, values, fields[which[0]].name);
        if (!options.caseInsensitive && !options.partialKey &&
            got != (expected >= 0 ? t.valueAt(static_cast<uint32_t>(expected), which[0]) : Value()))
            __builtin_trap();
    });
}

void edit(Table& t, FuzzedDataProvider& in) {
    step([&] {
        if (in.ConsumeBool()) t.append();
        else t.edit();
        const int changes = in.ConsumeIntegralInRange(0, 3);
        for (int i = 0; i < changes; ++i)
            step([&] { t.setField(in.ConsumeIntegralInRange<int>(0, static_cast<int>(t.fields().size()) - 1), valueFrom(in)); });
        if (in.ConsumeBool()) t.post();
        else t.cancel();
    });
    if (t.state() != TableState::Browse) t.cancel();
    if (in.ConsumeBool()) step([&] { if (!t.isEmpty()) t.deleteCurrent(); });
}

void query(Database& db, Table& t, FuzzedDataProvider& in) {
    const FieldList& fields = t.fields();
    const std::string& a = fields[in.ConsumeIntegralInRange<size_t>(0, fields.size() - 1)].name;
    const std::string& b = fields[in.ConsumeIntegralInRange<size_t>(0, fields.size() - 1)].name;
    const char* statements[] = {
        "select * from fuzz where %a = ? order by %b",
        "select count(*), min(%a), max(%b) from fuzz where %b is ? or %a > ?",
        "select a.%a from fuzz a, fuzz b where a.%a = b.%b and a.%b is ?",
        "update fuzz set %a = ? where %b = ?",
        "insert into fuzz (%a, %b) values (?, ?)",
        "delete from fuzz where %a = ?",
    };
    std::string sql = statements[in.ConsumeIntegralInRange<size_t>(0, std::size(statements) - 1)];
    for (size_t at; (at = sql.find("%a")) != std::string::npos;) sql.replace(at, 2, a);
    for (size_t at; (at = sql.find("%b")) != std::string::npos;) sql.replace(at, 2, b);
    std::vector<Value> params;
    for (char c : sql)
        if (c == '?') params.push_back(valueFrom(in));
    step([&] { (void)Sql(db).run(sql, params); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::error_code ec;
    std::filesystem::remove(directory() + "/Fuzz.mdx", ec);
    Database db(directory());
    Table& t = db.table("FUZZ", "Fuzz.dbf");
    const FieldList fields = layoutFrom(in);
    t.create(fields);
    writeRecords(t.path(), fields, in);
    t.open();
    step([&] { t.addIndex("T1", expressionFrom(in, fields), in.ConsumeBool()); });
    step([&] { t.addIndex("T2", expressionFrom(in, fields)); });
    step([&] { t.setActiveIndex(in.ConsumeBool() ? "T1" : in.ConsumeBool() ? "T2" : ""); });
    step([&] { t.setFilter(in.ConsumeRandomLengthString(40), in.ConsumeBool()); });
    walkAndCheck(t);
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: search(t, in); break;
        case 1: edit(t, in); break;
        case 2: query(db, t, in); break;
        case 3: step([&] { t.moveTo(in.ConsumeIntegral<int>()); t.prior(); t.next(); }); break;
        default:
            t.close();
            t.open();
            walkAndCheck(t);
        }
    }
    walkAndCheck(t);
    db.closeAll();
    return 0;
}
