#pragma once
// The history of the sheets (ELOZMENY): who changed which sheet, when, with
// which version of the program, and what each changed field held before
// and after. Rows are only ever added, inside the write unit of the change
// they tell of: a change that rolls back leaves none, and a history row
// that cannot be written rolls the change back.
#include "app/Dialogs.h"
#include "db/Database.h"
#include "store/HistoryChain.h"
#include "store/HistoryText.h"

#include <string>
#include <vector>

namespace velmora::store::history {

// The actions, as the history shows them.
inline constexpr const char* kNewSheet = "Új lap";
inline constexpr const char* kModify = "Módosítás";
inline constexpr const char* kClosing = "Lezárás";
inline constexpr const char* kDelete = "Törlés";
inline constexpr const char* kCancel = "Sztornó";
inline constexpr const char* kConvert = "Átalakítás";
inline constexpr const char* kShipment = "Küldés";
inline constexpr const char* kBilled = "Elszámolás";
inline constexpr const char* kFullImport = "Teljes adatállomány";

// Every action, in the order the history window offers them.
const std::vector<std::string>& actions();

// One change of one sheet (or, with an empty key, of the whole directory).
struct Entry {
    std::string action;
    std::string idoszak, sorsz, resz, taj;
    ChangeText text;
};

// Width of VALTOZAS: a longer text continues in the next rows.
inline constexpr size_t kTextWidth = 200;

// Who and what writes: the operating system's user (made to fit code page
// 852), the program's version and the time of day.
struct Stamp {
    std::string ido, felh, verzio;
};
Stamp currentStamp();
std::string osUserName();

// Appends the entries' rows after the last one, continuing the chain, and
// moves ELOZVEG on, as part of the open write unit (or as a unit of its
// own). Throws DbError when the history is not open or cannot take them.
void record(db::Database& db, const std::vector<Entry>& entries);
void record(db::Database& db, const Entry& entry);

// Start-up: makes sure ELOZMENY and ELOZVEG exist and are open. A new data
// directory gets a history whose first row says that it starts. A history
// table that is missing, cannot be read, or belongs to another data
// directory (the unreadable or foreign file is kept under another name),
// and a missing end of the chain, are made again with a row that says what
// was lost; a warning tells the user. Nothing is written when both are
// there and belong together.
void Crtelozm(db::Database& db, app::Dialogs& dialogs);

// A history that starts with `first` (a restore of a backup made before the
// history was kept): both tables made anew, which must not exist yet.
void startHistory(db::Database& db, Entry first);

} // namespace velmora::store::history
