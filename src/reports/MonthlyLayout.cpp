// The monthly summary and the monthly accounting on portrait A4.
#include "app/Version.h"
#include "reports/Monthly.h"
#include "reports/Numbers.h"
#include "reports/PageFrame.h"

namespace velmora::reports {

namespace {

constexpr double kWidth = 190;

void pageTop(Band& h) {
    h.cell({0, 0, 60, 4, "Velmora", Align::Left, 8, false});
    h.cell({kWidth - 60, 0, 60, 4, std::string("Verzió: v ") + app::kVersion, Align::Right, 8, false});
}

void pair(Band& b, double x, double y, double captionW, const std::string& caption, double valueW,
          const std::string& value, Align valueAlign = Align::Left, bool italic = false) {
    TextItem c{x, y, captionW, 4.5, caption, Align::Left, 9, false};
    TextItem v{x + captionW, y, valueW, 4.5, value, valueAlign, 9, true};
    c.italic = v.italic = italic;
    b.cell(c);
    b.cell(v);
}

// Thousands of forints with one decimal.
std::string thousands(const db::Decimal& ft) { return huMoney(db::Decimal(ft.units(), ft.scale() + 3), 1); }

} // namespace

Report monthlySummaryReport(const MonthlySummary& s, const std::string& printedAt) {
    Report r;
    r.title = summaryTitle(s.period);
    const bool varo = s.firstIdoszak >= "2017.01";
    Band& h = r.pageHeader;
    pageTop(h);
    h.cell({0, 6, kWidth, 6, "HOSPICE ELLÁTÁS HAVI ÖSSZESÍTŐ JELENTÉS", Align::Center, 10, true});
    double y = 14;
    pair(h, 0, y, 60, varo ? "Szolgáltató VARO kódja:" : "Szolgáltató KAB kódja:", 30, s.provider.intkod);
    pair(h, 95, y, 45, "Megyekód és megnevezése:", 50, s.provider.megye + " " + s.provider.county);
    y += 4.5;
    pair(h, 0, y, 60, varo ? "Szolgáltató VARO szerződésszáma:" : "Szolgáltató KAB szerződésszáma:", 60, s.szszam);
    y += 4.5;
    pair(h, 10, y, 25, "megnevezése:", 150, s.provider.inte);
    y += 4.5;
    pair(h, 10, y, 25, "címe:", 150, s.provider.szcim);
    y += 4.5;
    pair(h, 10, y, 25, "telefon:", 60, s.provider.telsz);
    y += 6;
    pair(h, 0, y, 45, "Elszámolási időszak:", 30, s.period + ".");
    h.cell({75, y, 10, 4.5, "hó", Align::Left, 9, false});
    y += 6;
    h.cell({0, y, 100, 4.5, "Az elszámolt időszakra beküldött", Align::Left, 9, false});
    y += 4.5;
    pair(h, 10, y, 80, "\"Egyéni elszámolási lap\"-ok száma:", 20, huNumber(s.lapszam), Align::Right);
    h.cell({112, y, 10, 4.5, "db", Align::Left, 9, false});
    y += 4.5;
    pair(h, 10, y, 80, "\"Hospice elrendelő lap\"-ok száma:", 20, huNumber(s.oszam), Align::Right);
    h.cell({112, y, 10, 4.5, "db", Align::Left, 9, false});
    h.height = y + 6;
    r.pageFooter = listFooter(r, printedAt);

    static const char* const activities[] = {
        "1. Szakápolás:", "2. Tartós fájdalomcsillapítás:", "3. Gyógytorna:", "4. Fizioterápia:",
        "5. Szociális tevékenységek szervezése:", "6. Diétás gondozás, tanácsadás:",
        "7. Mentálhigiénés gondozás, tanácsadás:", "8. Gyógyszerelés tervezése, ellenőrzése:"};
    Group g;
    Band head;
    head.line(0, 0.5, kWidth, 0.5, 0.3);
    head.cell({0, 2, kWidth, 5, "Ellátott tevékenységek száma:", Align::Center, 9, true});
    for (int k = 0; k < 8; ++k) pair(head, 20, 8 + k * 4.5, 90, activities[k], 25, huNumber(s.tv[k]), Align::Right);
    head.height = 8 + 8 * 4.5 + 1;
    head.underline(kWidth);
    g.header = head;
    Band foot;
    y = 2;
    const auto line = [&](const std::string& caption, const std::string& value, const char* unit) {
        pair(foot, 0, y, 100, caption, 30, value, Align::Right);
        foot.cell({132, y, 15, 4.5, unit, Align::Left, 9, false});
        y += 4.5;
    };
    line("Ellátott napok száma összesen:", huNumber(s.onsz), "db");
    line("Ebből területi pótlékkal ellátott napok száma összesen:", huNumber(s.tpnsz), "db");
    line("Ellátott napok forint összege összesen:", thousands(db::Decimal(s.mft, 0)), "eFt");
    line("Területi pótlék összege összesen:", thousands(s.mtpft), "eFt");
    y += 1.5;
    pair(foot, 0, y, 35, "Korrekciós napszám:", 15, huNumber(s.knap), Align::Right, true);
    foot.cell({51, y, 8, 4.5, "db", Align::Left, 9, false});
    pair(foot, 62, y, 35, "Sztornózott napszám:", 15, huNumber(s.snap), Align::Right, true);
    foot.cell({113, y, 8, 4.5, "db", Align::Left, 9, false});
    pair(foot, 124, y, 40, "Pótjelentés napszám:", 15, huNumber(s.pnap), Align::Right, true);
    foot.cell({180, y, 8, 4.5, "db", Align::Left, 9, false});
    y += 8;
    pair(foot, 0, y, 15, "Dátum:", 40, s.closing);
    foot.cell({80, y + 8, 20, 4, "P.H.", Align::Center, 8, false});
    foot.line(120, y + 12, kWidth, y + 12, 0.2);
    foot.cell({120, y + 13, 70, 4, "Szolgáltató cégszerű aláírása", Align::Center, 8, false});
    foot.height = y + 18;
    g.footer = foot;
    // The totals are the report: a row carries them past the empty-report test.
    g.rows.push_back(Band{});
    r.groups.push_back(std::move(g));
    return r;
}

Report monthlyAccountingReport(const MonthlyAccounting& a, const std::string& printedAt) {
    Report r;
    r.title = accountingTitle(a.period);
    Band& h = r.pageHeader;
    pageTop(h);
    h.cell({0, 6, kWidth, 6, "Havi összesítő az elszámolt napokról " + a.period + ". hónapban", Align::Center, 12,
            true});
    pair(h, 0, 14, 35, "Szolgáltató kódja:", 30, a.intkod);
    pair(h, 10, 18.5, 25, "neve:", 150, a.inte);
    const double y1 = 25, y2 = 29;
    const auto heading = [&](double x, double y, double w, const char* t, Align al = Align::Left) {
        h.cell({x, y, w, 4, t, al, 8, true});
    };
    heading(0, y1, 18, "Lap-sorsz.");
    heading(19, y1, 60, "Beteg");
    heading(19, y2, 20, "TAJ-száma");
    heading(40, y2, 45, "neve");
    heading(86, y1, 20, "Jelentés ideje");
    heading(107, y1, 22, "Alapdíj Ft", Align::Right);
    heading(130, y1, 16, "Napok", Align::Right);
    heading(130, y2, 16, "száma", Align::Right);
    heading(147, y1, 12, "Ter. pótl.", Align::Center);
    heading(160, y1, 30, "Elszámolt Ft", Align::Right);
    h.height = y2 + 5;
    h.underline(kWidth);
    r.pageFooter = listFooter(r, printedAt);
    Group g;
    for (const AccountingRow& row : a.rows) {
        Band b;
        b.cell({0, 0, 18, 4.5, row.lap, Align::Left, 8, false});
        b.cell({19, 0, 20, 4.5, row.taj, Align::Left, 8, false});
        b.cell({40, 0, 45, 4.5, row.nev, Align::Left, 8, false});
        b.cell({86, 0, 20, 4.5, row.idoszak, Align::Left, 8, false});
        b.cell({107, 0, 22, 4.5, huMoney(row.alapdij, 1), Align::Right, 8, false});
        b.cell({130, 0, 16, 4.5, huNumber(row.inap), Align::Right, 8, false});
        b.cell({147, 0, 12, 4.5, row.tpotl ? "+10%" : "", Align::Center, 8, false});
        b.cell({160, 0, 30, 4.5, huMoney(row.value, 1) + "   Ft", Align::Right, 8, false});
        g.rows.push_back(b);
    }
    r.groups.push_back(std::move(g));
    Band total;
    total.line(130, 0.5, kWidth, 0.5, 0.3);
    total.cell({86, 1.5, 40, 4.5, "Mindösszesen:", Align::Left, 9, true});
    total.cell({130, 1.5, 16, 4.5, huNumber(a.mnap), Align::Right, 9, true});
    total.cell({150, 1.5, 40, 4.5, thousands(a.total) + " eFt", Align::Right, 9, true});
    r.summary = total;
    return r;
}

} // namespace velmora::reports
