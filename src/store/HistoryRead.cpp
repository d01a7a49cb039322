#include "store/HistoryRead.h"

#include "store/History.h"
#include "store/HistoryChain.h"

#include <algorithm>
#include <set>

namespace velmora::store::history {
namespace {

std::string text(const db::Table& t, uint32_t r, int c) { return t.valueAt(r, c).asString(); }

HistoryEntry entryAt(const db::Table& t, uint32_t r) {
    const StoredRow row = readRow(t, r);
    HistoryEntry e;
    e.sor = row.sor;
    e.ido = row.ido;
    e.felh = row.felh;
    e.verzio = row.verzio;
    e.muvelet = row.muvelet;
    e.idoszak = row.idoszak;
    e.sorsz = row.sorsz;
    e.resz = row.resz;
    e.taj = row.taj;
    return e;
}

bool continues(const db::Table& t, uint32_t r) { return t.valueAt(r, kFolyt).asInt() > 0; }

// The change's whole text: its row and the rows that continue it.
std::string wholeText(const db::Table& t, uint32_t r) {
    std::string s = text(t, r, kValtozas);
    for (uint32_t next = r + 1, n = t.physicalCount(); next < n && !t.isDeletedAt(next) && continues(t, next); ++next)
        s += text(t, next, kValtozas);
    return s;
}

bool chosen(const db::Table& t, uint32_t r, const HistoryFilter& f) {
    if (t.isDeletedAt(r) || continues(t, r)) return false;
    if (!f.action.empty() && text(t, r, kMuvelet) != f.action) return false;
    if (!f.fromPeriod.empty() || !f.toPeriod.empty()) {
        const std::string p = text(t, r, kIdoszak);
        if (p.empty() || (!f.fromPeriod.empty() && p < f.fromPeriod) || (!f.toPeriod.empty() && p > f.toPeriod))
            return false;
    }
    if (!f.taj.empty() && text(t, r, kTaj) != f.taj) return false;
    if (!f.user.empty() && text(t, r, kFelh) != f.user) return false;
    if (!f.fromDay.empty() || !f.toDay.empty()) {
        const std::string day = text(t, r, kIdo).substr(0, 10);
        if ((!f.fromDay.empty() && day < f.fromDay) || (!f.toDay.empty() && day > f.toDay)) return false;
    }
    return true;
}

HistoryEntry readEntry(const db::Table& t, uint32_t r) {
    HistoryEntry e = entryAt(t, r);
    e.text = decode(wholeText(t, r));
    return e;
}

// The first rows of the changes of one key, in physical order.
std::vector<uint32_t> rowsOfKey(const db::Table& t, const std::string& idoszak, const std::string& sorsz,
                                const std::string& resz) {
    std::vector<uint32_t> candidates;
    if (const db::IndexTag* tag = t.index("Elo1")) {
        candidates = t.seek(*tag, {db::Value(idoszak), db::Value(sorsz)});
    } else {
        candidates.resize(t.physicalCount());
        for (uint32_t r = 0; r < candidates.size(); ++r) candidates[r] = r;
    }
    std::vector<uint32_t> found;
    for (uint32_t r : candidates)
        if (!t.isDeletedAt(r) && !continues(t, r) && text(t, r, kIdoszak) == idoszak && text(t, r, kSorsz) == sorsz &&
            text(t, r, kResz) == resz)
            found.push_back(r);
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

std::string HistoryEntry::sheet() const { return idoszak.empty() ? std::string() : idoszak + "/" + sorsz + resz; }

std::vector<HistoryEntry> readHistory(const db::Table& t, const HistoryFilter& filter) {
    std::vector<HistoryEntry> out;
    for (uint32_t r = 0, n = t.physicalCount(); r < n; ++r)
        if (chosen(t, r, filter)) out.push_back(readEntry(t, r));
    return out;
}

std::vector<HistoryEntry> sheetHistory(const db::Table& t, const std::string& idoszak, const std::string& sorsz,
                                       const std::string& resz) {
    std::vector<HistoryEntry> out;
    std::set<std::string> followed;
    struct Key {
        std::string resz;
        int64_t before;  // only changes older than this row (a conversion away from the key)
    };
    std::vector<Key> keys = {{resz, INT64_MAX}};
    while (!keys.empty()) {
        const Key key = keys.back();
        keys.pop_back();
        for (uint32_t r : rowsOfKey(t, idoszak, sorsz, key.resz)) {
            HistoryEntry e = readEntry(t, r);
            if (e.sor >= key.before) continue;
            if (e.muvelet == kConvert)
                for (const FieldChange& c : e.text.changes)
                    if (c.field == "RESZ" && c.before != key.resz && followed.insert(c.before).second)
                        keys.push_back({c.before, e.sor});
            out.push_back(std::move(e));
        }
    }
    std::sort(out.begin(), out.end(), [](const HistoryEntry& a, const HistoryEntry& b) { return a.sor < b.sor; });
    return out;
}

std::vector<std::string> historyUsers(const db::Table& t) {
    std::set<std::string> users;
    for (uint32_t r = 0, n = t.physicalCount(); r < n; ++r)
        if (!t.isDeletedAt(r) && !continues(t, r)) users.insert(text(t, r, kFelh));
    users.erase("");
    return {users.begin(), users.end()};
}

} // namespace velmora::store::history
