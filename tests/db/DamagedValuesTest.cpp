// A date, number or logical field holding bytes that are none of these is
// damaged: told from blank, shown and queried as its text, kept as it is
// when the record is written back.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora::db {
namespace {

using test::TempDir;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const FieldList kFields = {FieldDef::character("Kod", 3), FieldDef::numeric("Db", 5),
                           FieldDef::numeric("Osszeg", 6, 1), FieldDef::date("Kezd"), FieldDef::logical("Jo")};

// What another program may have left in a field, and how it reads.
struct Stored {
    const char* field;
    std::string bytes;   // the field's bytes on disk
    const char* reads;   // asString()
    bool damaged;        // else null when reads is "", a value otherwise
};

const Stored kStored[] = {
    {"Db", "    *", "*", true},              // dBASE's overflow mark
    {"Db", "*****", "*****", true},
    {"Db", " 12a ", "12a", true},
    {"Db", "  1 2", "1 2", true},
    {"Db", "     ", "", false},
    {"Db", "  1.5", "1.5", false},           // a number, if with more decimals than the field
    {"Osszeg", "  -.5 ", "-0.5", false},
    {"Osszeg", "1,5   ", "1,5", true},
    {"Kezd", "2024AB01", "2024AB01", true},
    {"Kezd", "20240231", "20240231", true},  // no such day
    {"Kezd", "2024013 ", "2024013", true},
    {"Kezd", "20240131", "2024.01.31", false},
    {"Kezd", "        ", "", false},
    {"Kezd", "00000000", "", false},         // some programs' blank date
    {"Jo", "X", "X", true},
    {"Jo", "?", "", false},                  // dBASE's not yet set
    {"Jo", "Y", "T", false},
};

// One row per stored case, Kod "001", "002", ...; every other field valid.
struct DamagedTable {
    TempDir dir;
    Database db{dir.str()};
    Table& t = db.table("HIBAS", "Hibas.dbf");

