#include "reports/EmployeeDays.h"

#include "app/Version.h"
#include "reports/Numbers.h"
#include "reports/PageFrame.h"
#include "sheets/CrossChecks.h"

namespace velmora::reports {

std::optional<EmployeeDays> employeeDays(db::Database& db, const std::string& period, app::Dialogs& dialogs) {
    const auto count = sheets::countCapacity(db, period, nullptr, dialogs, kEmployeeQueryFailed);
    if (!count) return std::nullopt;
    EmployeeDays out;
    out.period = period;
    out.provider = providerOf(db);
    for (const auto& [taj, nurse] : count->nurses) {
        out.rows.push_back({nurse.taj, nurse.nev, nurse.keret, nurse.napdb, nurse.supplementary});
        out.okeret += nurse.keret;
        out.tszam += nurse.napdb;
        out.sznez = out.sznez || nurse.supplementary;
    }
    return out;
}

Report employeeDaysReport(const EmployeeDays& d, const std::string& printedAt) {
    Report r;
    r.title = employeeDaysTitle(d.period);
    const double width = r.printableWidth();
    Band& h = r.pageHeader;
    h.cell({0, 0, 60, 4, "Velmora", Align::Left, 8, false});
    h.cell({width - 60, 0, 60, 4, std::string("Verzió: v ") + app::kVersion, Align::Right, 8, false});
    h.cell({0, 5, width, 6, "Otthoni hospice ellátás dolgozói teljesítések megoszlása " + d.period + ". hónapban",
            Align::Center, 12, true});
    h.cell({0, 13, 60, 4.5, "Megyekód és megnevezése:", Align::Left, 9, false});
    h.cell({60, 13, 130, 4.5, d.provider.megye + " " + d.provider.county, Align::Left, 9, true});
    h.cell({0, 17.5, 60, 4.5,
            d.period >= "2017.01" ? "Szolgáltató VARO kódja, megnevezése:" : "Szolgáltató KAB kódja, megnevezése:",
            Align::Left, 9, false});
    h.cell({60, 17.5, 130, 4.5, d.provider.intkod + " " + d.provider.inte, Align::Left, 9, true});
    h.cell({10, 22, 50, 4.5, "címe:", Align::Left, 9, false});
    h.cell({60, 22, 130, 4.5, d.provider.szcim, Align::Left, 9, true});
    const std::vector<Column> columns{{0, 90, "Dolgozó TAJ-száma, megnevezése"},
                                      {92, 40, "Szerződött dolgozói kapacitás", Align::Right},
                                      {140, 25, "Teljesített napok", Align::Right},
                                      {168, 22, "Túl-lépés", Align::Right}};
    for (const Column& c : columns) h.cell({c.x, 28, c.w, 5, c.heading, c.align, 8, true});
    h.height = 34;
    h.underline(width);
    r.pageFooter = listFooter(r, printedAt);

    Group g;
    for (const EmployeeRow& e : d.rows) {
        Band b;
        b.cell({0, 0, 20, 4.5, e.taj, Align::Left, 9, false});
        b.cell({21, 0, 70, 4.5, e.nev, Align::Left, 9, false});
        b.cell({92, 0, 37, 4.5, huNumber(e.keret), Align::Right, 9, false});
        b.cell({130, 0, 3, 4.5, e.supplementary ? "*" : " ", Align::Left, 9, false});
        b.cell({140, 0, 25, 4.5, huNumber(e.napdb), Align::Right, 9, false});
        TextItem over{168, 0, 22, 4.5, e.overrun() ? huNumber(e.overrun()) : "", Align::Right, 9, false};
        over.shaded = e.overrun() > 0;
        b.cell(over);
        g.rows.push_back(b);
    }
    r.groups.push_back(std::move(g));

    Band total;
    total.line(0, 0.5, width, 0.5, 0.3);
    total.cell({0, 1.5, 40, 4.5, "Összes nap:", Align::Left, 9, true});
    total.cell({92, 1.5, 37, 4.5, huNumber(d.okeret), Align::Right, 9, true});
    total.cell({140, 1.5, 25, 4.5, huNumber(d.tszam), Align::Right, 9, true});
    if (d.sznez) total.cell({0, 7, 80, 4.5, "* Kiegészítő tevékenység", Align::Left, 8, false});
    r.summary = total;
    return r;
}

} // namespace velmora::reports

namespace velmora::reports {

DataTable employeeDaysTable(const EmployeeDays& d) {
    DataTable t;
    t.title = employeeDaysTitle(d.period);
    t.column("Dolgozó TAJ-száma", 11)
        .column("Dolgozó neve", 30)
        .column("Szerződött dolgozói kapacitás", 14)
        .column("Kiegészítő tevékenység", 11)
        .column("Teljesített napok", 11)
        .column("Túllépés", 9);
    for (const EmployeeRow& e : d.rows)
        t.rows.push_back({Cell::of(e.taj), Cell::of(e.nev), Cell::of(e.keret), Cell::of(e.supplementary ? "igen" : ""),
                          Cell::of(e.napdb), Cell::of(e.overrun())});
    return t;
}

} // namespace velmora::reports
