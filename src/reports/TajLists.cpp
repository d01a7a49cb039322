#include "reports/TajLists.h"

#include "reports/Lookups.h"
#include "reports/Provider.h"
#include "reports/QueryRows.h"

#include <map>
#include <tuple>

namespace velmora::reports {

namespace {

// The condition both queries share, with its values.
std::pair<std::string, std::vector<db::Value>> condition(const TajSelection& s, const Provider& p) {
    switch (s.scope) {
    case TajScope::OnePatient: return {" and a.taj=?", {db::Value(s.taj)}};
    case TajScope::CurrentPeriod: return {" and a.idoszak=?", {db::Value(s.current)}};
    case TajScope::FromPeriod: return {" and a.idoszak>=? and a.idoszak<=?", {db::Value(s.from), db::Value(s.current)}};
    case TajScope::All: break;
    }
    return {" and a.intkod=?", {db::Value(p.intkod)}};
}

std::string titleOf(const TajSelection& s, const Provider& p) {
    const std::string provider = "TAJ számos ellenőrző lista a " + p.intkod + " " + p.inte + " szolgáltató betegeiről ";
    switch (s.scope) {
    case TajScope::OnePatient: return "TAJ számos lista egy beteg viziteiről az otthoni hospice ellátásban";
    case TajScope::CurrentPeriod: return provider + s.current + " időszakban az otthoni hospice ellátásban";
    case TajScope::FromPeriod: return provider + s.from + "-" + s.current + " időszakban az otthoni hospice ellátásban";
    case TajScope::All: break;
    }
    return provider + "az otthoni hospice ellátásban";
}

using Key = std::tuple<std::string, std::string, std::string>;  // sorsz, resz, idoszak

// Visit days per activity of every selected sheet part, from one query.
std::map<Key, std::array<int, 8>> activityCounts(db::Database& db, const std::string& where,
                                                 const std::vector<db::Value>& params) {
    std::string days;
    for (int d = 1; d <= 31; ++d) days += ",b.tev" + std::to_string(d) + ",b.apdat" + std::to_string(d);
    const db::SqlResult result =
        db::Sql(db).run("select b.sorsz,b.resz,b.idoszak" + days + " from hlapa a, hlapb b where " +
                            db::sql::joinKey("a", "b", {"sorsz", "resz", "idoszak"}, {"resz"}) + where,
                        params);
    std::map<Key, std::array<int, 8>> out;
    for (const auto& row : result.rows) {
        std::array<int, 8>& counts = out[{row[0].asString(), row[1].asString(), row[2].asString()}];
        for (int d = 0; d < 31; ++d)
            if (!row[4 + 2 * d].isNull()) countActivities(row[3 + 2 * d].asString(), counts);
    }
    return out;
}

} // namespace

std::optional<std::string> startPeriodProblem(const std::string& id1) {
    if (id1.size() <= 5) return "Ez még kevés lesz ...";
    size_t used = 0;
    long value = 0;
    try {
        value = std::stol(id1, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != id1.size()) return "Számokkal kéne megoldani ...";
    if (id1 < "200409") return "Nem adhat meg 2004.09 hónál kisebb dátumot!";
    const int month = std::stoi(id1.substr(4, 2));
    if (value < 0 || month < 1 || month > 12) return "Csak 12 hónap van egy évben sajna ...";
    return std::nullopt;
}

std::optional<std::string> periodRangeProblem(const std::string& from, const std::string& current) {
    if (from > current)
        return "A választott időszak (" + from + ") későbbi, mint az aktuális elszámolási időszak (" + current + ")!";
    return std::nullopt;
}

std::string periodOfTyped(const std::string& id1) { return id1.substr(0, 4) + "." + id1.substr(4, 2); }

TajList tajList(db::Database& db, const TajSelection& selection) {
    const Provider p = providerOf(db);
    const auto [where, params] = condition(selection, p);
    TajList list;
    list.title = titleOf(selection, p);
    const auto counts = activityCounts(db, where, params);
    const auto names = bnoNames(db);
    const auto rows = db::namedRows(db::Sql(db).run(
        "select a.*,b.nev from hlapa a, beteg b where a.taj=b.taj" + where + " order by a.taj,a.idoszak,a.sorsz,a.resz",
        params));
    for (const QueryRow& row : rows) {
        const std::string taj = text(row, "taj");
        if (list.patients.empty() || list.patients.back().taj != taj) {
            TajPatient patient;
            patient.taj = taj;
            patient.nev = text(row, "nev");
            list.patients.push_back(std::move(patient));
        }
        TajPatient& patient = list.patients.back();
        TajSheet s;
        s.sorsz = text(row, "sorsz");
        s.resz = text(row, "resz");
        s.idoszak = text(row, "idoszak");
        s.gyak = text(row, "gyak");
        s.szakvet = text(row, "szakvet");
        s.lezdat = text(row, "lezdat");
        s.elszam = number(row, "elszam");
        s.sznap = number(row, "sznap");
        s.bnoab = text(row, "bnoab");
        s.bnoabName = bnoName(names, s.bnoab);
        s.bnofo = text(row, "bnofo");
        s.bnofoName = bnoName(names, s.bnofo);
        if (const auto it = counts.find({s.sorsz, s.resz, s.idoszak}); it != counts.end()) s.viz = it->second;
        patient.sznap += s.sznap;
        for (int k = 0; k < 8; ++k) patient.tviz[k] += s.viz[k];
        patient.sheets.push_back(std::move(s));
    }
    return list;
}

std::string emptyTajListMessage(db::Database& db, const TajSelection& selection) {
    if (selection.scope == TajScope::OnePatient)
        return "Nincs a " + selection.taj + " TAJ-számú betegnek elszámolási lapja!";
    return "Nincs a " + providerOf(db).intkod + " szolgáltatónak betege!";
}

} // namespace velmora::reports
