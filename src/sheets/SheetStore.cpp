// The sheet's rows are found and written record by record (valueAt,
// appendValues, updateValues, deleteAt): the shared tables' cursors, their
// filters and any window showing them stay where the user left them.
#include "sheets/SheetStore.h"

#include "app/Date.h"
#include "app/TextHelpers.h"
#include "db/DbError.h"
#include "db/WriteUnit.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace velmora::sheets {

namespace {

using Changes = std::vector<std::pair<int, db::Value>>;

db::Table& headerTable(db::Database& db) { return store::tableOf(db, store::schema::HLAPA()); }
db::Table& visitTable(db::Database& db) { return store::tableOf(db, store::schema::HLAPB()); }

int fieldOf(const db::Table& t, const std::string& name) {
    const int f = t.fieldIndex(name);
    if (f < 0) throw db::DbError(db::DbError::Code::NotFound, "A(z) " + t.name() + " táblában nincs " + name + " mező.");
    return f;
}

db::Value textValue(const std::string& s) { return app::IsBlank(s) ? db::Value() : db::Value(s); }

std::string describe(const SheetKey& key) { return key.number() + " (" + key.idoszak + ")"; }

// Days of the sheet's month; a key whose period is no month is refused.
int daysOf(const SheetKey& key) {
    if (!app::Date::parse(key.idoszak + ".01"))
        throw db::DbError(db::DbError::Code::BadValue,
                          "A(z) " + describe(key) + " lap időszaka nem érvényes hónap, így nem írható.");
    return app::DaysInPeriod(key.idoszak);
}

// --- finding the rows ---------------------------------------------------------

struct KeyFields {
    int idoszak, sorsz, resz;
    explicit KeyFields(const db::Table& t)
        : idoszak(fieldOf(t, "Idoszak")), sorsz(fieldOf(t, "Sorsz")), resz(fieldOf(t, "Resz")) {}

