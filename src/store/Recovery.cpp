#include "store/Recovery.h"

#include "app/Directories.h"
#include "app/PasswordStore.h"
#include "db/DbError.h"
#include "db/Journal.h"
#include "db/Os.h"
#include "store/TableReplacement.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace velmora::store {

namespace {

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool startsWith(const std::string& s, const std::string& head) { return s.rfind(head, 0) == 0; }

std::string upper(std::string s) { return db::upperAscii(std::move(s)); }

std::string join(const std::string& dir, const std::string& name) { return (fs::path(dir) / name).string(); }

std::string withoutSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// One thing an interrupted command left behind, and how it is settled.
struct Leftover {
    enum class Action {
        Remove,      // a file or folder of work that never became anything
        PutBack,     // a kept copy of a live file goes back over it (to the live name)
    };
    Action action;
    std::string path;
    std::string live;  // PutBack: the live file it goes back over
    std::string liveIndex;
    std::string what;  // for the user
};

// In the data directory: the staging folder of table replacements, files
// written beside their final names, and what earlier versions of the
// program left (a copy-through's ".old", a pack's or a create's temporary
// file, the old replacement's ".swap-*" files).
void dataDirLeftovers(const std::string& dir, std::vector<Leftover>& out) {
    const std::vector<std::string> names = db::os::list(dir);
    bool swapCutShort = false;
    for (const std::string& n : names)
        if (endsWith(n, ".swap-new")) swapCutShort = true;
    for (const std::string& n : names) {
        const std::string path = join(dir, n);
        const std::string u = upper(n);
        if (n == kStagingFolder) {
            out.push_back({Leftover::Action::Remove, path, {}, {}, "félbemaradt táblacsere (" + n + ")"});
        } else if (n == app::kPasswordStaging) {
            out.push_back({Leftover::Action::Remove, path, {}, {}, "félbemaradt jelszócsere (" + n + ")"});
        } else if (endsWith(u, ".DBF.UJ") || endsWith(u, ".MDX.UJ") || endsWith(u, ".DBF.TMP") ||
                   endsWith(u, ".MDX.TMP") || endsWith(u, ".DBF.PACK")) {
            out.push_back({Leftover::Action::Remove, path, {}, {}, "félbemaradt írás (" + n + ")"});
        } else if (endsWith(u, ".DBF.OLD")) {
            // A copy-through of an earlier version kept the whole old table
            // here while it rebuilt the live one: the old one is the sure one.
            const std::string live = path.substr(0, path.size() - 4);
            const std::string index = live.substr(0, live.size() - 4) + ".mdx";
            out.push_back({Leftover::Action::PutBack, path, live, index, "félbemaradt átalakítás (" + n + ")"});
        } else if (endsWith(n, ".swap-old")) {
            const std::string live = path.substr(0, path.size() - 9);
            if (swapCutShort) out.push_back({Leftover::Action::PutBack, path, live, {}, "félbemaradt csere (" + n + ")"});
            else out.push_back({Leftover::Action::Remove, path, {}, {}, "befejezett csere maradványa (" + n + ")"});
        } else if (endsWith(n, ".swap-none")) {
            if (swapCutShort)
                out.push_back({Leftover::Action::Remove, path.substr(0, path.size() - 10), {}, {},
                               "félbemaradt csere (" + n + ")"});
            out.push_back({Leftover::Action::Remove, path, {}, {}, "félbemaradt csere (" + n + ")"});
        } else if (endsWith(n, ".swap-new")) {
            out.push_back({Leftover::Action::Remove, path, {}, {}, "félbemaradt csere (" + n + ")"});
        }
    }
}

// MENT: a new set not yet in place, an old one kept aside, a new archive
// not yet renamed into place.
void mentLeftovers(const std::string& dataDir, std::vector<Leftover>& out) {
    const std::string ment = withoutSlash(app::FolderIn(dataDir, "MENT"));
    if (db::os::isDirectory(ment + ".uj"))
        out.push_back({Leftover::Action::Remove, ment + ".uj", {}, {}, "félbemaradt mentés (MENT.uj)"});
    if (db::os::isDirectory(ment + ".regi")) {
        if (db::os::isDirectory(ment))
            out.push_back({Leftover::Action::Remove, ment + ".regi", {}, {}, "régi mentés maradványa (MENT.regi)"});
        else
            out.push_back({Leftover::Action::PutBack, ment + ".regi", ment, {}, "félbemaradt mentés (MENT.regi)"});
    }
    for (const std::string& n : db::os::list(ment))
        if (endsWith(n, ".uj"))
            out.push_back({Leftover::Action::Remove, join(ment, n), {}, {}, "félbemaradt mentés (MENT/" + n + ")"});
}

// KULD and LISTA: a shipment's staging folder, files written beside their
// final names. TEMP: the work folders of imports and restores.
void workLeftovers(const Places& places, std::vector<Leftover>& out) {
    if (!places.kuld.empty()) {
        const std::string kuld = withoutSlash(places.kuld);
        if (db::os::isDirectory(kuld + ".uj"))
            out.push_back({Leftover::Action::Remove, kuld + ".uj", {}, {}, "félbemaradt adatküldés (KULD.uj)"});
        for (const std::string& n : db::os::list(kuld))
            if (endsWith(n, ".uj"))
                out.push_back({Leftover::Action::Remove, join(kuld, n), {}, {}, "félbemaradt írás (KULD/" + n + ")"});
    }
    if (!places.lista.empty())
        for (const std::string& n : db::os::list(places.lista))
            if (endsWith(n, ".uj"))
                out.push_back({Leftover::Action::Remove, join(places.lista, n), {}, {}, "félbemaradt írás (LISTA/" + n + ")"});
    if (!places.temp.empty())
        for (const std::string& n : db::os::list(places.temp)) {
            const std::string path = join(places.temp, n);
            if ((endsWith(n, ".uj") || startsWith(n, "visszatoltes-")) && db::os::isDirectory(path))
                out.push_back({Leftover::Action::Remove, path, {}, {}, "félbemaradt munka (TEMP/" + n + ")"});
        }
}

std::vector<Leftover> leftovers(const Places& places) {
    std::vector<Leftover> out;
    dataDirLeftovers(places.dataDir, out);
    mentLeftovers(places.dataDir, out);
    workLeftovers(places, out);
    return out;
}

void settle(const Leftover& l) {
    switch (l.action) {
    case Leftover::Action::Remove:
        db::os::removeTree(l.path);
        break;
    case Leftover::Action::PutBack:
        if (db::os::isDirectory(l.path)) {
            db::os::rename(l.path, l.live);
        } else {
            if (!l.liveIndex.empty()) {
                if (const auto index = db::findFileNoCase(fs::path(l.liveIndex).parent_path().string(),
                                                         fs::path(l.liveIndex).filename().string()))
                    db::os::remove(*index);
            }
            db::os::rename(l.path, l.live);
        }
        break;
    }
    db::os::syncDirectory(fs::path(l.path).parent_path().string());
}

std::string journalSummary(const db::RecoveryReport& report) {
    if (report.outcome == db::RecoveryOutcome::DroppedIncomplete)
        return "egy be nem fejezett írás nyoma törölve, a táblák nem változtak";
    if (report.outcome != db::RecoveryOutcome::Replayed) return {};
    std::string what;
    for (const std::string& n : report.tables) what += (what.empty() ? "" : ", ") + n;
    if (report.operations > 0) what += (what.empty() ? "" : "; ") + std::to_string(report.operations) + " állományművelet";
    return "a félbemaradt írás befejeződött (" + what + ")";
}

} // namespace

