// SQL over the tables: which rows the program's statements select, and
// that SQL writes reach the file and the indexes, or nothing does.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "support/TempDir.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace velmora::db {
namespace {

using velmora::test::fileBytes;

using test::TempDir;
using Rows = std::vector<std::vector<std::string>>;

Rows texts(const SqlResult& r) {
    Rows out;
    for (const auto& row : r.rows) {
        std::vector<std::string> line;
        for (const Value& v : row) line.push_back(v.isNull() ? "<null>" : v.asString());
        out.push_back(line);
    }
    return out;
}

FieldList hlapaFields() {
    return {FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1),
            FieldDef::character("Taj", 9),     FieldDef::character("Jeloles", 1), FieldDef::date("Lezdat"),
            FieldDef::numeric("Elszam", 3)};
}

// Sheet parts: two full invoices (blank part letter), partial invoices 'A'
// and 'B', and the same sheet number again in the next period.
const std::vector<std::vector<Value>> kSheets = {
    {"2024.01", "00001", Value(), "111111111", "*", "2024.01.31", 3},
    {"2024.01", "00001", "A", "111111111", Value(), "2024.02.01", 4},
    {"2024.01", "00002", Value(), "222222222", "*", Value(), 0},
    {"2024.02", "00001", Value(), "111111111", Value(), Value(), Value()},
    {"2024.02", "00003", "B", "333333333", Value(), "2023.12.31", 12},
};

class SqlTest : public ::testing::Test {
protected:
    Table& makeTable(const std::string& name, const std::string& file, const FieldList& fields,
                     const std::vector<std::vector<Value>>& rows,
                     const std::vector<std::pair<std::string, std::string>>& tags = {}) {
        Table& t = db.table(name, file);
        t.create(fields);
        t.open();
        for (const auto& [tag, expr] : tags) t.addIndex(tag, expr);
        for (const auto& r : rows) t.appendValues(r);
        return t;
    }

    Table& hlapa() {
        return makeTable("HLAPA", "HLapa.dbf", hlapaFields(), kSheets,
                         {{"Lap1", "Sorsz+Resz"}, {"Lap2", "Taj+Idoszak"}, {"Lap3", "Idoszak+Sorsz+Resz"}});
    }

    Table& hlapb() {
        return makeTable("HLAPB", "HLapb.dbf",
                         {FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5),
                          FieldDef::character("Resz", 1), FieldDef::character("TEV1", 8)},
                         {{"2024.01", "00001", Value(), "B-1"},
                          {"2024.01", "00001", "A", "B-1A"},
                          {"2024.01", "00002", Value(), "B-2"},
                          {"2024.02", "00001", Value(), "B-1F"},
                          {"2024.02", "00003", "B", "B-3B"},
                          {"2024.02", "00003", Value(), "B-3"}},  // no HLAPA row has it
                         {{"Lapb1", "Sorsz+Resz"}, {"Lapb2", "Idoszak+Sorsz+Resz"}});
    }

    Rows query(const std::string& statement) { return texts(sql.run(statement)); }

    std::string plan(const std::string& statement) {
        std::string out;
        for (const auto& row : sql.run("explain query plan " + statement).rows) out += row.back().asString() + "\n";
        return out;
    }

    TempDir dir;
    Database db{dir.str()};
    Sql sql{db};
};

