#include "sheets/SheetHistory.h"

#include "db/Collation.h"
#include "sheets/SheetStore.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <map>
#include <set>

namespace velmora::sheets {
namespace {

std::string upper(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool keyField(const std::string& name) { return name == "IDOSZAK" || name == "SORSZ" || name == "RESZ"; }

void addRow(SheetSnapshot& s, const db::Table& t, uint32_t recno, std::set<std::string>& seen, bool visits) {
    const db::FieldList& fields = t.fields();
    for (size_t f = 0; f < fields.size(); ++f) {
        const std::string name = upper(fields[f].name);
        if (keyField(name) || !seen.insert(name).second) continue;
        if (visits && name.rfind("APDAT", 0) == 0) continue;
        s.fields.emplace_back(name, t.valueAt(recno, static_cast<int>(f)).asString());
    }
}

} // namespace

SheetSnapshot snapshotOf(db::Database& db, const SheetKey& key) {
    SheetSnapshot s;
    const db::Table& headers = store::tableOf(db, store::schema::HLAPA());
    const db::Table& visits = store::tableOf(db, store::schema::HLAPB());
    std::set<std::string> seen;
    const std::vector<uint32_t> h = sheetRecords(headers, key);
    if (h.empty()) return s;
    s.exists = true;
    addRow(s, headers, h.front(), seen, false);
    s.taj = headers.valueAt(h.front(), headers.fieldIndex("TAJ")).asString();
    const std::vector<uint32_t> v = sheetRecords(visits, key);
    if (!v.empty()) addRow(s, visits, v.front(), seen, true);
    return s;
}

std::vector<store::history::FieldChange> changedFields(const SheetSnapshot& before, const SheetSnapshot& after) {
    std::map<std::string, std::string> old(before.fields.begin(), before.fields.end());
    std::vector<store::history::FieldChange> changes;
    std::set<std::string> seen;
    for (const auto& [name, value] : after.fields) {
        seen.insert(name);
        const auto it = old.find(name);
        const std::string was = it == old.end() ? std::string() : it->second;
        if (was != value) changes.push_back({name, was, value});
    }
    for (const auto& [name, value] : before.fields)
        if (!seen.count(name) && !value.empty()) changes.push_back({name, value, {}});
    return changes;
}

std::optional<store::history::Entry> changeEntry(db::Database& db, const std::string& action, const SheetKey& key,
                                                 const SheetSnapshot& before, const std::string& note) {
    const SheetSnapshot after = snapshotOf(db, key);
    store::history::Entry e;
    e.action = action;
    e.idoszak = key.idoszak;
    e.sorsz = key.sorsz;
    e.resz = key.resz;
    e.taj = after.exists ? after.taj : before.taj;
    e.text.changes = changedFields(before, after);
    e.text.note = note;
    if (e.text.changes.empty() && note.empty()) return std::nullopt;
    return e;
}

void recordChange(db::Database& db, const std::string& action, const SheetKey& key, const SheetSnapshot& before,
                  const std::string& note) {
    if (const auto entry = changeEntry(db, action, key, before, note)) store::history::record(db, *entry);
}

SheetSnapshots snapshotsOf(db::Database& db, const std::vector<SheetKey>& keys) {
    SheetSnapshots out;
    out.reserve(keys.size());
    for (const SheetKey& key : keys) out.emplace_back(key, snapshotOf(db, key));
    return out;
}

void recordChanges(db::Database& db, const std::string& action, const SheetSnapshots& before,
                   const std::string& note) {
    std::vector<store::history::Entry> entries;
    for (const auto& [key, snapshot] : before)
        if (auto entry = changeEntry(db, action, key, snapshot, note)) entries.push_back(std::move(*entry));
    store::history::record(db, entries);
}

} // namespace velmora::sheets
