// The master-data lists on a small data directory: rows in order, the BNO
// chapter's range compared as text, headings, and the windows' tables left
// where they were.
#include "reports/MasterLists.h"

#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/TableFixture.h"
#include "TableText.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
namespace schema = store::schema;

namespace {

// The first text of every detail row.
std::vector<std::string> firstColumn(const reports::Report& r) {
    std::vector<std::string> out;
    for (const auto& g : r.groups)
        for (const auto& row : g.rows) out.push_back(row.texts.at(0).text);
    return out;
}

bool headerHas(const reports::Report& r, const std::string& text) {
    for (const auto& t : r.pageHeader.texts)
        if (t.text == text) return true;
    return false;
}

struct Lists : ::testing::Test {
    TempDir dir;
    void SetUp() override {
        const db::FieldList bno{{"KOD10", 'C', 5, 0}, {"NEV", 'C', 100, 0}};
        writeTable(dir.str(), "Bnotorzs.dbf", bno,
                   {{"C5000", "Emlő rosszindulatú daganata"}, {"A0100", "Hastífusz"}, {"B9990", "Fertőző betegség"},
                    {"C0000", "Ajak daganata"}, {"C00", "Az ajak daganata"}, {"D4899", "Bizonytalan daganat"}, {"D5000", "Vashiányos anaemia"}});
        writeTable(dir.str(), "Beteg.dbf", schema::BETEG().fields,
                   {{"222222222", "Őz Ödön", "1", "1", "0100001", "Fő utca 1.", "", "", "1940.05.06"},
                    {"111111111", "Árva Éva", "2", "1", "0200002", "Kossuth tér 2.", "II. em.", "", "1938.01.02"}});
        writeTable(dir.str(), "Orvos.dbf", schema::ORVOS().fields, {});
    }
    // The tables open as the program holds them.
    db::Database& open() {
        for (const auto* def : {&schema::BETEG(), &schema::ORVOS(), &schema::BNOTORZS()})
            store::tableOf(db, *def).open();
        return db;
    }
    db::Database db{dir.str()};
};

} // namespace

TEST_F(Lists, RowsInKeyOrderWithTheirColumns) {
    open();
    const reports::Report patients = reports::masterListReport(db, reports::MasterList::Patients, {}, "2024.06.10 10:00");
    EXPECT_EQ(patients.title, "Betegek listája");
    EXPECT_EQ(firstColumn(patients), (std::vector<std::string>{"111111111", "222222222"}));
    const auto& eva = patients.groups[0].rows[0].texts;
    ASSERT_EQ(eva.size(), 6u);
    EXPECT_EQ(eva[1].text, "Árva Éva");
    EXPECT_EQ(eva[2].text, "1938.01.02");
    EXPECT_EQ(eva[5].text, "II. em.");
    EXPECT_TRUE(headerHas(patients, "Lakcím"));
    EXPECT_TRUE(headerHas(patients, "Verzió: 4.11"));

    const reports::Report doctors = reports::masterListReport(db, reports::MasterList::Doctors, {}, "");
    EXPECT_TRUE(doctors.noRows());  // no doctor table rows: the window says so instead of an empty page
}

TEST_F(Lists, AChapterListsItsCodesComparedAsText) {
    const struct {
        const char* item;
        std::vector<std::string> codes;
    } cases[] = {
        {"Fertőző és parazitás betegségek (A00-B99)", {"A0100", "B9990"}},
        {"Daganatok (C00-D48)", {"C00", "C0000", "C5000", "D4899"}},
        {"Az egészségi állapotot befolyásoló tényezők (Z00-Z99) ", {}},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        const auto chapter = reports::bnoChapter(c.item);
        ASSERT_TRUE(chapter);
        const reports::Report r = reports::masterListReport(db, reports::MasterList::Bno, chapter, "");
        EXPECT_EQ(firstColumn(r), c.codes);
        EXPECT_TRUE(headerHas(r, c.item));
    }
    EXPECT_EQ(reports::bnoChapter("Daganatok (C00-D48)")->high, "D4899");
    EXPECT_EQ(reports::bnoChapter("A morbiditás és mortalitás külső okai (V01-Y98)")->low, "V0100");
    EXPECT_FALSE(reports::bnoChapter("Daganatok"));
    EXPECT_EQ(reports::bnoChapterItems().size(), 21u);
    for (const std::string& item : reports::bnoChapterItems()) EXPECT_TRUE(reports::bnoChapter(item)) << item;
}

TEST_F(Lists, ThePatientTableKeepsItsRow) {
    db::Table& beteg = store::tableOf(open(), schema::BETEG());
    beteg.first();
    beteg.next();
    const int before = beteg.recNo();
    const std::string name = beteg.text("Nev");
    reports::masterListReport(db, reports::MasterList::Patients, {}, "");
    EXPECT_EQ(beteg.recNo(), before);
    EXPECT_EQ(beteg.text("Nev"), name);
}

// The table of a list: the same rows as its picture, from one reading;
// codes kept as text with their leading zeros, the birth date a date.
TEST_F(Lists, TheTableHasThePicturesRowsAsValues) {
    open();
    const reports::MasterListRows patients = reports::masterListRows(db, reports::MasterList::Patients, {});
    const reports::DataTable t = reports::masterListTable(patients);
    EXPECT_EQ(t.title, "Betegek listája");
    EXPECT_EQ(headings(t), (std::vector<std::string>{"TAJ szám", "Név", "Születési idő", "Közigazgatási kód", "Város",
                                                     "Utca, házszám"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(rowText(t.rows[0]), (std::vector<std::string>{"s:111111111", "s:Árva Éva", "d:1938.01.02", "s:0200002",
                                                            "s:Kossuth tér 2.", "s:II. em."}));
    EXPECT_EQ(cellText(t.rows[1][5]), "e");
    EXPECT_EQ(reports::masterListReport(patients, "").groups[0].rows.size(), t.rows.size());

    const reports::DataTable chapter = reports::masterListTable(
        reports::masterListRows(db, reports::MasterList::Bno, reports::bnoChapter("Daganatok (C00-D48)")));
    EXPECT_EQ(chapter.title, "BNO kódok listája – Daganatok");
    EXPECT_EQ(headings(chapter), (std::vector<std::string>{"BNO kód", "Megnevezés"}));
    EXPECT_EQ(rowText(chapter.rows.back()), (std::vector<std::string>{"s:D4899", "s:Bizonytalan daganat"}));
    EXPECT_EQ(chapter.rows.size(), 4u);
}
