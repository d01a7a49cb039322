#include "sheets/CrossChecks.h"

#include "app/Date.h"
#include "sheets/CheckQueries.h"
#include "sheets/FieldChecks.h"
#include "sheets/QueryText.h"

#include <stdexcept>

namespace velmora::sheets {

namespace queries {

std::string lines(const std::vector<std::string>& parts) {
    std::string statement;
    for (const std::string& part : parts) statement += (statement.empty() ? "" : "\n") + part;
    return statement;
}

namespace {

// Numbers restart every year: the sheet's own number marks its series only
// within its own year. A sheet of an earlier year that happens to carry the
// same number is another episode and counts.
const char* const kNotOwnSeries = "not (a.sorsz=? and a.idoszak>=? and a.idoszak<=?)";

std::vector<db::Value> ownSeries(const SheetKey& key) {
    const std::string year = key.idoszak.substr(0, 4);
    return {textParam(key.sorsz), db::Value(year + ".01"), db::Value(year + ".12")};
}

} // namespace

Statement earlierVisits(const SheetKey& key, const std::string& taj) {
    // Every overlapping row shows the same message, so their order is of
    // no account: no sort of the visit rows.
    std::vector<db::Value> params = {textParam(taj)};
    for (db::Value& v : ownSeries(key)) params.push_back(std::move(v));
    params.push_back(textParam(key.idoszak));
    return {lines({"select " + dayColumns("b", "apdat"),
                   "from hlapa a, hlapb b",
                   "where a.sorsz=b.sorsz and a.resz is b.resz and a.idoszak=b.idoszak and a.taj=? and",
                   std::string(" ") + kNotOwnSeries + " and a.idoszak<>?"}),
            params};
}

Statement latestOtherSheet(const SheetKey& key, const std::string& taj) {
    // The last row in the order of period and start of care: the patient's
    // latest other sheet (number and part make ties certain).
    std::vector<db::Value> params = {textParam(taj)};
    for (db::Value& v : ownSeries(key)) params.push_back(std::move(v));
    params.push_back(textParam(key.idoszak));
    return {lines({"select a.elszam,a.lezdat",
                   "from hlapa a",
                   "where a.taj=? and",
                   std::string(kNotOwnSeries) + " and a.idoszak<=?",
                   "order by a.idoszak desc,a.szakvet desc,a.sorsz desc,a.resz desc limit 1"}),
            params};
}

Statement patientVisitDays(const SheetKey& key, bool modifying, const std::string& taj) {
    std::vector<std::string> text = {"select a.taj," + dayColumns("b", "apdat"), "from hlapa a, hlapb b",
                                     "where a.taj=? and a.sorsz=b.sorsz and a.resz is b.resz and a.idoszak=b.idoszak"};
    std::vector<db::Value> params = {textParam(taj)};
    if (modifying) {
        // Only the sheet being changed is left out: its own visits are not a clash.
        text.push_back(" and not (b.sorsz=? and b.resz is ? and b.idoszak=?)");
        params.insert(params.end(), {textParam(key.sorsz), textParam(key.resz), textParam(key.idoszak)});
    }
    return {lines(text), params};
}

Statement otherSheetsDays(const SheetKey& key, const std::string& taj) {
    return {lines({"select taj,sum(sznap) as sznap", "from hlapa",
                   "where taj=? and not (sorsz=? and resz is ?) and idoszak<>?", "group by taj"}),
            {textParam(taj), textParam(key.sorsz), textParam(key.resz), textParam(key.idoszak)}};
}

Statement seriesCodes(const SheetKey& key, const std::string& taj) {
    const std::string year = key.idoszak.substr(0, 4);
    return {lines({"select a.taj," + dayColumns("b", "tev"), "from hlapa a, hlapb b",
                   "where a.taj=? and a.sorsz=? and a.idoszak<>? and a.idoszak>=? and a.idoszak<=?",
                   "and a.sorsz=b.sorsz and a.resz is b.resz and a.idoszak=b.idoszak"}),
            {textParam(taj), textParam(key.sorsz), textParam(key.idoszak), db::Value(year + ".01"),
             db::Value(year + ".12")}};
}

namespace {

// Full invoices and first partial invoices outside January look back at the
// patient's earlier sheets; next parts and January sheets do not.
bool looksBack(const SheetKey& key) {
    return kindOf(key.resz) != SheetKind::NextPart && key.idoszak.substr(5, 2) != "01";
}

// Earliest and latest visit date among the row's day fields from `first` on.
std::pair<std::string, std::string> visitSpan(const std::vector<db::Value>& row, size_t first) {
    std::string earliest, latest;
    for (size_t i = first; i < row.size(); ++i) {
        const std::string d = row[i].asString();
        if (d.empty()) continue;
        if (earliest.empty() || d < earliest) earliest = d;
        if (latest.empty() || d > latest) latest = d;
    }
    return {earliest, latest};
}

} // namespace

app::Findings overlapCheck(db::Sql& sql, const SheetKey& key, const std::string& taj, const std::string& elrend,
                           const std::string& szakvet, const std::string& control) {
    using app::Finding;
    app::Findings found;
    if (szakvet < elrend) found.push_back(Finding::refusal(control, app::Msg::StartBeforeOrder));
    if (!looksBack(key)) return found;
    db::SqlResult earlier;
    try {
        earlier = earlierVisits(key, taj).run(sql);
    } catch (const std::exception& e) {
        found.push_back(Finding::failure(control, app::Msg::QueryFailed, e.what()));
        return found;
    }
    for (const auto& row : earlier.rows) {
        const auto [earliest, latest] = visitSpan(row, 0);
        if (earliest.empty()) continue;
        if (szakvet >= earliest && szakvet <= latest) found.push_back(Finding::refusal(control, app::Msg::StartOverlaps));
    }
    return found;
}

OrderNumberResult orderNumberCheck(db::Sql& sql, const SheetKey& key, const std::string& taj,
                                   const std::string& elszam, OrderNumberForm form, const std::string& control) {
    using app::Finding;
    const auto entered = wholeNumber(elszam);
    if (!entered) return {{Finding::refusal(control, app::Msg::OnlyNumber)}, std::nullopt};
    if (!looksBack(key)) return {};
    db::SqlResult latest;
    try {
        latest = latestOtherSheet(key, taj).run(sql);
    } catch (const std::exception& e) {
        return {{Finding::failure(control, app::Msg::QueryFailed, e.what())}, std::nullopt};
    }
    const int previous = latest.rows.empty() ? 0 : static_cast<int>(latest.rows[0][0].asInt());
    const bool closed = !latest.rows.empty() && !latest.rows[0][1].asString().empty();
    if (closed || *entered == previous + 1) {
        OrderNumberResult result;
        if (closed && *entered != 1) result.findings.push_back(Finding::question(control, app::Msg::FirstOrderQuestion, "1"));
        return result;
    }
    OrderNumberResult result{{Finding::refusal(control, app::Msg::OrderNumberTooSmall)}, std::nullopt};
    if (form == OrderNumberForm::Field) result.elszam = std::to_string(previous + 1);
    return result;
}

std::optional<std::set<std::string>> takenVisitDates(db::Sql& sql, const SheetKey& key, bool modifying,
                                                     const std::vector<std::string>& dates, const std::string& taj,
                                                     std::string* cause) {
    // The day field each date is looked for in: APDAT1 … APDAT31 follow a.taj.
    std::vector<std::pair<std::string, size_t>> wanted;
    for (const std::string& date : dates) {
        const auto day = app::Date::parse(date);
        if (!day) {
            if (cause) *cause = "Érvénytelen dátum a napok között: " + date;
            return std::nullopt;
        }
        wanted.emplace_back(date, static_cast<size_t>(day->day));
    }
    db::SqlResult rows;
    try {
        rows = patientVisitDays(key, modifying, taj).run(sql);
    } catch (const std::exception& e) {
        if (cause) *cause = e.what();
        return std::nullopt;
    }
    std::set<std::string> taken;
    for (const auto& row : rows.rows)
        for (const auto& [date, column] : wanted)
            if (column < row.size() && row[column].asString() == date) taken.insert(date);
    return taken;
}

std::optional<int> patientDays(db::Sql& sql, const SheetKey& key, const std::string& taj, std::string* cause) {
    try {
        const db::SqlResult sum = otherSheetsDays(key, taj).run(sql);
        return sum.rows.empty() ? 0 : static_cast<int>(sum.rows[0][1].asInt());
    } catch (const std::exception& e) {
        if (cause) *cause = e.what();
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> seriesActivityCodes(db::Sql& sql, const SheetKey& key,
                                                            const std::string& taj, std::string* cause) {
    try {
        std::vector<std::string> codes;
        for (const auto& row : seriesCodes(key, taj).run(sql).rows)
            for (size_t i = 1; i < row.size(); ++i)
                if (!row[i].asString().empty()) codes.push_back(row[i].asString());
        return codes;
    } catch (const std::exception& e) {
        if (cause) *cause = e.what();
        return std::nullopt;
    }
}

} // namespace queries

app::Findings overlapCheck(db::Database& db, const SheetKey& key, const std::string& taj, const std::string& elrend,
                           const std::string& szakvet, const std::string& control) {
    db::Sql sql(db);
    return queries::overlapCheck(sql, key, taj, elrend, szakvet, control);
}

OrderNumberResult orderNumberCheck(db::Database& db, const SheetKey& key, const std::string& taj,
                                   const std::string& elszam, OrderNumberForm form, const std::string& control) {
    db::Sql sql(db);
    return queries::orderNumberCheck(sql, key, taj, elszam, form, control);
}

std::optional<bool> visitDateTaken(db::Database& db, const SheetKey& key, bool modifying, const std::string& date,
                                   const std::string& taj) {
    db::Sql sql(db);
    const auto taken = queries::takenVisitDates(sql, key, modifying, {date}, taj);
    if (!taken) return std::nullopt;
    return taken->count(date) > 0;
}

bool dayCountFits(int visitDays, int orderedDays, int billedDays) {
    const int total = visitDays + billedDays;
    return total <= orderedDays && total <= 50;
}

std::optional<int> patientDays(db::Database& db, const SheetKey& key, const std::string& taj, std::string* cause) {
    db::Sql sql(db);
    return queries::patientDays(sql, key, taj, cause);
}

} // namespace velmora::sheets
