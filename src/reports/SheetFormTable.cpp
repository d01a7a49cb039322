// The printed sheets as values: a line per sheet with its main fields.
#include "reports/SheetForm.h"

namespace velmora::reports {

DataTable sheetFormTable(const std::vector<SheetForm>& forms) {
    DataTable t;
    t.title = kSheetFormTitle;
    t.column("Sorszám", 8)
        .column("Jelentési időszak", 9)
        .column("Szolgáltató kódja", 9)
        .column("Finanszírozási kód", 11)
        .column("Beteg TAJ-száma", 11)
        .column("Beteg neve", 30)
        .column("Neme", 6)
        .column("Címe", 40)
        .column("Születési helye", 20)
        .column("Születési ideje", 11)
        .column("Területi pótlék", 8)
        .column("Alapbetegség", 8)
        .column("Fődiagnózis", 8)
        .column("Az ápolásba vétel időpontja", 11)
        .column("Lezárás/megszakítás időpontja", 11)
        .column("Elrendelt napok száma", 9)
        .column("Eddig elszámolt napok száma", 9)
        .column("A napok száma összesen", 9);
    for (int k = 1; k <= 8; ++k) t.column(std::to_string(k) + ". tevékenység", 6);
    for (const SheetForm& f : forms) {
        std::vector<Cell> row{Cell::of(f.sorsz + f.resz), Cell::of(f.idoszak),   Cell::of(f.intkod),
                              Cell::of(f.finkod),         Cell::of(f.taj),       Cell::of(f.nev),
                              Cell::of(f.neme),           Cell::of(f.bcim),      Cell::of(f.szulh),
                              Cell::date(f.szuli),        Cell::of(f.tpotl),     Cell::of(f.diagnoses[1].code),
                              Cell::of(f.diagnoses[3].code), Cell::date(f.szakvet), Cell::date(f.lezdat),
                              Cell::of(f.elvizdb),        Cell::of(f.elszviz),   Cell::of(f.sznap)};
        for (const int n : f.tv) row.push_back(Cell::of(n));
        t.rows.push_back(std::move(row));
    }
    return t;
}

} // namespace velmora::reports
