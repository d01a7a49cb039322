#include "overview/SheetRows.h"

#include "app/Period.h"
#include "app/TextHelpers.h"
#include "db/Sql.h"

namespace velmora::overview {

namespace {

std::string keyText(const std::string& sorsz, const std::string& resz, const std::string& idoszak) {
    return idoszak + "/" + sorsz + "/" + resz;
}

std::string visitColumns() {
    std::string out = "sorsz,resz,idoszak";
    for (int d = 1; d <= 31; ++d) {
        const std::string n = std::to_string(d);
        out += ",apdat" + n + ",eli" + n + ",apbtaj" + n;
    }
    return out;
}

} // namespace

std::vector<SheetRow> sheetRows(db::Database& db, const std::string& from, const std::string& to) {
    db::Sql sql(db);
    const std::vector<db::Value> range{db::Value(from), db::Value(to)};
    std::vector<SheetRow> out;
    std::map<std::string, size_t> at;
    const auto heads = sql.run(
        "select sorsz,resz,idoszak,taj,sznap,elkuldve,modtipus,allapot,tpotl from hlapa "
        "where idoszak>=? and idoszak<=? order by idoszak,sorsz,resz",
        range);
    for (const auto& r : heads.rows) {
        SheetRow s;
        s.key = {r[0].asString(), r[1].asString(), r[2].asString()};
        s.taj = r[3].asString();
        s.sznap = static_cast<int>(r[4].asInt());
        s.elkuldve = r[5].asString();
        s.modtipus = r[6].asString();
        s.allapot = app::IsBlank(r[7].asString()) ? std::string() : r[7].asString();
        s.tpotl = r[8].asString();
        at[keyText(s.key.sorsz, s.key.resz, s.key.idoszak)] = out.size();
        out.push_back(std::move(s));
    }
    const auto visits = sql.run("select " + visitColumns() + " from hlapb where idoszak>=? and idoszak<=?", range);
    for (const auto& r : visits.rows) {
        const auto found = at.find(keyText(r[0].asString(), r[1].asString(), r[2].asString()));
        if (found == at.end()) continue;
        SheetRow& s = out[found->second];
        for (int d = 0; d < 31; ++d) {
            const db::Value& apdat = r[3 + 3 * d];
            if (apdat.isNull()) continue;
            if (!r[4 + 3 * d].isNull()) ++s.billed;
            if (const std::string nurse = r[5 + 3 * d].asString(); !nurse.empty()) s.nurses.insert(nurse);
        }
    }
    return out;
}

std::map<std::string, PeriodRow> periodRows(db::Database& db) {
    std::map<std::string, PeriodRow> out;
    db::Sql sql(db);
    for (const auto& r : sql.run("select idoszak,zaras,ruvkuld,alapdij from zaras").rows) {
        PeriodRow p{r[0].asString(), r[1].asString(), r[2].asString(), r[3].asDecimal()};
        out[p.idoszak] = p;
    }
    std::string anyMark;
    for (int d = 1; d <= 31; ++d) anyMark += (d > 1 ? " or eli" : "eli") + std::to_string(d) + " is not null";
    for (const auto& r : sql.run("select distinct idoszak from hlapb where " + anyMark).rows) {
        PeriodRow& p = out[r[0].asString()];
        p.idoszak = r[0].asString();
        p.marked = true;
    }
    return out;
}

db::Decimal PeriodRow::fee() const {
    if (alapdij.units() != 0) return alapdij;
    return db::Decimal::fromInt(app::BaseFee(idoszak));
}

std::map<std::string, std::string> patientNames(db::Database& db) {
    std::map<std::string, std::string> out;
    for (const auto& r : db::Sql(db).run("select taj,nev from beteg").rows) out[r[0].asString()] = r[1].asString();
    return out;
}

bool answerRead(const std::string& idoszak, const std::map<std::string, PeriodRow>& periods) {
    const auto p = periods.find(idoszak);
    return p != periods.end() && p->second.answered();
}

int daysNotPaid(const SheetRow& sheet, const std::map<std::string, PeriodRow>& periods) {
    if (app::IsBlank(sheet.elkuldve) || sheet.modtipus == "S") return 0;
    if (!answerRead(sheet.key.idoszak, periods)) return 0;
    return sheet.sznap > sheet.billed ? sheet.sznap - sheet.billed : 0;
}

std::string sheetsFilter(const std::string& yearFilter, const std::vector<sheets::SheetKey>& keys) {
    std::string any;
    for (const sheets::SheetKey& k : keys) {
        // The program writes no quote into a key; a damaged one is left out
        // rather than breaking the filter.
        if ((k.idoszak + k.sorsz + k.resz).find_first_of("'\"") != std::string::npos) continue;
        if (!any.empty()) any += " or ";
        any += "(idoszak='" + k.idoszak + "' and sorsz='" + k.sorsz + "' and resz" +
               (k.resz.empty() ? std::string("=null") : "='" + k.resz + "'") + ")";
    }
    if (any.empty()) return "(" + yearFilter + ") and sorsz='nincs'";
    return "(" + yearFilter + ") and (" + any + ")";
}

} // namespace velmora::overview