    // The key's value for one of its fields, null for a blank part letter.
    std::optional<db::Value> valueFor(int field, const SheetKey& key) const {
        if (field == idoszak) return textValue(key.idoszak);
        if (field == sorsz) return textValue(key.sorsz);
        if (field == resz) return textValue(key.resz);
        return std::nullopt;
    }
    bool holds(const db::Table& t, uint32_t recno, const SheetKey& key) const {
        return t.valueAt(recno, idoszak).asString() == key.idoszak && t.valueAt(recno, sorsz).asString() == key.sorsz &&
               t.valueAt(recno, resz).asString() == key.resz;
    }
};

// Candidates through the tag led by most of the key's fields ("Lap3"
// Idoszak+Sorsz+Resz); every record when no tag starts with one.
std::vector<uint32_t> candidates(const db::Table& t, const KeyFields& k, const SheetKey& key) {
    const db::IndexTag* best = nullptr;
    std::vector<db::Value> bestValues;
    for (const std::string& name : t.indexNames()) {
        const db::IndexTag* tag = t.index(name);
        std::vector<db::Value> values;
        for (int field : tag->expression().leadingFields()) {
            const std::optional<db::Value> v = k.valueFor(field, key);
            if (!v) break;
            values.push_back(*v);
        }
        if (values.size() > bestValues.size()) {
            best = tag;
            bestValues = std::move(values);
        }
    }
    if (best) return t.seek(*best, bestValues);
    std::vector<uint32_t> all(t.physicalCount());
    for (uint32_t r = 0; r < all.size(); ++r) all[r] = r;
    return all;
}

// The live records holding exactly the key, in physical order; the tag's
// collation may call more keys equal, so each candidate is compared.
std::vector<uint32_t> recordsOf(const db::Table& t, const SheetKey& key) {
    const KeyFields k(t);
    std::vector<uint32_t> found;
    for (uint32_t r : candidates(t, k, key))
        if (!t.isDeletedAt(r) && k.holds(t, r, key)) found.push_back(r);
    std::sort(found.begin(), found.end());
    return found;
}

// --- the header row -----------------------------------------------------------

struct TextField {
    const char* name;
    std::string Sheet::*member;
};
constexpr TextField kHeaderTexts[] = {
    {"Intkod", &Sheet::intkod},     {"Finkod", &Sheet::finkod},     {"Taj", &Sheet::taj},
    {"Kozigkod", &Sheet::kozigkod}, {"Tpotl", &Sheet::tpotl},       {"Bnofek", &Sheet::bnofek},
    {"Bnofo", &Sheet::bnofo},       {"Bnokis", &Sheet::bnokis},     {"Bnoab", &Sheet::bnoab},
    {"Orvkode", &Sheet::orvkode},   {"Orvkodj", &Sheet::orvkodj},   {"Orvtip", &Sheet::orvtip},
    {"Elrend", &Sheet::elrend},     {"Szakvet", &Sheet::szakvet},   {"Gyak", &Sheet::gyak},
    {"Lezdat", &Sheet::lezdat},     {"Aztip", &Sheet::aztip},       {"Terkat", &Sheet::terkat},
    {"Allamp", &Sheet::allamp},     {"Tele", &Sheet::tele},         {"Jeloles", &Sheet::jeloles},
    {"Elkuldve", &Sheet::elkuldve}, {"Allapot", &Sheet::allapot},   {"Modtipus", &Sheet::modtipus},
};

struct NumberField {
    const char* name;
    int Sheet::*member;
};
constexpr NumberField kHeaderNumbers[] = {
    {"Elvizdb", &Sheet::elvizdb}, {"Elszviz", &Sheet::elszviz}, {"Elszam", &Sheet::elszam}, {"SzNap", &Sheet::sznap}};

std::string aptajField(int k) { return "Aptaj" + std::to_string(k); }

Changes keyValues(const db::Table& t, const SheetKey& key) {
    return {{fieldOf(t, "Idoszak"), textValue(key.idoszak)},
            {fieldOf(t, "Sorsz"), textValue(key.sorsz)},
            {fieldOf(t, "Resz"), textValue(key.resz)}};
}

Changes headerValues(const db::Table& t, const Sheet& s) {
    Changes out = keyValues(t, s.key);
    for (const TextField& f : kHeaderTexts) out.emplace_back(fieldOf(t, f.name), textValue(s.*f.member));
    for (const NumberField& f : kHeaderNumbers) out.emplace_back(fieldOf(t, f.name), db::Value(s.*f.member));
    for (int k = 1; k <= kActivities; ++k)
        out.emplace_back(fieldOf(t, aptajField(k)), textValue(s.aptaj[static_cast<size_t>(k - 1)]));
    return out;
}

void readHeader(const db::Table& t, uint32_t r, Sheet& s) {
    for (const TextField& f : kHeaderTexts) s.*f.member = t.valueAt(r, fieldOf(t, f.name)).asString();
    for (const NumberField& f : kHeaderNumbers)
        s.*f.member = static_cast<int>(t.valueAt(r, fieldOf(t, f.name)).asInt());
    for (int k = 1; k <= kActivities; ++k)
        s.aptaj[static_cast<size_t>(k - 1)] = t.valueAt(r, fieldOf(t, aptajField(k))).asString();
}

// --- the visit row ------------------------------------------------------------

struct DayFields {
    int tev, apdat, apbtaj, eli;
    DayFields(const db::Table& t, int day)
        : tev(fieldOf(t, "TEV" + std::to_string(day))), apdat(fieldOf(t, "APDAT" + std::to_string(day))),
          apbtaj(fieldOf(t, "APBTAJ" + std::to_string(day))), eli(fieldOf(t, "ELI" + std::to_string(day))) {}
};

// Days 1 to the month's length: the code, the nurse and the date only on a
// visit day (both code and nurse filled), the fund's result as the sheet
// holds it. Later days are not written at all.
Changes visitValues(const db::Table& t, const Sheet& s) {
    Changes out = keyValues(t, s.key);
    out.emplace_back(fieldOf(t, "Intkod"), textValue(s.intkod));
    out.emplace_back(fieldOf(t, "Finkod"), textValue(s.finkod));
    const int days = daysOf(s.key);
    for (int d = 1; d <= days; ++d) {
        const Visit& v = s.visits[static_cast<size_t>(d - 1)];
        const DayFields f(t, d);
        const bool visitDay = !app::IsBlank(v.tev) && !app::IsBlank(v.apbtaj);
        const std::string date = app::IsBlank(v.apdat) ? s.key.idoszak + "." + app::TwoDigits(d) : v.apdat;
        out.emplace_back(f.tev, visitDay ? textValue(v.tev) : db::Value());
        out.emplace_back(f.apdat, visitDay ? textValue(date) : db::Value());
        out.emplace_back(f.apbtaj, visitDay ? textValue(v.apbtaj) : db::Value());
        out.emplace_back(f.eli, textValue(v.eli));
    }
    out.emplace_back(fieldOf(t, "Jeloles"), textValue(s.visitJeloles));
    out.emplace_back(fieldOf(t, "Elkuldve"), textValue(s.visitElkuldve));
    return out;
}

void readVisits(const db::Table& t, uint32_t r, Sheet& s) {
    for (int d = 1; d <= kMaxDays; ++d) {
        const DayFields f(t, d);
        Visit& v = s.visits[static_cast<size_t>(d - 1)];
        v.tev = t.valueAt(r, f.tev).asString();
        v.apdat = t.valueAt(r, f.apdat).asString();
        v.apbtaj = t.valueAt(r, f.apbtaj).asString();
        v.eli = t.valueAt(r, f.eli).asString();
    }
    s.visitJeloles = t.valueAt(r, fieldOf(t, "Jeloles")).asString();
    s.visitElkuldve = t.valueAt(r, fieldOf(t, "Elkuldve")).asString();
}

// --- writing ------------------------------------------------------------------

// A damaged value reads as its text (a number as 0); when the sheet still
// holds exactly that, the caller kept the field and its bytes stay.
bool keeps(const db::Table& t, int field, const db::Value& stored, const db::Value& next) {
    if (stored == next) return true;
    if (!stored.isDamaged()) return false;
    if (t.fields()[static_cast<size_t>(field)].type == 'N') return next.asDecimal() == db::Decimal::fromInt(0);
    return next.asString() == stored.asString();
}

void appendRow(db::Table& t, const Changes& values) {
    std::vector<db::Value> row(t.fields().size());
    for (const auto& [field, value] : values) row[static_cast<size_t>(field)] = value;
    t.appendValues(row);
}

void rewriteRow(db::Table& t, uint32_t recno, const Changes& values) {
    Changes changed;
    for (const auto& [field, value] : values)
        if (!keeps(t, field, t.valueAt(recno, field), value)) changed.emplace_back(field, value);
    if (!changed.empty()) t.updateValues(recno, changed);
}

// The visit row of the key is rewritten where there is one (also one left
// without its header), else appended.
void writeVisitRow(db::Table& t, const Sheet& sheet) {
    const std::vector<uint32_t> rows = recordsOf(t, sheet.key);
    if (rows.empty()) appendRow(t, visitValues(t, sheet));
    else rewriteRow(t, rows.front(), visitValues(t, sheet));
}

} // namespace

