#include "reports/SheetForm.h"

#include "app/TextHelpers.h"
#include "db/Sql.h"
#include "reports/Counties.h"
#include "reports/Lookups.h"
#include "reports/QueryRows.h"
#include "sheets/Sheet.h"

#include <map>
#include <set>

namespace velmora::reports {

namespace {

using Row = QueryRow;

// `condition` selects the sheets by one bound value.
std::string sheetQuery(const std::string& condition) {
    std::string columns =
        "a.idoszak,a.sorsz,a.resz,a.intkod,a.taj,a.tpotl,a.bnofek,a.bnofo,a.bnokis,a.bnoab,a.elszviz,a.lezdat,"
        "a.sznap,a.szakvet,a.elvizdb,a.finkod,a.aztip,a.terkat,a.allamp,"
        "e.nev,e.neme,e.kozigkod as bkozig,e.cime1,e.cime2,e.szulh,e.szuli";
    for (int i = 1; i <= 8; ++i) columns += ",a.aptaj" + std::to_string(i);
    for (int d = 1; d <= 31; ++d) {
        const std::string n = std::to_string(d);
        columns += ",b.tev" + n + ",b.apdat" + n + ",b.apbtaj" + n;
    }
    return "select " + columns + " from hlapa a, hlapb b, beteg e where " +
           db::sql::joinKey("a", "b", {"sorsz", "resz", "idoszak"}, {"resz"}) +
           " and a.taj=e.taj and a.idoszak>'2005.01' and " + condition + " order by a.sorsz,a.resz,a.idoszak";
}

// PART's row of each provider code, by the columns it has.
std::map<std::string, Row> providers(db::Database& db) {
    std::map<std::string, Row> out;
    for (Row& row : db::namedRows(db::Sql(db).run("select * from part"))) out.emplace(text(row, "intkod"), std::move(row));
    return out;
}

std::string joined(const std::string& a, const char* sep, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + sep + b;
}

void fillDays(SheetForm& f, const Row& row) {
    const int days = app::DaysInPeriod(f.idoszak);
    for (int d = 1; d <= 31; ++d) {
        FormDay& day = f.days[d - 1];
        if (d > days) continue;
        day.date = f.idoszak + "." + app::TwoDigits(d);
        const std::string n = std::to_string(d);
        if (text(row, "apdat" + n).empty()) continue;
        day.tev = text(row, "tev" + n);
        day.nurse = text(row, "apbtaj" + n);
        countActivities(day.tev, f.tv);
    }
}

SheetForm formOf(const Row& row, const Row& part, const std::string& szszam,
                 const std::map<std::string, std::string>& bno) {
    SheetForm f;
    f.sorsz = text(row, "sorsz");
    f.resz = text(row, "resz");
    f.idoszak = text(row, "idoszak");
    f.intkod = text(row, "intkod");
    f.megye = text(part, "megye");
    f.county = countyName(f.megye);
    f.szszam = szszam;
    f.inte = text(part, "inte");
    f.telsz = joined(text(part, "telkorzet"), " ", text(part, "telszam"));
    f.szcim = joined(joined(text(part, "irszam"), " ", text(part, "hely")), ", ", text(part, "utca"));
    f.finkod = text(row, "finkod");
    f.felelos = joined(text(part, "vezeto"), " ", text(part, "beosztas"));
    for (int i = 0; i < 8; ++i) f.aptaj[i] = text(row, "aptaj" + std::to_string(i + 1));
    f.nev = text(row, "nev");
    f.neme = sheets::sexName(text(row, "neme"));
    f.bcim = joined(joined(text(row, "bkozig"), " ", text(row, "cime1")), ", ", text(row, "cime2"));
    f.taj = text(row, "taj");
    f.szulh = text(row, "szulh");
    f.szuli = text(row, "szuli");
    f.tpotl = text(row, "tpotl") == "N" ? "nem" : "igen";
    f.aztip = text(row, "aztip");
    f.terkat = text(row, "terkat");
    f.allamp = text(row, "allamp");
    const std::pair<const char*, const char*> diagnoses[] = {
        {"Fekvőbeteg-intézeti ápolást indokló diagnózis:", "bnofek"},
        {"Alapbetegség:", "bnoab"},
        {"Kísérő betegség:", "bnokis"},
        {"Az ápolást indokló fődiagnózis", "bnofo"}};
    for (int i = 0; i < 4; ++i) {
        const std::string code = text(row, diagnoses[i].second);
        f.diagnoses[i] = {diagnoses[i].first, code, bnoName(bno, code)};
    }
    f.szakvet = text(row, "szakvet");
    f.lezdat = text(row, "lezdat");
    f.elvizdb = number(row, "elvizdb");
    f.elszviz = number(row, "elszviz");
    f.sznap = number(row, "sznap");
    fillDays(f, row);
    return f;
}

// The forms of the sheets `condition` selects with `value`.
std::vector<SheetForm> sheetForms(db::Database& db, const std::string& firstDay, const std::string& lastDay,
                                  const std::string& condition, const std::string& value) {
    db::Sql sql(db);
    // The contract valid in the period; the forms show the first one's number.
    const db::SqlResult contracts =
        sql.run("select szszam from hszerz where szkezd<=? and (szveg>=? or szveg is null)",
                {db::Value(lastDay), db::Value(firstDay)});
    if (contracts.rows.empty()) return {};
    const std::string szszam = contracts.rows[0][0].asString();
    const std::map<std::string, Row> parts = providers(db);
    const std::map<std::string, std::string> bno = bnoNames(db);
    std::vector<SheetForm> forms;
    std::set<std::string> seen;  // a patient recorded twice still gives one form
    for (const Row& row : db::namedRows(sql.run(sheetQuery(condition), {db::Value(value)}))) {
        const auto part = parts.find(text(row, "intkod"));
        if (part == parts.end()) continue;
        if (!seen.insert(text(row, "intkod") + text(row, "sorsz") + "|" + text(row, "resz") + "|" +
                         text(row, "idoszak"))
                 .second)
            continue;
        forms.push_back(formOf(row, part->second, szszam, bno));
    }
    return forms;
}

} // namespace

std::vector<SheetForm> markedSheetForms(db::Database& db, const std::string& firstDay, const std::string& lastDay) {
    return sheetForms(db, firstDay, lastDay, "a.jeloles=?", "*");
}

std::vector<SheetForm> periodSheetForms(db::Database& db, const std::string& period, const std::string& firstDay,
                                        const std::string& lastDay) {
    return sheetForms(db, firstDay, lastDay, "a.idoszak=?", period);
}

} // namespace velmora::reports