TEST_F(SqlTest, ConcatenatedJoinKeyMatchesBlankPartsWithBlankPartsOnly) {
    hlapa();
    hlapb();
    const std::string key = sql::joinKey("a", "b", {"sorsz", "resz", "idoszak"}, {"resz"});
    EXPECT_EQ(key, "a.sorsz=b.sorsz and a.resz is b.resz and a.idoszak=b.idoszak");
    const Rows joined = query("select a.idoszak, a.sorsz, a.resz, b.tev1 from hlapa a, hlapb b where " + key +
                              " order by b.tev1");
    EXPECT_EQ(joined, (Rows{{"2024.01", "00001", "<null>", "B-1"},
                            {"2024.01", "00001", "A", "B-1A"},
                            {"2024.02", "00001", "<null>", "B-1F"},
                            {"2024.01", "00002", "<null>", "B-2"},
                            {"2024.02", "00003", "B", "B-3B"}}));
    // Why IS: with "=" every full invoice (blank part) would drop out.
    EXPECT_EQ(query("select count(*) from hlapa a, hlapb b where a.sorsz=b.sorsz and a.resz=b.resz and "
                    "a.idoszak=b.idoszak"),
              (Rows{{"2"}}));
    EXPECT_NE(plan("select * from hlapa a, hlapb b where " + key).find(":Lap"), std::string::npos);
}

TEST_F(SqlTest, BlankFieldsReadAsNull) {
    hlapa();
    EXPECT_EQ(query("select rowid from hlapa where resz is null order by rowid"), (Rows{{"0"}, {"2"}, {"3"}}));
    EXPECT_EQ(query("select rowid from hlapa where jeloles is not null order by rowid"), (Rows{{"0"}, {"2"}}));
    EXPECT_EQ(query("select count(*) from hlapa where resz = ''"), (Rows{{"0"}}));
    EXPECT_EQ(query("select lezdat, elszam from hlapa where rowid = 3"), (Rows{{"<null>", "<null>"}}));
    // Character values come right-trimmed, so equality needs no padding.
    EXPECT_EQ(query("select count(*) from hlapa where idoszak || sorsz = '2024.0100002'"), (Rows{{"1"}}));
}

TEST_F(SqlTest, DatesCompareAcrossMonthEndAsText) {
    hlapa();
    EXPECT_EQ(query("select lezdat from hlapa where lezdat < " + sql::dateLiteral("01.02.2024") + " order by lezdat"),
              (Rows{{"2023.12.31"}, {"2024.01.31"}}));
    EXPECT_EQ(query("select lezdat from hlapa where lezdat >= " + sql::dateLiteral("'31.01.2024'") +
                    " and lezdat <= " + sql::dateLiteral("1.2.2024") + " order by lezdat desc"),
              (Rows{{"2024.02.01"}, {"2024.01.31"}}));
}

TEST(SqlDialect, DateLiteralForms) {
    const std::vector<std::pair<std::string, std::string>> good = {
        {"01.06.2024", "'2024.06.01'"}, {"'31.12.2023'", "'2023.12.31'"}, {"1.6.2024", "'2024.06.01'"},
        {"29.02.2024", "'2024.02.29'"}};
    for (const auto& [in, out] : good) EXPECT_EQ(sql::dateLiteral(in), out) << in;
    for (const std::string bad : {"29.02.2023", "31.04.2024", "2024.06.01", "01.13.2024", "1.6.24", "", "a.b.cccc"})
        EXPECT_THROW(sql::dateLiteral(bad), DbError) << bad;
    EXPECT_EQ(sql::quote("O'Brien"), "'O''Brien'");
}

TEST_F(SqlTest, GroupByHavingFindsRepeatedPatients) {
    hlapa();
    EXPECT_EQ(query("select taj, count(taj), max(lezdat), sum(elszam) from hlapa group by taj "
                    "having count(taj)>1 order by taj"),
              (Rows{{"111111111", "3", "2024.02.01", "7"}}));
    EXPECT_EQ(query("select distinct idoszak from hlapa order by idoszak desc"), (Rows{{"2024.02"}, {"2024.01"}}));
}

TEST_F(SqlTest, SelfJoinRunsTwoIndependentCursors) {
    hlapa();
    // Every pair of parts of one patient, once: needs two cursors over one table.
    EXPECT_EQ(query("select a.rowid, b.rowid from hlapa a, hlapa b where a.taj = b.taj and a.rowid < b.rowid "
                    "order by 1, 2"),
              (Rows{{"0", "1"}, {"0", "3"}, {"1", "3"}}));
}