Places placesFor(const std::string& dataDir, const std::string& workingDir) {
    Places p;
    p.dataDir = dataDir;
    p.kuld = app::FolderIn(workingDir, "KULD");
    p.temp = app::FolderIn(workingDir, "TEMP");
    p.lista = app::FolderIn(workingDir, "LISTA");
    return p;
}

Places placesFor(const std::string& dataDir) { return Places{dataDir, {}, {}, {}}; }

RecoveryResult recoverDataDirectory(const Places& places) {
    RecoveryResult result;
    const db::RecoveryReport journal = db::recoverJournal(places.dataDir);
    std::vector<std::string> done;
    if (const std::string s = journalSummary(journal); !s.empty()) done.push_back(s);
    for (size_t i = journal.outcome == db::RecoveryOutcome::Replayed ? 1 : 0; i < journal.messages.size(); ++i)
        result.warnings.push_back(journal.messages[i]);
    if (!journal.tablesUsable() || journal.outcome == db::RecoveryOutcome::InUse) {
        result.usable = journal.tablesUsable();
        return result;  // the journal first: what it names must not be touched before it is settled
    }
    int removed = 0;
    for (const Leftover& l : leftovers(places)) {
        try {
            settle(l);
            if (l.action == Leftover::Action::PutBack) done.push_back(l.what + " visszaállítva");
            else ++removed;
        } catch (const db::DbError& e) {
            result.warnings.push_back("Egy félbemaradt művelet maradványa nem takarítható el: " + l.what + ": " + e.what());
        }
    }
    if (removed > 0) done.push_back(std::to_string(removed) + " félbemaradt művelet maradványa eltávolítva");
    if (!done.empty()) {
        result.summary = "Helyreállítás: ";
        for (size_t i = 0; i < done.size(); ++i) result.summary += (i ? "; " : "") + done[i];
        result.summary += ".";
    }
    return result;
}

std::vector<std::string> pendingRecovery(const Places& places) {
    std::vector<std::string> lines = db::pendingJournal(places.dataDir);
    for (const Leftover& l : leftovers(places))
        lines.push_back("Félbemaradt művelet maradványa: " + l.what + " — " + l.path +
                        (l.action == Leftover::Action::PutBack ? " (a következő indítás visszaállítja)"
                                                               : " (a következő indítás eltávolítja)"));
    return lines;
}

} // namespace velmora::store
