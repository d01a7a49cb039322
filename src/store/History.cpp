#include "store/History.h"

#include "app/Version.h"
#include "db/DbError.h"
#include "db/Os.h"
#include "db/Transliterate.h"
#include "db/WriteUnit.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <random>
#include <unistd.h>

namespace velmora::store::history {
namespace {

std::string fit(const std::string& text) { return db::fitToCodePage(db::CodePage::Cp852, text); }

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// The first `width` characters of a text that fits code page 852.
std::string leftChars(const std::string& s, size_t width) {
    size_t end = 0, chars = 0;
    while (end < s.size() && chars < width) {
        ++end;
        while (end < s.size() && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) ++end;
        ++chars;
    }
    return s.substr(0, end);
}

db::Table& openTable(db::Database& db, const schema::TableDef& def) {
    db::Table& t = tableOf(db, def);
    if (!t.isOpen()) {
        if (!t.exists())
            throw db::DbError(db::DbError::Code::NotFound,
                              "Az előzmények táblája (" + def.fileName + ") nincs meg, ezért a változás nem menthető.");
        t.open();
    }
    return t;
}

std::string newIdentifier() {
    std::random_device random;
    static const char digits[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 32; ++i) id += digits[random() & 15];
    return id;
}

void writeAnchor(db::Database& db, const Anchor& a) {
    db::Table& t = openTable(db, schema::ELOZVEG());
    const std::vector<std::pair<int, db::Value>> values = {
        {0, db::Value(a.identifier)}, {1, db::Value(a.rows)}, {2, db::Value(a.lastHash)}};
    for (uint32_t r = 0, n = t.physicalCount(); r < n; ++r)
        if (!t.isDeletedAt(r)) return t.updateValues(r, values);
    t.appendValues({db::Value(a.identifier), db::Value(a.rows), db::Value(a.lastHash)});
}

// The rows of the entries after `anchor`, appended; the anchor moved on.
void appendEntries(db::Table& history, Anchor& anchor, const std::vector<Entry>& entries, bool restartChain) {
    const Stamp stamp = currentStamp();
    for (const Entry& e : entries) {
        const std::vector<std::string> pieces = splitText(fit(encode(e.text)), kTextWidth);
        const size_t rows = std::max<size_t>(pieces.size(), 1);
        for (size_t i = 0; i < rows; ++i) {
            StoredRow row;
            row.sor = anchor.rows + 1;
            row.ido = stamp.ido;
            row.felh = stamp.felh;
            row.verzio = stamp.verzio;
            row.muvelet = e.action;
            row.idoszak = e.idoszak;
            row.sorsz = e.sorsz;
            row.resz = trimRight(e.resz);
            row.taj = e.taj;
            row.folyt = static_cast<int>(i);
            row.valtozas = pieces.empty() ? std::string() : pieces[i];
            const std::string previous = restartChain ? seedHash(anchor.identifier) : anchor.lastHash;
            restartChain = false;
            row.hash = rowHash(previous, row);
            history.appendValues(rowValues(row));
            anchor.rows = row.sor;
            anchor.lastHash = row.hash;
        }
    }
}

// A table that cannot be used is kept beside the others under a name with
// the time, so that nothing of it is lost; its index file goes.
std::string setAside(db::Table& table) {
    table.close();
    std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string stem = table.fileName().substr(0, table.fileName().rfind('.'));
    const std::string kept = stem + "-" + stamp + ".dbf";
    const std::string dir = table.path().substr(0, table.path().rfind('/') + 1);
    db::os::rename(table.path(), dir + kept);
    if (db::os::exists(table.indexPath())) db::os::remove(table.indexPath());
    return kept;
}

void createOpen(db::Database& db, const schema::TableDef& def) {
    db::Table& t = tableOf(db, def);
    if (t.isOpen()) t.close();
    if (!t.exists()) t.create(def.fields, def.level);
    restoreIndexIfMissing(t, def);
    t.setActiveIndex(def.activeTag);
}

// The identifier named by the history's first row, when it starts a chain.
std::string firstIdentifier(const db::Table& history) {
    for (uint32_t r = 0, n = history.physicalCount(); r < n; ++r) {
        if (history.isDeletedAt(r)) continue;
        const StoredRow row = readRow(history, r);
        return startsChain(row) ? identifierIn(row.valtozas) : std::string();
    }
    return {};
}

std::optional<StoredRow> lastRow(const db::Table& history) {
    for (uint32_t r = history.physicalCount(); r-- > 0;)
        if (!history.isDeletedAt(r)) return readRow(history, r);
    return std::nullopt;
}

void startChain(db::Database& db, Anchor anchor, const Entry& first) {
    db::WriteUnit unit(db);
    appendEntries(openTable(db, schema::ELOZMENY()), anchor, {first}, true);
    writeAnchor(db, anchor);
    unit.commit();
}

Entry restartEntry(const std::string& why, const std::string& identifier) {
    return {kRestarted, {}, {}, {}, {}, {{}, identifierNote(identifier) + " " + why}};
}

} // namespace

const std::vector<std::string>& actions() {
    static const std::vector<std::string> all = {kNewSheet, kModify,   kClosing,    kDelete,   kCancel,
                                                 kConvert,  kShipment, kBilled,     kFullImport, kRestore,
                                                 kStarted,  kRestarted};
    return all;
}

std::string osUserName() {
    for (const char* name : {"LOGNAME", "USER"})
        if (const char* v = std::getenv(name); v && *v) return v;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
    return "?";
}

Stamp currentStamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char ido[32];
    std::strftime(ido, sizeof ido, "%Y.%m.%d %H:%M:%S", &local);
    return {ido, trimRight(leftChars(fit(osUserName()), 20)), app::kVersion};
}

