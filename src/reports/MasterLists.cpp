#include "reports/MasterLists.h"

#include "db/Sql.h"
#include "reports/PageFrame.h"

namespace velmora::reports {

namespace {

// A column of the list's table: its heading, width in characters, and
// whether it holds a date.
struct TableColumn {
    const char* heading;
    double width;
    bool date = false;
};

struct ListDef {
    const char* status;
    const char* title;
    const char* query;
    std::vector<Column> columns;
    std::vector<TableColumn> table;
};

const ListDef& defOf(MasterList list) {
    static const ListDef doctors{"Orvos lista nyomtatása", "Orvosok listája",
                                 "select orvoskod, onev from orvos order by orvoskod",
                                 {{0, 40, "Orvos pecsétszám", Align::Center}, {45, 145, "Orvos neve"}},
                                 {{"Orvos pecsétszám", 16}, {"Orvos neve", 40}}};
    static const ListDef nurses{"Szakápolói lista nyomtatása", "Ápolók listája",
                                "select aptaj, anev from apol order by aptaj",
                                {{0, 40, "Ápoló TAJ száma"}, {45, 145, "neve"}},
                                {{"Ápoló TAJ száma", 16}, {"Ápoló neve", 40}}};
    static const ListDef patients{"Beteg lista nyomtatása", "Betegek listája",
                                  "select taj, nev, szuli, kozigkod, cime1, cime2 from beteg order by taj",
                                  {{0, 20, "TAJ szám"},
                                   {21, 50, "Név"},
                                   {72, 22, "Születési idő"},
                                   {95, 14, "Lakcím"},
                                   {110, 40, ""},
                                   {151, 39, ""}},
                                  {{"TAJ szám", 11},
                                   {"Név", 30},
                                   {"Születési idő", 13, true},
                                   {"Közigazgatási kód", 10},
                                   {"Város", 25},
                                   {"Utca, házszám", 30}}};
    static const ListDef bno{"Teljes BNO lista nyomtatása", "BNO kódok listája",
                             "select kod10, nev from bnotorzs order by kod10",
                             {{0, 18, "BNO kód"}, {20, 170, "Megnevezés"}},
                             {{"BNO kód", 9}, {"Megnevezés", 80}}};
    switch (list) {
    case MasterList::Doctors: return doctors;
    case MasterList::Nurses: return nurses;
    case MasterList::Patients: return patients;
    case MasterList::Bno: break;
    }
    return bno;
}

} // namespace

const char* masterListStatus(MasterList list) { return defOf(list).status; }

const std::vector<std::string>& bnoChapterItems() {
    static const std::vector<std::string> items{
        "A bőr és bőralatti szövet betegségei (L00-L99)",
        "A csont-izomrendszer és kötőszövet betegségei (M00-M99)",
        "A fül és a csecsnyúlvány megbetegedései (H60-H95)",
        "A keringési rendszer betegségei (I00-I99)",
        "A légzőrendszer betegségei (J00-J99)",
        "A morbiditás és mortalitás külső okai (V01-Y98)",
        "A perinatális szakban keletkező bizonyos állapotok (P00-P96)",
        "A szem és függelékeinek betegségei (H00-H59)",
        "A vér és a vérképző szervek betegségei (D58-D89)",
        "Az egészségi állapotot befolyásoló tényezők (Z00-Z99) ",
        "Az emésztőrendszer betegségei (K00-K93)",
        "Az idegrendszer betegségei (G00-G99)",
        "Az urogenitális rendszer megbetegedései (N00-N99)",
        "Daganatok (C00-D48)",
        "Endocrin, táplálkozási és anyagcsere betegségek (E00-E90)",
        "Fertőző és parazitás betegségek (A00-B99)",
        "Máshova nem osztályozott panaszok, tünetek... (R00-R99)",
        "Mentális- és viselkedészavarok (F00-F99)",
        "Sérülés, mérgezés és külső okok bizonyos egyéb következményei (S00-T98)",
        "Terhesség, szülés és a gyermekágy (O00-O99)",
        "Veleszületett rendellenességek (Q00-Q99)",
    };
    return items;
}

std::optional<BnoChapter> bnoChapter(const std::string& item) {
    std::string t = item;
    while (!t.empty() && t.back() == ' ') t.pop_back();
    // "... (L00-L99)": the closing nine characters.
    if (t.size() < 9 || t[t.size() - 9] != '(' || t[t.size() - 5] != '-' || t.back() != ')') return std::nullopt;
    const size_t n = t.size();
    return BnoChapter{item, t.substr(n - 8, 3) + "00", t.substr(n - 4, 3) + "99"};
}

MasterListRows masterListRows(db::Database& db, MasterList list, const std::optional<BnoChapter>& chapter) {
    const ListDef& def = defOf(list);
    MasterListRows out;
    out.list = list;
    out.title = def.title;
    std::string query = def.query;
    std::vector<db::Value> params;
    if (list == MasterList::Bno && chapter) {
        out.subtitle = chapter->text;
        query = "select kod10, nev from bnotorzs where kod10>=? and kod10<=? order by kod10";
        // From the chapter's first three characters: a heading row stored as
        // "C00" sorts before "C0000" and would be left out of its own chapter.
        params = {db::Value(chapter->low.substr(0, 3)), db::Value(chapter->high)};
        out.title += " – " + chapter->text.substr(0, chapter->text.find(" ("));
    }
    out.rows = std::move(db::Sql(db).run(query, params).rows);
    return out;
}

Report masterListReport(const MasterListRows& list, const std::string& printedAt) {
    const ListDef& def = defOf(list.list);
    Report report;
    report.title = list.title;
    report.pageHeader = listHeader(report, def.title, list.subtitle, def.columns);
    report.pageFooter = listFooter(report, printedAt);
    Group rows;
    for (const auto& row : list.rows) {
        std::vector<std::string> values;
        for (const db::Value& v : row) values.push_back(v.asString());
        rows.rows.push_back(listRow(def.columns, values));
    }
    report.groups.push_back(std::move(rows));
    return report;
}

Report masterListReport(db::Database& db, MasterList list, const std::optional<BnoChapter>& chapter,
                        const std::string& printedAt) {
    return masterListReport(masterListRows(db, list, chapter), printedAt);
}

DataTable masterListTable(const MasterListRows& list) {
    const ListDef& def = defOf(list.list);
    DataTable t;
    t.title = list.title;
    for (const TableColumn& c : def.table) t.column(c.heading, c.width);
    for (const auto& row : list.rows) {
        std::vector<Cell>& cells = t.row();
        for (size_t i = 0; i < row.size() && i < cells.size(); ++i)
            // Codes stay text: a TAJ or a stamp number keeps its leading zeros.
            cells[i] = def.table[i].date ? Cell::date(row[i].asString()) : Cell::of(row[i].asString());
    }
    return t;
}

} // namespace velmora::reports