TEST_F(SqlTest, PostedRowsAreSeenAndSqlWritesReachTheCursor) {
    Table& t = hlapa();
    t.append();
    t.setField("Sorsz", Value("00009"));
    t.setField("Taj", Value("999999999"));
    t.post();
    EXPECT_EQ(query("select taj from hlapa where sorsz = '00009'"), (Rows{{"999999999"}}));
    ASSERT_TRUE(t.locate("Sorsz", Value("00009")));
    EXPECT_EQ(sql.run("update hlapa set taj = '888888888' where sorsz = '00009'").changes, 1);
    EXPECT_EQ(t.text("Taj"), "888888888");
}

TEST_F(SqlTest, UpdateWritesThroughToFileAndIndexOrder) {
    Table& t = hlapa();
    EXPECT_EQ(sql.run("update hlapa set jeloles=null where jeloles='*' ").changes, 2);
    EXPECT_EQ(sql.run("update hlapa set sorsz='00000', elszam = elszam + 1 where sorsz='00003'").changes, 1);
    EXPECT_EQ(query("select rowid from hlapa where sorsz='00000'"), (Rows{{"4"}}));  // the index moved the key
    EXPECT_EQ(query("select rowid from hlapa where sorsz='00003'"), (Rows{}));
    t.close();

    // What another run of the program finds on disk.
    Database again(dir.str());
    Table& reread = again.table("HLAPA", "HLapa.dbf");
    reread.open();
    for (uint32_t r = 0; r < reread.physicalCount(); ++r) EXPECT_TRUE(reread.valueAt(r, 4).isNull()) << r;
    EXPECT_EQ(reread.valueAt(4, 1), Value("00000"));
    EXPECT_EQ(reread.valueAt(4, 6), Value(13));
    reread.setActiveIndex("Lap1");
    std::vector<std::string> order;
    for (reread.first(); !reread.eof(); reread.next()) order.push_back(reread.text("Sorsz") + reread.text("Resz"));
    EXPECT_EQ(order, (std::vector<std::string>{"00000B", "00001", "00001", "00001A", "00002"}));
}

TEST_F(SqlTest, FailedStatementChangesNothing) {
    Table& t = hlapa();
    t.addIndex("Egyedi", "Idoszak+Sorsz+Resz", true);
    struct Case {
        std::string statement;
        DbError::Code code;
    };
    // Each fails after earlier rows of the same statement were written.
    const std::vector<Case> cases = {
        {"update hlapa set idoszak='2024.01', jeloles='X' where sorsz='00001'", DbError::Code::KeyViolation},
        {"update hlapa set taj = case when sorsz='00002' then '1234567890' else '999999999' end",
         DbError::Code::BadValue},
        {"update hlapa set taj = case when rowid=3 then '€' else 'x' end", DbError::Code::BadValue},
        {"insert into hlapa (idoszak, sorsz, resz) select '2024.03', sorsz, resz from hlapa",
         DbError::Code::KeyViolation},
    };
    const std::string before = fileBytes(t.path());
    const Rows rowsBefore = query("select rowid, * from hlapa");
    const Rows seekBefore = query("select rowid from hlapa where sorsz='00001' and resz is null");
    for (const Case& c : cases) {
        try {
            sql.run(c.statement);
            ADD_FAILURE() << "no error: " << c.statement;
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), c.code) << c.statement << ": " << e.what();
        }
        EXPECT_EQ(fileBytes(t.path()), before) << c.statement;
        EXPECT_EQ(query("select rowid, * from hlapa"), rowsBefore) << c.statement;
        EXPECT_EQ(query("select rowid from hlapa where sorsz='00001' and resz is null"), seekBefore) << c.statement;
    }
}