void record(db::Database& db, const std::vector<Entry>& entries) {
    if (entries.empty()) return;
    db::Table& history = openTable(db, schema::ELOZMENY());
    db::Table& end = openTable(db, schema::ELOZVEG());
    std::optional<Anchor> anchor = readAnchor(end);
    if (!anchor)
        throw db::DbError(db::DbError::Code::NotFound,
                          "Az előzmények láncának vége (Elozveg.dbf) üres, ezért a változás nem menthető.");
    db::WriteUnit unit(db);
    appendEntries(history, *anchor, entries, false);
    writeAnchor(db, *anchor);
    unit.commit();
}

void record(db::Database& db, const Entry& entry) { record(db, std::vector<Entry>{entry}); }

void startHistory(db::Database& db, Entry first) {
    createOpen(db, schema::ELOZMENY());
    createOpen(db, schema::ELOZVEG());
    Anchor anchor{newIdentifier(), 0, {}};
    // The identifier leads the note, so that it stays in the row's first line however long the note.
    first.text.note = identifierNote(anchor.identifier) + (first.text.note.empty() ? "" : " ") + first.text.note;
    startChain(db, anchor, first);
}

void Crtelozm(db::Database& db, app::Dialogs& dialogs) {
    db::Table& history = tableOf(db, schema::ELOZMENY());
    db::Table& end = tableOf(db, schema::ELOZVEG());
    std::string lost;  // why the chain starts again
    std::optional<Anchor> anchor;
    if (end.exists()) {
        try {
            end.open();
            anchor = readAnchor(end);
        } catch (const db::DbError& e) {
            if (e.code() != db::DbError::Code::Damaged) throw;
            const std::string kept = setAside(end);
            lost = "Az előzmények láncának vége (Elozveg.dbf) nem volt olvasható (" + std::string(e.what()) +
                   "), " + kept + " néven megmaradt.";
        }
    }
    bool haveHistory = history.exists();
    if (haveHistory) {
        try {
            restoreIndexIfMissing(history, schema::ELOZMENY());
            if (anchor && history.physicalCount() > 0 && firstIdentifier(history) != anchor->identifier) {
                const std::string kept = setAside(history);
                haveHistory = false;
                lost = "Az előzmények táblája (Elozmeny.dbf) egy másik adatkönyvtárból származott, ezért " + kept +
                       " néven félretettük; az adatkönyvtár " + std::to_string(anchor->rows) +
                       " előzménysora elveszett.";
            }
        } catch (const db::DbError& e) {
            if (e.code() != db::DbError::Code::Damaged) throw;
            const std::string kept = setAside(history);
            haveHistory = false;
            lost = "Az előzmények táblája (Elozmeny.dbf) sérült volt (" + std::string(e.what()) + "), " + kept +
                   " néven megmaradt.";
        }
    }
    if (haveHistory && anchor) {
        history.setActiveIndex(schema::ELOZMENY().activeTag);
        return;
    }
    createOpen(db, schema::ELOZMENY());
    createOpen(db, schema::ELOZVEG());
    if (!haveHistory && !anchor && lost.empty()) {
        // A data directory that has kept no history yet.
        const Anchor fresh{newIdentifier(), 0, {}};
        startChain(db, fresh, {kStarted, {}, {}, {}, {}, {{}, identifierNote(fresh.identifier) +
                                                                   " Az előzmények vezetése elkezdődött."}});
        return;
    }
    Anchor next;
    if (anchor) {
        next = *anchor;
        if (lost.empty())
            lost = "Az előzmények táblája (Elozmeny.dbf) hiányzott, újra létrehoztuk; az előző " +
                   std::to_string(anchor->rows) + " sor elveszett.";
    } else {
        // The history is there, the end of its chain is not: the end is taken
        // from the table as it stands.
        const std::optional<StoredRow> last = lastRow(history);
        const std::string id = firstIdentifier(history);
        next = {id.empty() ? newIdentifier() : id, last ? last->sor : 0, last ? last->hash : std::string()};
        if (lost.empty())
            lost = "Az előzmények láncának vége (Elozveg.dbf) hiányzott, újra létrehoztuk; hogy az előzmények "
                   "végéről hiányzik-e sor, nem tudható.";
    }
    startChain(db, next, restartEntry(lost, next.identifier));
    dialogs.warning(lost + "\nAz Adatok ellenőrzése ezt a hiányt mindig jelzi.");
}

} // namespace velmora::store::history
