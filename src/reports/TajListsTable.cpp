// The TAJ check list as values: a line per sheet part, each with its
// patient, so a spreadsheet can sort and filter them.
#include "reports/TajLists.h"

namespace velmora::reports {

DataTable tajListTable(const TajList& list) {
    DataTable t;
    t.title = kTajListTitle;
    t.column("TAJ-szám", 11)
        .column("Beteg neve", 30)
        .column("Lap", 8)
        .column("Időszak", 9)
        .column("Gyakoriság", 15)
        .column("Kezdet", 11)
        .column("Lezárás", 11)
        .column("Elrendelés szám", 9)
        .column("BNO 1", 7)
        .column("BNO 1 megnevezése", 40)
        .column("BNO 2", 7)
        .column("BNO 2 megnevezése", 40)
        .column("Összes napszám", 9);
    for (int k = 1; k <= 8; ++k) t.column(std::to_string(k) + ". tevékenység", 6);
    for (const TajPatient& p : list.patients)
        for (const TajSheet& s : p.sheets) {
            std::vector<Cell> row{Cell::of(p.taj),       Cell::of(p.nev),       Cell::of(s.sorsz + s.resz),
                                  Cell::of(s.idoszak),   Cell::of(s.gyak),      Cell::date(s.szakvet),
                                  Cell::date(s.lezdat),  Cell::of(s.elszam),    Cell::of(s.bnoab),
                                  Cell::of(s.bnoabName), Cell::of(s.bnofo),     Cell::of(s.bnofoName),
                                  Cell::of(s.sznap)};
            for (const int n : s.viz) row.push_back(Cell::of(n));
            t.rows.push_back(std::move(row));
        }
    return t;
}

} // namespace velmora::reports