TEST_F(SqlTest, IndexSeeksSelectTheSameRowsAsAScan) {
    // Keys that differ only in case or accent, or as text and number, are
    // where an index (Hungarian collation) and SQL (byte equality) part.
    const std::vector<std::vector<Value>> rows = {
        {"2024.01", "abc", Value(), "1", Value(), "2024.01.31", 1},
        {"2024.01", "ABC", "a", "1", Value(), "2024.01.31", 2},
        {"2024.01", "ábc", "A", "2", Value(), Value(), 3},
        {"2024.02", "abc", "a", "2", Value(), "2024.02.01", 4},
        {"2024.02", "1", Value(), "3", Value(), Value(), 5},
        {"2024.02", "01", Value(), "3", Value(), Value(), 6},
        {"2024.02", "abc", Value(), "4", Value(), Value(), 7},
    };
    makeTable("IDX", "Idx.dbf", hlapaFields(), rows,
              {{"Lap1", "Sorsz+Resz"}, {"Lap3", "Idoszak+Sorsz+Resz"}, {"Lap4", "Lezdat"}});
    makeTable("PLAIN", "Plain.dbf", hlapaFields(), rows);
    sql.run("delete from idx where rowid = 6");
    sql.run("delete from plain where rowid = 6");

    const std::vector<std::string> queries = {
        "select rowid from {t} where sorsz='abc'",
        "select rowid from {t} where sorsz='ABC' and resz is null",
        "select rowid from {t} where sorsz='abc' and resz='a'",
        "select rowid from {t} where sorsz in ('abc', 'ábc')",
        "select rowid from {t} where sorsz=1",
        "select rowid from {t} where sorsz='abc '",
        "select rowid from {t} where sorsz=null",
        "select rowid from {t} where sorsz is 'abc' and resz is null",
        "select rowid from {t} where idoszak='2024.01' and sorsz='abc'",
        "select rowid from {t} where lezdat='2024.01.31'",
        "select rowid from {t} where lezdat='31.01.2024'",
        "select rowid from {t} where sorsz='abc' collate nocase",
        "select rowid from {t} where rowid=2",
        "select a.rowid, b.rowid from {t} a, {t} b where a.sorsz=b.sorsz and a.resz is b.resz",
        "select a.rowid, b.rowid from {t} a, {t} b where a.sorsz=b.elszam",
    };
    auto on = [](std::string q, const std::string& table) {
        for (size_t p; (p = q.find("{t}")) != std::string::npos;) q.replace(p, 3, table);
        return q;
    };
    for (const std::string& q : queries) {
        Rows seek = query(on(q, "idx")), scan = query(on(q, "plain"));
        std::sort(seek.begin(), seek.end());
        std::sort(scan.begin(), scan.end());
        EXPECT_EQ(seek, scan) << q;
    }
    // The seeks did run.
    EXPECT_NE(plan(on(queries[0], "idx")).find(":Lap1"), std::string::npos);
    EXPECT_NE(plan(on(queries[8], "idx")).find(":Lap3"), std::string::npos);
    EXPECT_EQ(plan(on(queries[11], "idx")).find(":Lap"), std::string::npos);
}

TEST_F(SqlTest, InsertAndDelete) {
    Table& t = hlapa();
    const SqlResult ins = sql.run("insert into hlapa (idoszak, sorsz, resz, taj) values (?, ?, ?, ?)",
                                  {Value("2024.03"), Value("00004"), Value(), Value("444444444")});
    EXPECT_EQ(ins.changes, 1);
    EXPECT_EQ(sql.run("insert into hlapa select * from hlapa where idoszak = '2024.02'").changes, 2);
    EXPECT_EQ(query("select rowid, taj from hlapa where sorsz='00004' and resz is null"),
              (Rows{{"5", "444444444"}}));
    EXPECT_EQ(t.physicalCount(), 8u);

    EXPECT_EQ(sql.run("delete from hlapa where sorsz = '00001'").changes, 4);
    EXPECT_TRUE(t.isDeletedAt(0));
    EXPECT_EQ(t.physicalCount(), 8u);  // marked deleted, as dBASE does, until a pack
    EXPECT_EQ(query("select rowid from hlapa order by rowid"), (Rows{{"2"}, {"4"}, {"5"}, {"7"}}));
    EXPECT_EQ(query("select count(*) from hlapa where sorsz = '00001'"), (Rows{{"0"}}));
    t.setActiveIndex("Lap1");
    EXPECT_EQ(t.recordCount(), 4);
}

