// The TAJ check lists on landscape A4: a group a patient, two lines a sheet
// part, the patient's totals, "Lista vége" at the end.
#include "app/Version.h"
#include "reports/Numbers.h"
#include "reports/PageFrame.h"
#include "reports/TajLists.h"

namespace velmora::reports {

namespace {

// Columns, mm from the left margin.
constexpr double kTaj = 0, kGyak = 22, kKezdet = 53, kIdoszak = 76, kLap = 99, kBno = 120, kNev = 135, kNap = 206,
                 kTev = 222, kTevW = 6.8;
constexpr double kLine = 4.2;

TextItem at(double x, double y, double w, std::string t, Align a = Align::Left, double size = 8, bool bold = false,
            bool italic = false) {
    TextItem item{x, y, w, kLine, std::move(t), a, size, bold};
    item.italic = italic;
    return item;
}

// An activity count as the list shows it: nothing for 0.
std::string count(int n) { return n == 0 ? std::string() : huNumber(n); }

Band header(const Report& r, const std::string& title) {
    const double width = r.printableWidth();
    Band b;
    b.cell(at(0, 0, 60, "Velmora", Align::Left, 8));
    b.cell(at(width - 60, 0, 60, std::string("Verzió: v ") + app::kVersion, Align::Right, 8));
    b.cell({0, 5, width, 5, title, Align::Center, 10, true});
    const double y1 = 12, y2 = 12 + kLine;
    b.cell(at(kTaj, y1, 22, "TAJ-szám", Align::Left, 8, true));
    b.cell(at(kGyak, y1, 30, "Beteg neve", Align::Left, 8, true));
    b.cell(at(kGyak, y2, 30, "/ Gyakoriság", Align::Left, 8, true));
    b.cell(at(kKezdet, y2, 22, "Kezdet", Align::Left, 8, true));
    b.cell(at(kIdoszak, y1, 22, "Időszak", Align::Left, 8, true));
    b.cell(at(kIdoszak, y2, 22, "/ Lezárás", Align::Left, 8, true));
    b.cell(at(kLap, y1, 20, "Lap /", Align::Left, 8, true));
    b.cell(at(kLap, y2, 20, "Elrendelés szám", Align::Left, 7, true));
    b.cell(at(kBno, y1, 14, "BNO 1", Align::Left, 8, true));
    b.cell(at(kBno, y2, 14, "BNO 2", Align::Left, 8, true));
    b.cell(at(kNev, y1, 70, "Megnevezés", Align::Left, 8, true));
    b.cell(at(kNap, y1, 15, "Összes", Align::Right, 8, true));
    b.cell(at(kNap, y2, 15, "nap-szám", Align::Right, 8, true));
    b.cell(at(kTev, y1, 8 * kTevW, "Tevékenységek megoszlása", Align::Center, 7, true));
    for (int k = 0; k < 8; ++k) b.cell(at(kTev + k * kTevW, y2, kTevW, std::to_string(k + 1) + ".", Align::Right, 8, true));
    b.height = y2 + kLine + 1;
    return b.underline(width);
}

Band sheetLines(const TajSheet& s) {
    Band b;
    b.cell(at(kLap, 0, 20, s.sorsz + s.resz));
    b.cell(at(kIdoszak, 0, 22, s.idoszak));
    b.cell(at(kBno, 0, 14, s.bnoab));
    b.cell(at(kNev, 0, 70, s.bnoabName, Align::Left, 8, false, true));
    b.cell(at(kNap, 0, 15, huNumber(s.sznap), Align::Right));
    for (int k = 0; k < 8; ++k) b.cell(at(kTev + k * kTevW, 0, kTevW, count(s.viz[k]), Align::Right));
    b.cell(at(kGyak, kLine, 30, s.gyak));
    b.cell(at(kKezdet, kLine, 22, s.szakvet));
    b.cell(at(kIdoszak, kLine, 22, s.lezdat));
    b.cell(at(kLap, kLine, 20, std::to_string(s.elszam), Align::Center));
    b.cell(at(kBno, kLine, 14, s.bnofo));
    b.cell(at(kNev, kLine, 70, s.bnofoName, Align::Left, 8, false, true));
    b.height = 2 * kLine + 0.8;
    return b;
}

Band patientTotals(const TajPatient& p) {
    Band b;
    b.line(kNap, 0.3, kTev + 8 * kTevW, 0.3, 0.2);
    b.cell(at(kNap, 0.6, 15, huNumber(p.sznap), Align::Right, 8, true));
    for (int k = 0; k < 8; ++k) b.cell(at(kTev + k * kTevW, 0.6, kTevW, count(p.tviz[k]), Align::Right, 8, true));
    b.height += 1.5;
    return b;
}

} // namespace

Report tajListReport(const TajList& list, const std::string& printedAt) {
    Report r;
    r.orientation = Orientation::Landscape;
    r.title = kTajListTitle;
    r.pageHeader = header(r, list.title);
    r.pageFooter = listFooter(r, printedAt);
    for (const TajPatient& p : list.patients) {
        Group g;
        Band head;
        head.cell(at(kTaj, 1, 22, p.taj, Align::Left, 9, true));
        head.cell(at(kGyak, 1, 100, p.nev, Align::Left, 9, true));
        head.height += 1;
        g.header = head;
        for (const TajSheet& s : p.sheets) g.rows.push_back(sheetLines(s));
        g.footer = patientTotals(p);
        r.groups.push_back(std::move(g));
    }
    Band end;
    end.cell(at(0, 2, 60, "Lista vége", Align::Left, 9, true));
    r.summary = end;
    return r;
}

} // namespace velmora::reports
