#include "support/TableFixture.h"

#include "program/StartupSequence.h"
#include "store/TableSetup.h"

namespace velmora::test {

using db::FieldDef;

void writeTable(const std::string& dir, const std::string& fileName, const db::FieldList& fields,
                const std::vector<Row>& rows, int level) {
    db::Database database(dir);
    db::Table& t = database.table("FIXTURE", fileName);
    t.create(fields, level);
    t.open();
    for (const Row& row : rows) t.appendValues(row);
    t.close();
}

std::vector<Row> readRows(const std::string& dir, const std::string& fileName) {
    db::Database database(dir);
    db::Table& t = database.table("FIXTURE", fileName);
    t.open();
    std::vector<Row> rows;
    for (uint32_t r = 0; r < t.physicalCount(); ++r) {
        if (t.isDeletedAt(r)) continue;
        Row row;
        for (int f = 0; f < static_cast<int>(t.fields().size()); ++f) row.push_back(t.valueAt(r, f));
        rows.push_back(row);
    }
    return rows;
}

FileLayout readLayout(const std::string& dir, const std::string& fileName) {
    db::Database database(dir);
    db::Table& t = database.table("FIXTURE", fileName);
    t.open();
    FileLayout layout{t.fields(), t.level(), t.languageDriver(), {}};
    for (const std::string& name : t.indexNames()) {
        const db::IndexTag* tag = t.index(name);
        layout.tags.push_back(name + "=" + tag->expression().text() + (tag->unique() ? "!" : ""));
    }
    return layout;
}

db::FieldList contractFields(bool withFinkod) {
    db::FieldList f = {FieldDef::character("INTKOD", 4), FieldDef::character("SZSZAM", 10)};
    if (withFinkod) f.push_back(FieldDef::character("FINKOD", 9));
    f.push_back(FieldDef::numeric("OSSZNAP", 5));
    f.push_back(FieldDef::date("SZKEZD"));
    f.push_back(FieldDef::date("SZVEG"));
    for (const char* n : {"TELEP", "ORVOS", "GYOGYT", "DIPL", "DIET", "PSZICH", "MENTAL", "SZOCM", "HOSPSZ",
                          "SZAKAP", "FIZIO", "OSSZD"})
        f.push_back(FieldDef::numeric(n, 3));
    f.push_back(FieldDef::date("MODDAT"));
    if (withFinkod) {
        f.push_back(FieldDef::numeric("NORMNAP", 3));
        f.push_back(FieldDef::numeric("POTNAP", 3));
    }
    return f;
}

Row contractRow(bool withFinkod, const char* finkod, const char* start, int days) {
    // Fields by name, so one builder serves both layouts; SZVEG stays blank.
    const db::FieldList fields = contractFields(withFinkod);
    Row r(fields.size());
    auto set = [&](const char* name, db::Value v) { r[db::findField(fields, name)] = std::move(v); };
    set("INTKOD", "1234");
    set("SZSZAM", "SZ-" + std::string(start).substr(0, 4));
    if (withFinkod) set("FINKOD", finkod);
    set("OSSZNAP", days);
    set("SZKEZD", start);
    int n = 0;
    for (const char* name : {"TELEP", "ORVOS", "GYOGYT", "DIPL", "DIET", "PSZICH", "MENTAL", "SZOCM", "HOSPSZ",
                             "SZAKAP", "FIZIO", "OSSZD"})
        set(name, ++n);
    set("MODDAT", "2024.02.01");
    if (withFinkod) {
        set("NORMNAP", 30);
        set("POTNAP", 5);
    }
    return r;
}

void writeFundTables(const std::string& dir, const std::set<std::string>& leaveOut) {
    auto write = [&](const std::string& file, const db::FieldList& fields, const std::vector<Row>& rows) {
        if (!leaveOut.count(file)) writeTable(dir, file, fields, rows, 3);
    };
    write("PART.DBF",
          {FieldDef::character("INTKOD", 4), FieldDef::character("MEGYE", 2), FieldDef::character("INTE", 40)},
          {{"1234", "01", "Példa Hospice Szolgálat"}});
    // The later contract is stored first: the latest is found by start date.
    write("HSZERZ.DBF", contractFields(true),
          {contractRow(true, "987654321", "2024.01.01", 3650), contractRow(true, "123456789", "2023.01.01", 1200)});
    write("HSZOLGSZ.DBF",
          {FieldDef::character("TAJ", 9), FieldDef::character("NEV", 30), FieldDef::date("KEZD"),
           FieldDef::date("VEG"), FieldDef::numeric("SSORSZAM", 5), FieldDef::numeric("ORASZ", 5),
           FieldDef::numeric("ORAK", 5)},
          {{"123456788", "Ápoló Éva", "2024.01.01", db::Value(), 1, 40, 0}});
    write("TELEPUL.DBF", {FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30)},
          {{"0100001", "Budapest"}, {"0200002", "Érd"}});
    write("HTERULET.DBF",
          {FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30), FieldDef::date("KEZD"),
           FieldDef::date("VEG"), FieldDef::numeric("TSORSZAM", 5), FieldDef::numeric("LETSZAM", 6)},
          {{"0100001", "Budapest", "2024.01.01", db::Value(), 1, 1000}});
    write("HTHELY.DBF",
          {FieldDef::numeric("TSORSZAM", 5), FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30),
           FieldDef::character("CIM", 40), FieldDef::date("KEZD"), FieldDef::date("VEG"), FieldDef::numeric("NAP", 3)},
          {{1, "0100001", "Budapest", "Fő utca 1.", "2024.01.01", db::Value(), 5}});
    write("BNOTORZS.DBF", {FieldDef::character("KOD10", 5), FieldDef::character("NEV", 100)},
          {{"C3490", "Hörgő vagy tüdő rosszindulatú daganata"}, {"C5000", "Emlő rosszindulatú daganata"}});
}

Start::Start(const std::string& dir, app::Date today) : clock(today), session(clock), db(dir) {}

bool Start::openTables() {
    store::Crtzaras(db, dialogs);
    return program::openTablesAfterPeriod(db, session, dialogs);
}

bool Start::run() {
    if (!openTables()) return false;
    program::runStartupMaintenance(db, session, dialogs);
    return true;
}

} // namespace velmora::test
