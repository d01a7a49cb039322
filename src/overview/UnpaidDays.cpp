#include "overview/UnpaidDays.h"

#include "app/Date.h"
#include "app/TextHelpers.h"

#include "overview/SheetRows.h"
#include "reports/Monthly.h"
#include "reports/Numbers.h"
#include "reports/PageFrame.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace velmora::overview {

namespace {

const std::vector<reports::Column>& columns() {
    using reports::Align;
    static const std::vector<reports::Column> c{{0, 18, "Időszak"},          {19, 18, "Sorszám"},
                                                {38, 22, "TAJ szám"},        {61, 55, "Név"},
                                                {117, 18, "Napszám", Align::Right}, {136, 18, "Elszámolt", Align::Right},
                                                {155, 16, "Nem fizetett", Align::Right}, {172, 18, "Ft", Align::Right}};
    return c;
}

std::string rangeText(const UnpaidList& list) {
    return list.from == list.to ? list.from : list.from + " – " + list.to;
}

} // namespace

std::optional<std::string> rangeProblem(const std::string& from, const std::string& to) {
    for (const std::string* p : {&from, &to})
        if (!app::Date::parse(*p + ".01")) return "Hibás időszak: " + *p + " (ÉÉÉÉ.HH alakú kell).";
    if (from > to) return std::string("A kezdő időszak nem lehet későbbi a záró időszaknál!");
    return std::nullopt;
}

UnpaidList unpaidDays(db::Database& db, const std::string& from, const std::string& to) {
    UnpaidList list{from, to, {}, {}, 0, {}};
    const auto periods = periodRows(db);
    const auto names = patientNames(db);
    std::set<std::string> unanswered;
    for (const SheetRow& s : sheetRows(db, from, to)) {
        if (!app::IsBlank(s.elkuldve) && s.modtipus != "S" && !answerRead(s.key.idoszak, periods))
            unanswered.insert(s.key.idoszak);
        const int notPaid = daysNotPaid(s, periods);
        if (notPaid == 0) continue;
        UnpaidSheet u;
        u.key = s.key;
        u.taj = s.taj;
        if (const auto n = names.find(s.taj); n != names.end()) u.nev = n->second;
        u.recorded = s.sznap;
        u.billed = s.billed;
        u.notPaid = notPaid;
        u.amount = reports::dayValue(notPaid, periods.at(s.key.idoszak).fee(), reports::supplementApplies(s.tpotl));
        list.days += notPaid;
        list.total = list.total + u.amount;
        list.sheets.push_back(std::move(u));
    }
    std::stable_sort(list.sheets.begin(), list.sheets.end(), [](const UnpaidSheet& a, const UnpaidSheet& b) {
        if (!(a.amount == b.amount)) return b.amount < a.amount;
        return std::tie(a.key.idoszak, a.key.sorsz, a.key.resz) < std::tie(b.key.idoszak, b.key.sorsz, b.key.resz);
    });
    list.unanswered.assign(unanswered.begin(), unanswered.end());
    return list;
}

reports::DataTable unpaidTable(const UnpaidList& list) {
    reports::DataTable t;
    t.title = std::string(kUnpaidTitle) + " " + rangeText(list);
    t.column("Időszak", 9).column("Sorszám", 9).column("TAJ szám", 11).column("Név", 26);
    t.column("Napszám", 9).column("Elszámolt nap", 13).column("Nem fizetett nap", 16).column("Ft", 12);
    for (const UnpaidSheet& u : list.sheets) {
        auto& r = t.row();
        r[0] = reports::Cell::of(u.key.idoszak);
        r[1] = reports::Cell::of(u.key.number());
        r[2] = reports::Cell::of(u.taj);
        r[3] = reports::Cell::of(u.nev);
        r[4] = reports::Cell::of(u.recorded);
        r[5] = reports::Cell::of(u.billed);
        r[6] = reports::Cell::of(u.notPaid);
        r[7] = reports::Cell::of(reports::roundedTo(u.amount, 0));  // whole forints, as the list prints them
    }
    return t;
}

reports::Report unpaidReport(const UnpaidList& list, const std::string& printedAt) {
    reports::Report report;
    report.title = std::string(kUnpaidTitle) + " " + rangeText(list);
    report.pageHeader = reports::listHeader(report, kUnpaidTitle, "Időszak: " + rangeText(list), columns());
    report.pageFooter = reports::listFooter(report, printedAt);
    reports::Group rows;
    for (const UnpaidSheet& u : list.sheets)
        rows.rows.push_back(reports::listRow(
            columns(), {u.key.idoszak, u.key.number(), u.taj, u.nev, std::to_string(u.recorded), std::to_string(u.billed),
                        std::to_string(u.notPaid), reports::huMoney(u.amount, 0)}));
    report.groups.push_back(std::move(rows));
    reports::Band sum;
    sum.height = 8;
    sum.line(0, 1, report.printableWidth(), 1, 0.3);
    sum.text(61, 55, "Összesen: " + std::to_string(list.sheets.size()) + " lap", reports::Align::Left, 9, true);
    sum.text(155, 16, std::to_string(list.days), reports::Align::Right, 9, true);
    sum.text(172, 18, reports::huMoney(list.total, 0), reports::Align::Right, 9, true);
    for (reports::TextItem& t : sum.texts) t.y = 2;  // below the line
    report.summary = sum;
    return report;
}

} // namespace velmora::overview
