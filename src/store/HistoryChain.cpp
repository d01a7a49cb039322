#include "store/HistoryChain.h"

#include "db/Sha256.h"
#include "store/HistoryText.h"

#include <regex>

namespace velmora::store::history {
namespace {

std::string text(const db::Table& t, uint32_t r, int column) { return t.valueAt(r, column).asString(); }

std::string rowName(const StoredRow& row, uint32_t recno) {
    return "Az előzmények " + std::to_string(row.sor) + ". sora (a tábla " + std::to_string(recno + 1) + ". rekordja)";
}

} // namespace

StoredRow readRow(const db::Table& t, uint32_t r) {
    StoredRow row;
    row.sor = t.valueAt(r, kSor).asInt();
    row.ido = text(t, r, kIdo);
    row.felh = text(t, r, kFelh);
    row.verzio = text(t, r, kVerzio);
    row.muvelet = text(t, r, kMuvelet);
    row.idoszak = text(t, r, kIdoszak);
    row.sorsz = text(t, r, kSorsz);
    row.resz = text(t, r, kResz);
    row.taj = text(t, r, kTaj);
    row.folyt = static_cast<int>(t.valueAt(r, kFolyt).asInt());
    row.valtozas = text(t, r, kValtozas);
    row.hash = text(t, r, kHash);
    return row;
}

std::vector<db::Value> rowValues(const StoredRow& row) {
    auto textOrNull = [](const std::string& s) { return s.empty() ? db::Value() : db::Value(s); };
    return {db::Value(row.sor),        textOrNull(row.ido),     textOrNull(row.felh),    textOrNull(row.verzio),
            textOrNull(row.muvelet),   textOrNull(row.idoszak), textOrNull(row.sorsz),   textOrNull(row.resz),
            textOrNull(row.taj),       db::Value(row.folyt),    textOrNull(row.valtozas), textOrNull(row.hash)};
}

std::string seedHash(const std::string& identifier) { return db::sha256Hex("Velmora előzmények\x1f" + identifier); }

std::string rowHash(const std::string& previous, const StoredRow& row) {
    std::string content = previous;
    for (const std::string* s : {&row.ido, &row.felh, &row.verzio, &row.muvelet, &row.idoszak, &row.sorsz, &row.resz,
                                 &row.taj, &row.valtozas}) {
        content += '\x1f';
        content += *s;
    }
    content += '\x1f' + std::to_string(row.sor) + '\x1f' + std::to_string(row.folyt);
    return db::sha256Hex(content);
}

std::optional<Anchor> readAnchor(const db::Table& t) {
    for (uint32_t r = 0, n = t.physicalCount(); r < n; ++r) {
        if (t.isDeletedAt(r)) continue;
        Anchor a;
        a.identifier = t.valueAt(r, 0).asString();
        a.rows = t.valueAt(r, 1).asInt();
        a.lastHash = t.valueAt(r, 2).asString();
        if (a.identifier.empty()) return std::nullopt;
        return a;
    }
    return std::nullopt;
}

std::string identifierNote(const std::string& identifier) { return "(azonosító: " + identifier + ")"; }

std::string identifierIn(const std::string& text) {
    static const std::regex pattern(R"(\(azonosító: ([0-9a-f]{32})\))");
    std::smatch m;
    return std::regex_search(text, m, pattern) ? m[1].str() : std::string();
}

bool startsChain(const StoredRow& row) {
    return row.folyt == 0 && !identifierIn(row.valtozas).empty() &&
           (row.muvelet == kStarted || row.muvelet == kRestarted || row.muvelet == kRestore);
}

std::vector<ChainRow> chainRows(const db::Table& history) {
    std::vector<ChainRow> rows;
    rows.reserve(history.physicalCount());
    for (uint32_t r = 0, n = history.physicalCount(); r < n; ++r)
        rows.push_back({history.isDeletedAt(r), readRow(history, r)});
    return rows;
}

std::vector<std::string> verifyChain(const std::vector<ChainRow>& rows, const std::optional<Anchor>& anchor) {
    std::vector<std::string> problems;
    if (!anchor) {
        problems.push_back("Az előzmények láncának vége (Elozveg.dbf) hiányzik vagy üres: nem tudható, "
                           "hiányzik-e sor az előzmények végéről.");
    }
    std::string previous;
    int64_t expected = 1;
    bool first = true;
    const uint32_t count = static_cast<uint32_t>(rows.size());
    for (uint32_t r = 0; r < count; ++r) {
        const StoredRow& row = rows[r].row;
        const std::string name = rowName(row, r);
        if (rows[r].deleted) {
            problems.push_back(name + " törlésre van jelölve: a program előzménysort sosem töröl, a sort a programon "
                                      "kívül törölték.");
            return problems;
        }
        if (startsChain(row)) {
            const std::string id = identifierIn(row.valtozas);
            if (anchor && id != anchor->identifier) {
                problems.push_back(name + " egy másik adatkönyvtár előzményeit kezdi (azonosító: " + id +
                                   "): az előzmények tábláját máshonnan hozták ide.");
                return problems;
            }
            if (row.muvelet == kRestarted)
                problems.push_back(name + " szerint az előzmények egy része elveszett, a lánc újrakezdődött (" +
                                   row.ido + "): " + decode(row.valtozas).note);
            if (first || row.muvelet == kRestarted) {
                previous = seedHash(id);
                expected = row.sor;
            }
        } else if (first) {
            problems.push_back(name + " az előzmények első sora, de nem a lánc kezdete: az előtte lévő sorokat a "
                                      "programon kívül eltávolították.");
            return problems;
        }
        first = false;
        if (row.sor > expected) {
            problems.push_back("Az előzmények " + std::to_string(expected) + "–" + std::to_string(row.sor - 1) +
                               ". sora hiányzik (a tábla " + std::to_string(r + 1) +
                               ". rekordja előtt): a programon kívül eltávolították.");
            return problems;
        }
        if (row.sor < expected) {
            problems.push_back(name + " nem a sorszáma szerinti helyén áll: a programon kívül került a táblába.");
            return problems;
        }
        if (rowHash(previous, row) != row.hash) {
            problems.push_back(name + " tartalma nem egyezik a láncba fűzött ellenőrző összeggel: a programon kívül "
                                      "megváltoztatták, vagy a programon kívül került a táblába.");
            return problems;
        }
        previous = row.hash;
        ++expected;
    }
    if (!anchor) return problems;
    const int64_t last = expected - 1;
    if (anchor->rows > last) {
        problems.push_back("Az előzmények " + std::to_string(last + 1) + "–" + std::to_string(anchor->rows) +
                           ". sora hiányzik a tábla végéről: a programon kívül eltávolították.");
    } else if (anchor->rows < last) {
        problems.push_back("Az előzmények " + std::to_string(anchor->rows + 1) + "–" + std::to_string(last) +
                           ". sora a programon kívül került a tábla végére.");
    } else if (anchor->lastHash != (last == 0 ? anchor->lastHash : previous)) {
        problems.push_back("Az előzmények utolsó, " + std::to_string(last) +
                           ". sora nem az, amelyet a program írt: a programon kívül kicserélték.");
    }
    return problems;
}

} // namespace velmora::store::history
