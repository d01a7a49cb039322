#include "store/TableSwap.h"

#include "db/DbError.h"
#include "db/FileIo.h"
#include "store/FileCopy.h"
#include "store/IndexFiles.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace velmora::store {

namespace testing {
RenameCall renameCall = &std::rename;
} // namespace testing

namespace {

// Beside the live files; other dBASE tools look only at .dbf and .mdx.
const std::string kStaged = ".swap-new";   // the new file, copied whole
const std::string kOld = ".swap-old";      // the live file kept aside
const std::string kNone = ".swap-none";    // there was no live file

struct Move {
    const schema::TableDef* def;
    db::Table* table;
    std::string source, live, liveIndex;
    std::string activeTag;
    std::string staged() const { return live + kStaged; }
    std::string old() const { return live + kOld; }
    std::string oldIndex() const { return liveIndex + kOld; }
    std::string none() const { return live + kNone; }
};

void removeQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

void moveFile(const std::string& from, const std::string& to) {
    if (testing::renameCall(from.c_str(), to.c_str()) != 0) db::throwIo(from, "nem nevezhető át", errno);
}

void moveIfThere(const std::string& from, const std::string& to) {
    if (fs::exists(from)) moveFile(from, to);
}

// Every live file back where it was, the new ones gone. Best effort: a
// move that fails here is left to recoverTableSwap at the next start.
void undo(const std::vector<Move>& moves) noexcept {
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        try {
            if (fs::exists(it->old())) moveFile(it->old(), it->live);
            else if (fs::exists(it->none())) removeQuietly(it->live);
            moveIfThere(it->oldIndex(), it->liveIndex);
            removeQuietly(it->none());
            removeQuietly(it->staged());
        } catch (...) {
        }
    }
}

void putInPlace(const Move& m) {
    if (fs::exists(m.live)) moveFile(m.live, m.old());
    else std::ofstream(m.none());
    moveIfThere(m.liveIndex, m.oldIndex());
    moveFile(m.staged(), m.live);
}

std::vector<Move> plan(db::Database& db, const std::vector<TableReplacement>& replacements) {
    std::vector<Move> moves;
    for (const TableReplacement& r : replacements) {
        db::Table& table = tableOf(db, *r.def);
        moves.push_back({r.def, &table, r.source, table.path(), table.indexPath(), {}});
    }
    return moves;
}

void reopen(std::vector<Move>& moves, bool rebuildIndexes) {
    std::exception_ptr first;
    for (Move& m : moves) {
        try {
            if (rebuildIndexes) restoreIndex(*m.table, *m.def, m.activeTag.empty() ? m.def->activeTag : m.activeTag);
            else m.table->open();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

} // namespace

void swapTables(db::Database& db, const std::vector<TableReplacement>& replacements) {
    if (db.unitLevel() > 0)
        throw db::DbError(db::DbError::Code::State, "Nyitott módosítás közben az állományok nem cserélhetők");
    std::vector<Move> moves = plan(db, replacements);

    // Copies first: until they are all whole nothing live is touched.
    try {
        for (const Move& m : moves) copyFileChecked(m.source, m.staged());
        db::syncDirectory(db.directory());
    } catch (...) {
        for (const Move& m : moves) removeQuietly(m.staged());
        throw;
    }

    for (Move& m : moves) {
        m.activeTag = m.table->activeIndex();
        m.table->close();
    }
    try {
        for (const Move& m : moves) putInPlace(m);
        db::syncDirectory(db.directory());
    } catch (...) {
        undo(moves);
        try {
            db::syncDirectory(db.directory());
            reopen(moves, false);
        } catch (...) {
        }
        throw;
    }
    for (const Move& m : moves) {
        removeQuietly(m.old());
        removeQuietly(m.oldIndex());
        removeQuietly(m.none());
    }
    reopen(moves, true);
}

void recoverTableSwap(const std::string& dataDir) {
    std::error_code ec;
    bool cutShort = false;
    std::vector<fs::path> leftovers;
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        const std::string name = entry.path().filename().string();
        for (const std::string& suffix : {kStaged, kOld, kNone}) {
            if (name.size() > suffix.size() && name.ends_with(suffix)) {
                leftovers.push_back(entry.path());
                if (suffix == kStaged) cutShort = true;
            }
        }
    }
    for (const fs::path& p : leftovers) {
        const std::string s = p.string();
        if (s.ends_with(kOld)) {
            if (cutShort) moveFile(s, s.substr(0, s.size() - kOld.size()));
            else removeQuietly(s);
        } else if (s.ends_with(kNone)) {
            if (cutShort) removeQuietly(s.substr(0, s.size() - kNone.size()));
            removeQuietly(s);
        }
    }
    for (const fs::path& p : leftovers)
        if (p.string().ends_with(kStaged)) removeQuietly(p.string());
    if (!leftovers.empty()) db::syncDirectory(dataDir);
}

} // namespace velmora::store
