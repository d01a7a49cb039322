#pragma once
// The journal of a write unit: one file beside the tables that holds the
// after-images of everything the unit changes and the file operations that
// complete it (renames and removals: a shipment's files into KULD, a table
// replaced whole, a new backup set into MENT). It is written and synced
// before any table byte or file changes, and removed once the tables are
// written and synced and the operations done. Opening the data directory
// (recoverJournal) replays a complete journal left by a kill or a power cut,
// so the unit reaches every table and file or none.
//
// Layout (little-endian):
//   "VELMJRN2"                        8 bytes, format mark and version
//                                     ("VELMJRN1": tables only, still read)
//   u32 table count
//   per table:
//     u16 name length, name           the file name in the data directory,
//                                     or an absolute path outside it
//     u16 header length, u16 record length
//     u64 layout hash                 field names, types, widths, decimals
//     u32 old record count, u32 new record count
//     u32 run count
//     per run: u32 first record, u32 records, records x record length bytes
//   u32 operation count               (not in version 1)
//   per operation:
//     u8 kind, u8 required
//     u16 length, path                absolute
//     u16 length, second path         absolute, empty when the kind has none
//   u64 checksum                      of every byte before it
//   "VELMJEND"                        end mark
#include "db/FieldDef.h"
#include "db/Os.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::db {

class TableChanges;

// A file operation that completes a unit. Each one can be carried out again
// with the same result, so recovery runs the whole list from its start.
struct FileOperation {
    enum class Kind : uint8_t {
        Rename = 1,     // from -> to, replacing to; nothing when from is gone
        Move = 2,       // the same, also across file systems (copied, synced, renamed, removed)
        Remove = 3,     // a file; nothing when it is gone
        RemoveTree = 4, // a folder with everything in it; nothing when it is gone
    };
    Kind kind = Kind::Remove;
    std::string path;
    std::string to;
    // A failure of an operation that is not required is reported and
    // passed over (an old file of KULD that cannot be removed); a required
    // one keeps the journal for the next try.
    bool required = true;

    static FileOperation rename(std::string from, std::string to) { return {Kind::Rename, std::move(from), std::move(to)}; }
    static FileOperation move(std::string from, std::string to, bool required = true) {
        return {Kind::Move, std::move(from), std::move(to), required};
    }
    static FileOperation remove(std::string path, bool required = true) { return {Kind::Remove, std::move(path), {}, required}; }
    static FileOperation removeTree(std::string path, bool required = true) {
        return {Kind::RemoveTree, std::move(path), {}, required};
    }
};

// Carries the operation out; throws DbError(Io) naming the file.
void runFileOperation(const FileOperation& op);

// The journal's name in the data directory. Other dBASE tools look only at
// .dbf files and ignore it. While a unit writes it, it is JOURNAL.tmp.
extern const char* const kJournalFileName;

// Identity of a table layout: changes when any field's name, type, width
// or decimals do.
uint64_t layoutHash(const FieldList& fields);

// Builds a journal from the held changes of tables and the unit's file operations.
class JournalBuilder {
public:
    JournalBuilder();
    void addTable(const std::string& name, const TableChanges& changes);
    std::string finish(const std::vector<FileOperation>& operations = {});

private:
    std::string bytes_;
    uint32_t tables_ = 0;
};

// A journal read back.
struct JournalTable {
    std::string name;
    uint16_t headerLength = 0, recordLength = 0;
    uint64_t layout = 0;
    uint32_t oldCount = 0, newCount = 0;
    struct Run {
        uint32_t first = 0;
        std::string records;
    };
    std::vector<Run> runs;
};

// Parses a journal; false (with the reason in why, Hungarian) when it is
// truncated, fails its checksum or is not a journal at all.
bool parseJournal(std::string_view bytes, std::vector<JournalTable>& tables, std::vector<FileOperation>& operations,
                  std::string& why);

// The journal a committing unit writes. The file stays locked while it
// exists, so a recovery started by another program leaves it alone.
class JournalFile {
public:
    explicit JournalFile(std::string directory);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Writes the journal under a temporary name, syncs it, renames it to
    // its own name and syncs the directory. On failure nothing is left.
    void write(const std::string& bytes);
    // Removes the journal and syncs the directory.
    void remove();

private:
    std::string dir_;
    os::File file_;
};

// Files a command is about to make in a place of the user's choosing (a
// copy written beside its final name): while the object lives, a journal of
// removals stands in the data directory, so that a kill leaves no partial
// file behind once the directory is opened again. Where the data directory
// takes no journal (a read-only one) the copy goes on without it.
class PendingFiles {
public:
    PendingFiles(const std::string& dataDir, const std::vector<std::string>& paths);
    ~PendingFiles();
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;

private:
    JournalFile journal_;
    bool written_ = false;
};

// What recoverJournal did.
enum class RecoveryOutcome {
    Nothing,            // no journal: the last run ended cleanly
    Replayed,           // a complete journal was written into its tables and removed
    DroppedIncomplete,  // a journal the unit had not finished was removed; no table had changed
    DroppedDamaged,     // a damaged or foreign journal was removed; the tables were not touched
    KeptAside,          // the journal names a table that is missing or has another layout:
                        // nothing replayed, the journal renamed (keptAs)
    InUse,              // another program holds the journal or one of its tables: nothing done
    Failed,             // reading or replaying failed (the disk refused); the journal stays for the next try
};

struct RecoveryReport {
    RecoveryOutcome outcome = RecoveryOutcome::Nothing;
    std::vector<std::string> tables;    // the tables the journal names
    int operations = 0;                 // the file operations it carried out
    std::string keptAs;                 // KeptAside: the journal's new name
    std::vector<std::string> messages;  // for the user, Hungarian; empty when there is nothing to say
    // The tables may be opened and written (not so after Failed: a later
    // replay would overwrite what this run writes).
    bool tablesUsable() const { return outcome != RecoveryOutcome::Failed; }
};

// Opening the data directory: finishes or drops what a kill or a power cut
// left of a write unit. Call it before any table of the directory is
// opened, created or upgraded. Shows nothing; the caller shows messages.
RecoveryReport recoverJournal(const std::string& directory);

// A journal stands in the data directory: a unit was committed (or began
// to be) and the next recovery finishes it. What it names — a staging
// folder's files — is its own until then, and must not be removed.
bool journalStands(const std::string& directory);

// What recoverJournal would do, without doing it (the data check): empty
// when there is no journal.
std::vector<std::string> pendingJournal(const std::string& directory);

} // namespace velmora::db