TEST_F(SqlTest, NumbersAreWrittenAndReadExactly) {
    Table& z = makeTable("ZARAS", "Zaras.dbf",
                         {FieldDef::character("Idoszak", 7), FieldDef::date("Zaras"),
                          FieldDef::numeric("Lapoksz", 5), FieldDef::numeric("Alapdij", 10, 5),
                          FieldDef::numeric("Eloleg", 10, 1)},
                         {{"2024.01", "2024.02.05", 10, Value(Decimal(123450000, 5)), Value(Decimal(15, 1))}});
    struct Case {
        std::string column, literal, stored;  // stored "" = the write fails
    };
    const std::vector<Case> cases = {
        {"Eloleg", "2.25", "2.3"},          // REAL rounds to the field's decimals
        {"Eloleg", "'2.5'", "2.5"},         // text is exact
        {"Eloleg", "'2.55'", ""},           // ... so it may not lose digits
        {"Eloleg", "7", "7.0"},
        {"Lapoksz", "7.5", "8"},
        {"Lapoksz", "123456", ""},          // wider than N(5)
        {"Lapoksz", "'x'", ""},
        {"Alapdij", "1234.56789", "1234.56789"},
        {"Alapdij", "0.1 + 0.2", "0.30000"},
        {"Zaras", "'2024.02.30'", ""},
        {"Zaras", "null", "<null>"},
        {"Idoszak", "202401", "202401"},
    };
    for (const Case& c : cases) {
        const std::string statement = "update zaras set " + c.column + " = " + c.literal;
        const int f = z.fieldIndex(c.column);
        const Value old = z.valueAt(0, f);
        if (c.stored.empty()) {
            EXPECT_THROW(sql.run(statement), DbError) << statement;
            EXPECT_EQ(z.valueAt(0, f), old) << statement;
            continue;
        }
        sql.run(statement);
        const Value now = z.valueAt(0, f);
        EXPECT_EQ(now.isNull() ? "<null>" : now.asString(), c.stored) << statement;
    }
    // Results carry the field's decimals; computed values their exact form.
    EXPECT_EQ(query("select alapdij, eloleg, lapoksz, eloleg * 3, alapdij / 4 from zaras"),
              (Rows{{"0.30000", "7.0", "8", "21", "0.075"}}));
    const SqlResult r = sql.run("select alapdij from zaras");
    EXPECT_EQ(r.rows[0][0].number().scale(), 5);
}

// A REAL far beyond what a field with many decimals holds is refused as
// too wide, with its own value in the message (it once overflowed on the
// way to the field and was reported as some other number).
TEST_F(SqlTest, HugeRealIsRefusedAsTooWide) {
    Table& t = makeTable("ARFOLYAM", "Arfolyam.dbf", {FieldDef::numeric("Szorzo", 20, 15)}, {{Value(Decimal(15, 1))}});
    for (const char* literal : {"1e16", "-3.2e16", "12345.6789e12"}) {
        try {
            sql.run(std::string("update arfolyam set szorzo = ") + literal);
            ADD_FAILURE() << literal << " was written";
        } catch (const DbError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("nem fér el"), std::string::npos) << message;
            EXPECT_EQ(message.find("9223"), std::string::npos) << message;
        }
        EXPECT_EQ(t.valueAt(0, 0), Value(Decimal(15, 1)));
    }
}

