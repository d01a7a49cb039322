// The monthly summary and accounting as values for a spreadsheet.
#include "reports/Monthly.h"
#include "reports/Numbers.h"

namespace velmora::reports {

DataTable monthlySummaryTable(const MonthlySummary& s) {
    DataTable t;
    t.title = summaryTitle(s.period);
    t.column("Megnevezés", 50).column("Érték", 40).column("Egység", 8);
    const auto line = [&t](const std::string& what, Cell value, const char* unit = "") {
        std::vector<Cell>& row = t.row();
        row[0] = Cell::of(what);
        row[1] = std::move(value);
        row[2] = Cell::of(unit);
    };
    const bool varo = s.firstIdoszak >= "2017.01";
    line(varo ? "Szolgáltató VARO kódja" : "Szolgáltató KAB kódja", Cell::of(s.provider.intkod));
    line("Megyekód és megnevezése", Cell::of(s.provider.megye + " " + s.provider.county));
    line(varo ? "Szolgáltató VARO szerződésszáma" : "Szolgáltató KAB szerződésszáma", Cell::of(s.szszam));
    line("Szolgáltató megnevezése", Cell::of(s.provider.inte));
    line("Szolgáltató címe", Cell::of(s.provider.szcim));
    line("Szolgáltató telefonja", Cell::of(s.provider.telsz));
    line("Elszámolási időszak", Cell::of(s.period));
    line("\"Egyéni elszámolási lap\"-ok száma", Cell::of(s.lapszam), "db");
    line("\"Hospice elrendelő lap\"-ok száma", Cell::of(s.oszam), "db");
    static const char* const activities[] = {
        "1. Szakápolás", "2. Tartós fájdalomcsillapítás", "3. Gyógytorna", "4. Fizioterápia",
        "5. Szociális tevékenységek szervezése", "6. Diétás gondozás, tanácsadás",
        "7. Mentálhigiénés gondozás, tanácsadás", "8. Gyógyszerelés tervezése, ellenőrzése"};
    for (int k = 0; k < 8; ++k) line(activities[k], Cell::of(s.tv[size_t(k)]), "db");
    line("Ellátott napok száma összesen", Cell::of(s.onsz), "db");
    line("Ebből területi pótlékkal ellátott napok száma összesen", Cell::of(s.tpnsz), "db");
    line("Ellátott napok forint összege összesen", Cell::of(s.mft), "Ft");
    line("Területi pótlék összege összesen", Cell::of(s.mtpft), "Ft");
    line("Korrekciós napszám", Cell::of(s.knap), "db");
    line("Sztornózott napszám", Cell::of(s.snap), "db");
    line("Pótjelentés napszám", Cell::of(s.pnap), "db");
    line("Dátum", Cell::date(s.closing));
    return t;
}

DataTable monthlyAccountingTable(const MonthlyAccounting& a) {
    DataTable t;
    t.title = accountingTitle(a.period);
    t.column("Lap-sorszám", 11)
        .column("Beteg TAJ-száma", 11)
        .column("Beteg neve", 30)
        .column("Jelentés ideje", 10)
        .column("Alapdíj Ft", 11)
        .column("Napok száma", 8)
        .column("Ter. pótl.", 8)
        .column("Elszámolt Ft", 13);
    // Forints with the decimal the printed list shows.
    for (const AccountingRow& r : a.rows)
        t.rows.push_back({Cell::of(r.lap), Cell::of(r.taj), Cell::of(r.nev), Cell::of(r.idoszak), Cell::of(roundedTo(r.alapdij, 1)),
                          Cell::of(r.inap), Cell::of(r.tpotl ? "+10%" : ""), Cell::of(roundedTo(r.value, 1))});
    return t;
}

} // namespace velmora::reports