std::optional<Sheet> loadSheet(db::Database& db, const SheetKey& key) {
    db::Table& headers = headerTable(db);
    const std::vector<uint32_t> rows = recordsOf(headers, key);
    if (rows.empty()) return std::nullopt;
    Sheet sheet;
    sheet.key = key;
    readHeader(headers, rows.front(), sheet);
    db::Table& visits = visitTable(db);
    const std::vector<uint32_t> visitRows = recordsOf(visits, key);
    if (!visitRows.empty()) readVisits(visits, visitRows.front(), sheet);
    return sheet;
}

std::vector<uint32_t> sheetRecords(const db::Table& table, const SheetKey& key) { return recordsOf(table, key); }

bool sheetExists(db::Database& db, const SheetKey& key) { return !recordsOf(headerTable(db), key).empty(); }

void appendSheet(db::Database& db, const Sheet& sheet) {
    db::Table& headers = headerTable(db);
    if (!recordsOf(headers, sheet.key).empty())
        throw db::DbError(db::DbError::Code::KeyViolation,
                          "A(z) " + headers.name() + " táblában már van " + describe(sheet.key) + " lap.");
    db::WriteUnit unit(db);
    appendRow(headers, headerValues(headers, sheet));
    writeVisitRow(visitTable(db), sheet);
    unit.commit();
}

void rewriteSheet(db::Database& db, const Sheet& sheet) {
    db::Table& headers = headerTable(db);
    const std::vector<uint32_t> rows = recordsOf(headers, sheet.key);
    if (rows.empty())
        throw db::DbError(db::DbError::Code::NotFound,
                          "A(z) " + headers.name() + " táblában nincs " + describe(sheet.key) + " lap.");
    db::WriteUnit unit(db);
    rewriteRow(headers, rows.front(), headerValues(headers, sheet));
    writeVisitRow(visitTable(db), sheet);
    unit.commit();
}

void changeSheetKey(db::Database& db, const SheetKey& from, const SheetKey& to) {
    db::Table& headers = headerTable(db);
    db::Table& visits = visitTable(db);
    const std::vector<uint32_t> headerRows = recordsOf(headers, from), visitRows = recordsOf(visits, from);
    if (headerRows.empty())
        throw db::DbError(db::DbError::Code::NotFound,
                          "A(z) " + headers.name() + " táblában nincs " + describe(from) + " lap.");
    if (from == to) return;
    if (!recordsOf(headers, to).empty() || !recordsOf(visits, to).empty())
        throw db::DbError(db::DbError::Code::KeyViolation,
                          "A(z) " + headers.name() + " táblában már van " + describe(to) + " lap.");
    db::WriteUnit unit(db);
    for (uint32_t r : headerRows) headers.updateValues(r, keyValues(headers, to));
    for (uint32_t r : visitRows) visits.updateValues(r, keyValues(visits, to));
    unit.commit();
}

void removeSheet(db::Database& db, const SheetKey& key) {
    db::Table& headers = headerTable(db);
    db::Table& visits = visitTable(db);
    const std::vector<uint32_t> headerRows = recordsOf(headers, key), visitRows = recordsOf(visits, key);
    db::WriteUnit unit(db);
    for (uint32_t r : headerRows) headers.deleteAt(r);
    for (uint32_t r : visitRows) visits.deleteAt(r);
    unit.commit();
}

} // namespace velmora::sheets