TEST_F(SqlTest, TableNamedByQuotedPath) {
    std::filesystem::create_directory(dir.file("TEMP"));
    const std::string path = dir.file("TEMP/HOSA.DBF");
    Table& f = db.tableAtPath(path);
    f.create({FieldDef::character("Kabkod", 4), FieldDef::numeric("Sorszam", 5), FieldDef::character("Resz", 1)}, 3);
    f.open();
    f.appendValues({"1234", 17, "A"});
    f.appendValues({"1234", 18, Value()});
    f.close();

    // Opened by the SQL layer itself; the file name matches in any case.
    EXPECT_EQ(query("select kabkod, sorszam, resz from '" + path + "' order by sorszam"),
              (Rows{{"1234", "17", "A"}, {"1234", "18", "<null>"}}));
    Sql another(db);  // SQL names ignore case, so only a fresh connection looks the file up again
    EXPECT_EQ(texts(another.run("select count(*) from '" + dir.file("TEMP/hosa.dbf") + "'")), (Rows{{"2"}}));
}

// A path that names a table of the data directory, in any spelling, is that
// table's shared object: the program holds it open, and a second open would
// fail as if another program used it.
TEST_F(SqlTest, PathIntoTheDataDirectoryMeansTheSharedTable) {
    Table& t = hlapa();
    std::filesystem::create_directory(dir.file("sub"));
    for (const std::string& path : {dir.file("HLapa.dbf"), dir.file("HLAPA.DBF"), dir.file("hlapa.dbf"),
                                    dir.str() + "/./HLapa.dbf", dir.str() + "/sub/../hlapa.DBF"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(&db.tableAtPath(path), &t);
        Sql fresh(db);  // SQL names ignore case: each spelling attaches in its own connection
        EXPECT_EQ(texts(fresh.run("select count(*) from '" + path + "'")), (Rows{{"5"}}));
        fresh.run("update '" + path + "' set jeloles = 'X' where sorsz = '00002'");
        EXPECT_EQ(t.valueAt(2, t.fieldIndex("jeloles")), Value("X")) << "written through the shared object";
    }
    // Named first by its path, then by the program: still one object.
    TempDir other;
    Database db2(other.str());
    Table& byPath = db2.tableAtPath(other.file("ZARAS.DBF"));
    EXPECT_EQ(&db2.table("ZARAS", "Zaras.dbf"), &byPath);
}

TEST_F(SqlTest, HungarianTextRoundTrip) {
    const std::string name = "Árvíztűrő Tükörfúrógép";
    Table& t = makeTable("BETEG", "Beteg.dbf", {FieldDef::character("TAJ", 9), FieldDef::character("Nev", 25)},
                         {{"111111111", "Öreg Ödön"}}, {{"Beteg2", "Nev"}});
    sql.run("insert into beteg values ('222222222', " + sql::quote(name) + ")");
    EXPECT_EQ(query("select taj from beteg where nev = " + sql::quote(name)), (Rows{{"222222222"}}));
    EXPECT_EQ(query("select nev from beteg where nev like 'Ö%'"), (Rows{{"Öreg Ödön"}}));
    EXPECT_THROW(sql.run("update beteg set nev = 'Łódź €'"), DbError);
    t.close();
    t.open();
    EXPECT_EQ(t.valueAt(1, 1), Value(name));
    // Code page 852 on disk: 'Á' is 0xB5, 'ű' 0xFB.
    const std::string bytes = fileBytes(t.path());
    EXPECT_NE(bytes.find("\xB5rv\xA1zt\xFBr\x8B"), std::string::npos);
}

TEST_F(SqlTest, ErrorsNameTheTable) {
    Table& t = hlapa();
    t.close();
    auto message = [&](const std::string& statement) -> std::string {
        try {
            sql.run(statement);
        } catch (const DbError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(message("select * from hlapa"), "A(z) HLAPA tábla nincs megnyitva.");
    t.open();
    EXPECT_EQ(query("select count(*) from hlapa"), (Rows{{"5"}}));
    t.close();  // attached already
    EXPECT_EQ(message("select * from hlapa"), "A(z) HLAPA tábla nincs megnyitva.");
    EXPECT_EQ(message("update hlapa set taj = null"), "A(z) HLAPA tábla nincs megnyitva.");

    EXPECT_EQ(message("select * from nincsilyen"), "Nincs ilyen tábla: nincsilyen");
    EXPECT_NE(message("select * from '" + dir.file("TEMP/NINCS.DBF") + "'").find("NINCS.DBF"), std::string::npos);
    EXPECT_NE(message("selec 1").find("SQL hiba"), std::string::npos);
    EXPECT_NE(message("select 1; select 2").find("egy utasítás"), std::string::npos);
}

// A statement that fails inside a transaction could not be undone alone.
TEST_F(SqlTest, WritesInsideAnExplicitTransactionAreRefused) {
    Table& t = hlapa();
    hlapb();
    sql.run("select count(*) from hlapb");  // attached before the transaction, hlapa inside it
    const std::string before = fileBytes(t.path());
    sql.run("begin");
    EXPECT_THROW(sql.run("update hlapa set taj = null"), DbError);
    EXPECT_THROW(sql.run("delete from hlapb"), DbError);
    EXPECT_EQ(query("select count(*) from hlapb"), (Rows{{"6"}}));
    sql.run("commit");
    EXPECT_EQ(fileBytes(t.path()), before);
    EXPECT_EQ(sql.run("update hlapa set taj = null").changes, 5);
}

TEST_F(SqlTest, RecreatedTableIsAttachedAfresh) {
    Table& t = hlapa();
    EXPECT_EQ(query("select count(*) from hlapa"), (Rows{{"5"}}));
    t.close();
    FieldList wider = hlapaFields();
    wider.push_back(FieldDef::character("Modtipus", 1));
    t.create(wider);
    t.open();
    t.appendValues({"2024.06", "00010", Value(), "1", Value(), Value(), 1, "M"});
    EXPECT_EQ(query("select sorsz, modtipus from hlapa"), (Rows{{"00010", "M"}}));
}

// A statement run again on one connection is kept prepared, but not past a
// change of the tables' indexes or sizes: its plan could seek with a tag
// that now means something else.
TEST_F(SqlTest, StatementRunAgainFollowsChangedIndexesAndRows) {
    Table& t = hlapa();
    const std::string q = "select rowid from hlapa where taj=? order by rowid";
    const Rows patient = {{"0"}, {"1"}, {"3"}};
    EXPECT_EQ(texts(sql.run(q, {"111111111"})), patient);
    t.deleteIndexes();
    t.addIndex("Lap2", "Sorsz");  // the tag the plan sought with, now on another field
    EXPECT_EQ(texts(sql.run(q, {"111111111"})), patient);
    t.addIndex("Lap9", "Taj");
    t.appendValues({"2024.03", "00004", Value(), "111111111", Value(), Value(), 1});
    EXPECT_EQ(texts(sql.run(q, {"111111111"})), (Rows{{"0"}, {"1"}, {"3"}, {"5"}}));
    EXPECT_EQ(texts(sql.run(q, {"222222222"})), (Rows{{"2"}}));
}

// An UPDATE rewrites only the fields it sets: a value this engine would
// write differently (a foreign file's "1.5" in an N(5,0) field) stays as it is.
TEST_F(SqlTest, UpdateLeavesOtherFieldsByteForByte) {
    Table& t = makeTable("FUND", "Fund.dbf", {FieldDef::character("Kod", 4), FieldDef::numeric("Db", 5)},
                         {{"AAAA", 1}});
    t.close();
    std::string bytes = fileBytes(t.path());
    const size_t headerLength = static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
    const size_t db = headerLength + 1 + 4;
    ASSERT_EQ(bytes.substr(db, 5), "    1");
    bytes.replace(db, 5, "  1.5");
    std::ofstream(t.path(), std::ios::binary | std::ios::trunc) << bytes;
    t.open();

    EXPECT_EQ(sql.run("update fund set kod = 'BBBB'").changes, 1);
    t.close();
    const std::string after = fileBytes(t.path());
    EXPECT_EQ(after.substr(headerLength + 1, 9), "BBBB  1.5");
}

} // namespace
} // namespace velmora::db
