#pragma once
// The lists of the master tables: doctors, nurses, patients, every BNO
// code, and the BNO codes of one disease chapter. Each reads its table
// through a query of its own, so the windows' tables keep their rows.
#include "db/Database.h"
#include "db/Value.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::reports {

enum class MasterList { Doctors, Nurses, Patients, Bno };

// What the status bar shows while the list is made.
const char* masterListStatus(MasterList list);

// A disease chapter of the BNO list: the item's text as offered and the
// codes it covers, compared as text.
struct BnoChapter {
    std::string text;  // "Daganatok (C00-D48)"
    std::string low;   // "C0000"
    std::string high;  // "D4899"
};

// The chapters in the order the chapter window offers them.
const std::vector<std::string>& bnoChapterItems();
// The range an item's closing "(X00-Y99)" names; nothing for a text
// without one.
std::optional<BnoChapter> bnoChapter(const std::string& item);

inline constexpr const char* kChapterStatus = "BNO lista betegségcsoportra";
inline constexpr const char* kNoChapter = "Nincs megadva betegségcsoport";
inline constexpr const char* kChooseChapter = "A BNO főcsoportot ki kell választani!";
inline constexpr const char* kEmptyList = "Nincs nyomtatható adat!";

// The list's rows as read, once, for its picture and its table.
struct MasterListRows {
    MasterList list = MasterList::Doctors;
    std::string title;     // "Orvosok listája", the BNO list with its chapter
    std::string subtitle;  // the chapter's item
    std::vector<std::vector<db::Value>> rows;
};

// `chapter` narrows the BNO list.
MasterListRows masterListRows(db::Database& db, MasterList list, const std::optional<BnoChapter>& chapter);

// The list as bands; `printedAt` goes into the page footer.
Report masterListReport(const MasterListRows& rows, const std::string& printedAt);
Report masterListReport(db::Database& db, MasterList list, const std::optional<BnoChapter>& chapter,
                        const std::string& printedAt);
// The list as values: codes and names as text, a birth date as a date.
DataTable masterListTable(const MasterListRows& rows);

} // namespace velmora::reports
