// The billing sheet form on paper: one group a sheet, on pages of its own;
// the form's top as the group header, the month's day table as its row, the
// totals and signatures as its footer.
#include "app/Version.h"
#include "reports/PageFrame.h"
#include "reports/SheetForm.h"

namespace velmora::reports {

namespace {

constexpr double kWidth = 190;  // A4 portrait between 10 mm margins

// A caption and its bold value on one line, from x.
void pair(Band& b, double x, double y, double captionW, const std::string& caption, double valueW,
          const std::string& value, double sizePt = 9) {
    b.cell({x, y, captionW, 4.5, caption, Align::Left, sizePt, false});
    b.cell({x + captionW, y, valueW, 4.5, value, Align::Left, sizePt, true});
}

Band formTop(const SheetForm& f) {
    Band b;
    const bool varo = f.idoszak >= "2017.01";
    b.cell({130, 0, 60, 4.5, "Sorszám: " + f.sorsz + f.resz, Align::Right, 9, true});
    b.cell({120, 4.5, 70, 4.5, "Jelentési időszak: " + f.idoszak, Align::Right, 9, true});
    b.cell({0, 10, kWidth, 6, "HOSPICE EGYÉNI ELSZÁMOLÁSI LAP", Align::Center, 10, true});
    double y = 18;
    pair(b, 0, y, 55, varo ? "Szolgáltató VARO kódja:" : "Szolgáltató KAB kódja:", 30, f.intkod);
    pair(b, 90, y, 45, "Megyekód és megnevezése:", 55, f.megye + " " + f.county);
    y += 4.5;
    pair(b, 0, y, 55, varo ? "Szolgáltató VARO szerződésszáma:" : "Szolgáltató KAB szerződésszáma:", 60, f.szszam);
    y += 4.5;
    pair(b, 10, y, 25, "megnevezése:", 95, f.inte);
    pair(b, 135, y, 15, "telefon:", 40, f.telsz);
    y += 4.5;
    pair(b, 10, y, 25, "címe:", 120, f.szcim);
    y += 4.5;
    pair(b, 10, y, 35, "finanszírozási kód", 40, f.finkod);
    y += 5.5;
    pair(b, 0, y, 50, "Az ellátásért felelős neve:", 140, f.felelos);
    y += 4.5;
    b.cell({0, y, 50, 4.5, "Ápolást végzők TAJ száma:", Align::Left, 9, false});
    for (int i = 0; i < 8; ++i) b.cell({50 + i * 17.5, y, 17.5, 4.5, f.aptaj[i], Align::Left, 8, true});
    y += 5.5;
    b.line(0, y, kWidth, y, 0.3);
    y += 1.5;
    pair(b, 0, y, 30, "A beteg neve:", 110, f.nev, 8);
    pair(b, 145, y, 15, "Neme:", 30, f.neme, 8);
    y += 4.2;
    pair(b, 10, y, 20, "címe:", 150, f.bcim, 8);
    y += 4.2;
    pair(b, 0, y, 30, "TAJ-száma:", 40, f.taj, 8);
    y += 4.2;
    pair(b, 0, y, 30, "születési helye:", 100, f.szulh, 8);
    pair(b, 145, y, 15, "ideje:", 30, f.szuli, 8);
    y += 4.2;
    pair(b, 0, y, 30, "Területi pótlék:", 15, f.tpotl, 8);
    if (f.idoszak >= "2016.01") {
        pair(b, 50, y, 28, "Azonosító típus:", 10, f.aztip, 8);
        pair(b, 90, y, 32, "Térítési kategória:", 10, f.terkat, 8);
        pair(b, 135, y, 27, "Állampolgárság:", 15, f.allamp, 8);
    }
    y += 5.2;
    b.line(0, y, kWidth, y, 0.3);
    y += 1.5;
    for (const Diagnosis& d : f.diagnoses) {
        b.cell({0, y, 80, 4.5, d.caption, Align::Left, 8, false});
        b.cell({80, y, 15, 4.5, d.code, Align::Left, 8, true});
        b.cell({95, y, 95, 4.5, d.name, Align::Left, 8, false, false, false, true});
        y += 4.5;
    }
    y += 1;
    pair(b, 0, y, 55, "Az ápolásba vétel időpontja:", 30, f.szakvet);
    y += 4.5;
    pair(b, 0, y, 55, "Lezárás/megszakítás időpontja:", 30, f.lezdat);
    y += 4.5;
    b.cell({0, y, 45, 4.5, "Elrendelt napok száma:", Align::Left, 9, false});
    b.cell({45, y, 12, 4.5, std::to_string(f.elvizdb), Align::Right, 9, true});
    b.cell({90, y, 55, 4.5, "Eddig elszámolt napok száma:", Align::Left, 9, false});
    b.cell({145, y, 12, 4.5, std::to_string(f.elszviz), Align::Right, 9, true});
    y += 6;
    b.cell({0, y, kWidth, 5, "Az ellátás megoszlása tevékenységek szerint", Align::Center, 9, true});
    b.height = y + 6;
    return b;
}

// Days 1-16 on the left, 17-31 on the right.
Band dayTable(const SheetForm& f) {
    Band b;
    for (const double x : {0.0, 97.0}) {
        b.cell({x, 0, 22, 4.5, "Nap", Align::Left, 8, true});
        b.cell({x + 24, 0, 38, 4.5, "Tevékenységek", Align::Left, 8, true});
        b.cell({x + 63, 0, 30, 4.5, "Ápoló TAJ száma", Align::Left, 8, true});
    }
    b.line(0, 5, kWidth, 5, 0.2);
    for (int d = 0; d < 31; ++d) {
        const double x = d < 16 ? 0 : 97;
        const double y = 6 + (d < 16 ? d : d - 16) * 4.5;
        const FormDay& day = f.days[d];
        b.cell({x, y, 22, 4.5, day.date, Align::Left, 8, false});
        b.cell({x + 24, y, 38, 4.5, day.tev, Align::Left, 8, false});
        b.cell({x + 63, y, 30, 4.5, day.nurse, Align::Left, 8, false});
    }
    b.height = 6 + 16 * 4.5 + 1;
    return b;
}

Band formFoot(const SheetForm& f, const std::string& today) {
    Band b;
    b.line(0, 0.5, kWidth, 0.5, 0.3);
    b.cell({0, 2, 50, 4.5, "A napok száma összesen:", Align::Left, 9, false});
    b.cell({50, 2, 12, 4.5, std::to_string(f.sznap), Align::Right, 9, true});
    b.cell({0, 7.5, 80, 4.5, "Elvégzett tevékenységek összesen:", Align::Left, 9, false});
    for (int k = 0; k < 8; ++k) {
        b.cell({k * 23.5, 12, 12, 4.5, std::to_string(k + 1) + ".tev", Align::Left, 8, false});
        b.cell({k * 23.5 + 11, 12, 9, 4.5, std::to_string(f.tv[k]), Align::Right, 8, true});
    }
    b.cell({0, 19, 15, 4.5, "Dátum:", Align::Left, 9, false});
    b.cell({15, 19, 30, 4.5, today, Align::Left, 9, false});
    b.line(0, 33, 70, 33, 0.2);
    b.line(120, 33, kWidth, 33, 0.2);
    b.cell({0, 34, 70, 4, "Szolgáltató cégszerű aláírása", Align::Center, 8, false});
    b.cell({85, 30, 20, 4, "P.H.", Align::Center, 8, false});
    b.cell({120, 34, 70, 4, "Ellátást végző(k) aláírása", Align::Center, 8, false});
    return b;
}

} // namespace

Report sheetFormReport(const std::vector<SheetForm>& forms, const std::string& today, const std::string& printedAt) {
    Report r;
    r.title = kSheetFormTitle;
    r.pageHeader.cell({0, 0, 50, 4, "Velmora", Align::Left, 8, false});
    r.pageHeader.cell({140, 0, 50, 4, std::string("Verzió: v ") + app::kVersion, Align::Right, 8, false});
    r.pageHeader.height = 6;
    r.pageFooter = listFooter(r, printedAt);
    for (const SheetForm& f : forms) {
        Group g;
        g.newPage = true;
        g.header = formTop(f);
        g.rows.push_back(dayTable(f));
        g.footer = formFoot(f, today);
        r.groups.push_back(std::move(g));
    }
    return r;
}

} // namespace velmora::reports
