#include "check/HistoryCheck.h"

#include "store/HistoryChain.h"

namespace velmora::check {
namespace {

namespace history = store::history;

std::vector<history::ChainRow> rowsOf(const TableImage& t) {
    const auto column = [&](const char* name) { return t.fieldIndex(name); };
    // As the engine reads them: leading blanks are data.
    const auto text = [&](uint32_t r, int f) { return f < 0 ? std::string() : t.value(r, f).asString(); };
    const int sor = column("Sor"), ido = column("Ido"), felh = column("Felh"), verzio = column("Verzio"),
              muvelet = column("Muvelet"), idoszak = column("Idoszak"), sorsz = column("Sorsz"), resz = column("Resz"),
              taj = column("Taj"), folyt = column("Folyt"), valtozas = column("Valtozas"), hash = column("Hash");
    std::vector<history::ChainRow> rows;
    rows.reserve(t.recordCount());
    for (uint32_t r = 0; r < t.recordCount(); ++r) {
        history::ChainRow c;
        c.deleted = t.isDeleted(r);
        c.row.sor = sor < 0 ? 0 : t.value(r, sor).asInt();
        c.row.ido = text(r, ido);
        c.row.felh = text(r, felh);
        c.row.verzio = text(r, verzio);
        c.row.muvelet = text(r, muvelet);
        c.row.idoszak = text(r, idoszak);
        c.row.sorsz = text(r, sorsz);
        c.row.resz = text(r, resz);
        c.row.taj = text(r, taj);
        c.row.folyt = folyt < 0 ? 0 : static_cast<int>(t.value(r, folyt).asInt());
        c.row.valtozas = text(r, valtozas);
        c.row.hash = text(r, hash);
        rows.push_back(std::move(c));
    }
    return rows;
}

std::optional<history::Anchor> anchorOf(const TableImage& t) {
    for (uint32_t r = 0; r < t.recordCount(); ++r) {
        if (t.isDeleted(r)) continue;
        history::Anchor a{t.text(r, t.fieldIndex("Azon")), t.value(r, t.fieldIndex("Sorok")).asInt(),
                          t.text(r, t.fieldIndex("Utolso"))};
        if (a.identifier.empty()) return std::nullopt;
        return a;
    }
    return std::nullopt;
}

} // namespace

void checkHistory(const TableImage& history, const TableImage* anchor, FileReport& report) {
    for (const char* field : {"Sor", "Muvelet", "Valtozas", "Hash"})
        if (history.fieldIndex(field) < 0) {
            report.problems.push_back(std::string("Az előzmények táblájából hiányzik a(z) ") + field +
                                      " mező: nem a program előzménytáblája.");
            return;
        }
    const std::vector<std::string> problems =
        history::verifyChain(rowsOf(history), anchor ? anchorOf(*anchor) : std::nullopt);
    report.problems.insert(report.problems.end(), problems.begin(), problems.end());
}

} // namespace velmora::check