    DamagedTable() {
        t.create(kFields);
        t.open();
        for (size_t i = 0; i < std::size(kStored); ++i) {
            char kod[4];
            std::snprintf(kod, sizeof kod, "%03zu", i + 1);
            t.appendValues({kod, 7, Value(Decimal(25, 1)), "2024.06.10", Value::boolean(true)});
        }
        t.close();
        std::string file = bytesOf(t.path());
        const size_t header = static_cast<unsigned char>(file[8]) | static_cast<unsigned char>(file[9]) << 8;
        const size_t length = static_cast<unsigned char>(file[10]) | static_cast<unsigned char>(file[11]) << 8;
        for (size_t i = 0; i < std::size(kStored); ++i) {
            size_t at = header + i * length + 1;
            for (const FieldDef& f : kFields) {
                if (f.name == kStored[i].field) break;
                at += f.width;
            }
            file.replace(at, kStored[i].bytes.size(), kStored[i].bytes);
        }
        writeBytes(t.path(), file);
        t.open();
    }
};

TEST(DamagedValues, AreToldFromBlankAndKeepTheirText) {
    DamagedTable d;
    for (size_t i = 0; i < std::size(kStored); ++i) {
        const Stored& s = kStored[i];
        SCOPED_TRACE(std::string(s.field) + " '" + s.bytes + "'");
        const Value v = d.t.valueAt(static_cast<uint32_t>(i), d.t.fieldIndex(s.field));
        EXPECT_EQ(v.isDamaged(), s.damaged);
        EXPECT_EQ(v.isNull(), !s.damaged && *s.reads == '\0');
        EXPECT_EQ(v.asString(), s.reads);
        EXPECT_EQ(d.t.valueAtPosition(static_cast<int>(i), s.field).asString(), s.reads) << "what a grid shows";
        if (s.damaged) {
            EXPECT_EQ(v, Value::damaged(s.reads));
            EXPECT_NE(v, Value(s.reads)) << "not the text a user typed";
        }
    }
}

// Edit and post without touching the field: the bytes stay as they were,
// and so they do through an SQL update of another field.
TEST(DamagedValues, WritingTheRecordBackKeepsTheirBytes) {
    DamagedTable d;
    const std::string before = bytesOf(d.t.path());
    auto kodChanged = [&](const std::string& bytes) {
        std::string out = bytes;
        const size_t header = static_cast<unsigned char>(out[8]) | static_cast<unsigned char>(out[9]) << 8;
        const size_t length = static_cast<unsigned char>(out[10]) | static_cast<unsigned char>(out[11]) << 8;
        for (size_t i = 0; i < std::size(kStored); ++i) out.replace(header + i * length + 1, 3, "XYZ");
        return out;
    };
    for (d.t.first(); !d.t.eof(); d.t.next()) {
        d.t.edit();
        d.t.setField("Kod", "XYZ");
        d.t.post();
    }
    d.t.close();
    const std::string after = bytesOf(d.t.path());
    EXPECT_EQ(after.substr(32), kodChanged(before).substr(32)) << "only the Kod fields changed";

    writeBytes(d.t.path(), before);
    d.t.open();
    Sql sql(d.db);
    EXPECT_EQ(sql.run("update hibas set kod = 'XYZ'").changes, static_cast<int>(std::size(kStored)));
    d.t.close();
    EXPECT_EQ(bytesOf(d.t.path()).substr(32), kodChanged(before).substr(32));
}

// SQL sees a damaged value as its text: "is null" does not find it, typeof()
// does, and a table copied through a query keeps it.
TEST(DamagedValues, SqlSeesTheirText) {
    DamagedTable d;
    Sql sql(d.db);
    auto kods = [&](const std::string& where) {
        std::vector<std::string> out;
        for (const auto& row : sql.run("select kod from hibas where " + where + " order by kod").rows)
            out.push_back(row[0].asString());
        return out;
    };
    EXPECT_EQ(kods("db is null"), (std::vector<std::string>{"005"}));
    EXPECT_EQ(kods("typeof(db) = 'text'"), (std::vector<std::string>{"001", "002", "003", "004"}));
    EXPECT_EQ(kods("db = '*'"), (std::vector<std::string>{"001"}));
    EXPECT_EQ(kods("kezd is null"), (std::vector<std::string>{"013", "014"}));
    EXPECT_EQ(kods("kezd not glob '[0-9][0-9][0-9][0-9].[0-9][0-9].[0-9][0-9]'"),
              (std::vector<std::string>{"009", "010", "011"}));
    const SqlResult rows = sql.run("select * from hibas order by kod");
    EXPECT_TRUE(rows.rows[0][1].isDamaged());
    EXPECT_EQ(rows.rows[0][1].asString(), "*");
    EXPECT_FALSE(sql.run("select db || '' from hibas order by kod").rows[0][0].isDamaged()) << "computed: plain text";

    Table& copy = d.db.table("MASOLAT", "Masolat.dbf");
    copy.create(kFields);
    copy.open();
    // Row 006 holds a number with more decimals than its field, which this
    // engine does not write; every other row goes over, damaged values as
    // their text (aligned as the field aligns values).
    for (const auto& row : rows.rows)
        if (row[0] != Value("006")) copy.appendValues(row);
    uint32_t to = 0;
    for (uint32_t from = 0; from < d.t.physicalCount(); ++from) {
        if (from == 5) continue;
        for (int f = 0; f < static_cast<int>(kFields.size()); ++f)
            EXPECT_EQ(copy.valueAt(to, f), d.t.valueAt(from, f)) << "row " << from + 1 << ", " << kFields[f].name;
        ++to;
    }

    // What a user writes must still be a value of the field.
    EXPECT_THROW(sql.run("update hibas set db = '*' where kod = '005'"), DbError);
}

TEST(DamagedValues, FiltersAndIndexes) {
    DamagedTable d;
    auto kods = [&] {
        std::vector<std::string> out;
        for (d.t.first(); !d.t.eof(); d.t.next()) out.push_back(d.t.text("kod"));
        return out;
    };
    // Equal to no constant and without order, like a blank, but not null.
    d.t.setFilter("db is null or db = 0 or db > -100");
    EXPECT_EQ(kods(), (std::vector<std::string>{"005", "006", "007", "008", "009", "010", "011", "012", "013", "014",
                                                "015", "016", "017"}));
    d.t.setFilter("db <> 7");
    EXPECT_EQ(kods(), (std::vector<std::string>{"001", "002", "003", "004", "005", "006"}));
    d.t.setFilter("kezd <> '2024.06.10'");
    EXPECT_EQ(kods(), (std::vector<std::string>{"009", "010", "011", "012", "013", "014"}));
    d.t.setFilter("(kezd <> '2024.06.10' and kezd >= '2024.01.01') or kezd is null");
    EXPECT_EQ(kods(), (std::vector<std::string>{"012", "013", "014"}));
    d.t.clearFilter();

    // Numbers: blank first, then the damaged ones, then by value.
    d.t.addIndex("Db", "Db+Kod");
    d.t.setActiveIndex("Db");
    const std::vector<std::string> byDb = kods();
    EXPECT_EQ(std::vector<std::string>(byDb.begin(), byDb.begin() + 6),
              (std::vector<std::string>{"005", "001", "002", "003", "004", "006"}));
    // Dates: a damaged date sorts by its text among the dates.
    d.t.setFilter("kod < '015'");
    d.t.addIndex("Kezd", "dtos(Kezd)+Kod");
    d.t.setActiveIndex("Kezd");
    EXPECT_EQ(kods(), (std::vector<std::string>{"013", "014", "011", "012", "010", "001", "002", "003", "004", "005",
                                                "006", "007", "008", "009"}));
}

} // namespace
} // namespace velmora::db
