#pragma once
// The chain that makes the history hard to falsify. Every row of ELOZMENY
// carries in HASH the SHA-256 of the hash before it and of its own fields;
// the first row of a chain starts from a seed made of the data directory's
// history identifier. ELOZVEG keeps that identifier and the number and hash
// of the last row, so that rows taken off the end, or a history table
// brought from another data directory, show too.
#include "db/Table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::store::history {

// Actions that start a chain: its first row, and the row that says why the
// history starts again after it was lost.
inline constexpr const char* kStarted = "Előzmények kezdete";
inline constexpr const char* kRestarted = "Előzmények pótlása";
inline constexpr const char* kRestore = "Visszatöltés";

// ELOZMENY's fields by position, as its layout lists them.
enum Column { kSor, kIdo, kFelh, kVerzio, kMuvelet, kIdoszak, kSorsz, kResz, kTaj, kFolyt, kValtozas, kHash };

// One row of ELOZMENY as stored (texts as read back: right-trimmed).
struct StoredRow {
    int64_t sor = 0;
    std::string ido, felh, verzio, muvelet, idoszak, sorsz, resz, taj;
    int folyt = 0;
    std::string valtozas, hash;
};

StoredRow readRow(const db::Table& history, uint32_t recno);
std::vector<db::Value> rowValues(const StoredRow& row);

// The hash a chain starts from.
std::string seedHash(const std::string& identifier);
// The hash of a row that follows `previous`.
std::string rowHash(const std::string& previous, const StoredRow& row);

// ELOZVEG's one row.
struct Anchor {
    std::string identifier;
    int64_t rows = 0;      // SOR of the last history row
    std::string lastHash;  // its HASH; the seed while there is none
};
std::optional<Anchor> readAnchor(const db::Table& anchor);

// "(azonosító: …)", the identifier a chain's first row names.
std::string identifierNote(const std::string& identifier);
std::string identifierIn(const std::string& text);

// Whether the row starts a chain of its own (its hash follows the seed).
bool startsChain(const StoredRow& row);

// The chain checked from the first row to the anchor: the first row that
// was changed, removed or put in outside the program, and every place where
// the history was lost and started again. Empty when the chain is whole.
// The rows are the table's records in physical order, deleted ones too.
struct ChainRow {
    bool deleted = false;
    StoredRow row;
};
std::vector<std::string> verifyChain(const std::vector<ChainRow>& rows, const std::optional<Anchor>& anchor);
std::vector<ChainRow> chainRows(const db::Table& history);

} // namespace velmora::store::history
