// "history": the history of the sheets as tab-separated text, one line per
// changed field (a change without fields, one line with its note).
#include "batch_run.h"

#include "app/Date.h"
#include "store/HistoryRead.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <iostream>

namespace velmora::batch {

namespace history = store::history;

void validateHistory(const Options& o) {
    if (o.sheet && !parseSheetKey(*o.sheet))
        throw UsageError{"Hibás lap: " + *o.sheet + " (ÉÉÉÉ.HH/SORSZ[RÉSZ] alakú kell, pl. 2024.03/00012A)."};
    for (const auto& day : {o.from, o.to})
        if (day && !app::Date::parse(*day))
            throw UsageError{"Hibás nap: " + *day + " (ÉÉÉÉ.HH.NN alakú kell)."};
    if (o.sheet && (o.from || o.to)) throw UsageError{"A --sheet mellé nem kell --from és --to."};
}

namespace {

// Tabs and line breaks inside a value would break the columns.
std::string cell(std::string s) {
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s;
}

void print(const history::HistoryEntry& e) {
    const std::string head = std::to_string(e.sor) + "\t" + e.ido + "\t" + cell(e.felh) + "\t" + e.verzio + "\t" +
                             e.muvelet + "\t" + e.sheet() + "\t" + e.taj + "\t";
    for (const history::FieldChange& c : e.text.changes)
        std::cout << head << c.field << "\t" << cell(c.before) << "\t" << cell(c.after) << "\t\n";
    if (!e.text.note.empty() || e.text.changes.empty()) std::cout << head << "\t\t\t" << cell(e.text.note) << "\n";
}

} // namespace

int historyCommand(Run& run) {
    const db::Table& table = store::tableOf(run.db, store::schema::ELOZMENY());
    std::vector<history::HistoryEntry> entries;
    if (run.options.sheet) {
        const sheets::SheetKey key = *parseSheetKey(*run.options.sheet);
        entries = history::sheetHistory(table, key.idoszak, key.sorsz, key.resz);
    } else {
        history::HistoryFilter filter;
        filter.fromDay = run.options.from.value_or("");
        filter.toDay = run.options.to.value_or("");
        entries = history::readHistory(table, filter);
    }
    std::cout << "Sor\tIdő\tFelhasználó\tVerzió\tMűvelet\tLap\tTAJ\tMező\tRégi érték\tÚj érték\tMegjegyzés\n";
    for (const history::HistoryEntry& e : entries) print(e);
    return exitCode(std::nullopt, run.console);
}

} // namespace velmora::batch
