#include "db/Journal.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/MdxFile.h"
#include "db/Transaction.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <optional>

namespace velmora::db {

namespace fs = std::filesystem;

const char* const kJournalFileName = "VELMORA.JNL";

namespace {

constexpr std::string_view kMagic = "VELMJRN2";
constexpr std::string_view kMagicTablesOnly = "VELMJRN1";
constexpr std::string_view kEndMark = "VELMJEND";

void put(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putText(std::string& out, const std::string& text) {
    put(out, text.size(), 2);
    out += text;
}

// Reads the journal front to back; every read checks that the bytes are there.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool get(uint64_t& v, int bytes) {
        if (!has(bytes)) return false;
        v = 0;
        for (int i = 0; i < bytes; ++i) v |= uint64_t(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += bytes;
        return true;
    }
    bool take(std::string& out, size_t size) {
        if (!has(size)) return false;
        out.assign(bytes_.substr(at_, size));
        at_ += size;
        return true;
    }
    bool text(std::string& out) {
        uint64_t size = 0;
        return get(size, 2) && take(out, size);
    }
    bool has(size_t size) const { return bytes_.size() - at_ >= size; }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

std::string journalPath(const std::string& directory) { return (fs::path(directory) / kJournalFileName).string(); }

std::string nameOf(const std::string& path) { return fs::path(path).filename().string(); }

} // namespace

uint64_t layoutHash(const FieldList& fields) {
    std::string text;
    for (const FieldDef& f : fields)
        text += upperAscii(f.name) + '\0' + f.type + std::to_string(f.width) + ',' + std::to_string(f.decimals) + ';';
    return contentHash(text.data(), text.size());
}

// --- file operations -------------------------------------------------------------

namespace {

void moveAcross(const std::string& from, const std::string& to) {
    try {
        os::rename(from, to);
    } catch (const DbError& e) {
        if (e.osError() != EXDEV) throw;
        os::copyFileReplacing(from, to);
        os::remove(from);
    }
}

std::string folderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

} // namespace

void runFileOperation(const FileOperation& op) {
    switch (op.kind) {
    case FileOperation::Kind::Rename:
    case FileOperation::Kind::Move:
        if (!os::exists(op.path)) return;  // done before
        if (op.kind == FileOperation::Kind::Rename) os::rename(op.path, op.to);
        else moveAcross(op.path, op.to);
        os::syncDirectory(folderOf(op.to));
        if (folderOf(op.to) != folderOf(op.path)) os::syncDirectory(folderOf(op.path));
        return;
    case FileOperation::Kind::Remove:
        if (os::remove(op.path)) os::syncDirectory(folderOf(op.path));
        return;
    case FileOperation::Kind::RemoveTree:
        if (!os::exists(op.path)) return;
        os::removeTree(op.path);
        os::syncDirectory(folderOf(op.path));
        return;
    }
}

// --- building and parsing ----------------------------------------------------

JournalBuilder::JournalBuilder() {
    bytes_.assign(kMagic);
    put(bytes_, 0, 4);  // table count, filled in by finish
}

void JournalBuilder::addTable(const std::string& name, const TableChanges& changes) {
    const DbfFile& file = changes.file();
    const auto runs = changes.runs();
    putText(bytes_, name);
    put(bytes_, file.header().headerLength, 2);
    put(bytes_, file.recordLength(), 2);
    put(bytes_, layoutHash(file.fields()), 8);
    put(bytes_, changes.startCount(), 4);
    put(bytes_, file.recordCount(), 4);
    put(bytes_, runs.size(), 4);
    for (const TableChanges::Run& run : runs) {
        put(bytes_, run.first, 4);
        put(bytes_, run.count, 4);
        bytes_.append(file.raw(run.first), size_t(run.count) * file.recordLength());
    }
    ++tables_;
}

std::string JournalBuilder::finish(const std::vector<FileOperation>& operations) {
    for (int i = 0; i < 4; ++i) bytes_[kMagic.size() + i] = static_cast<char>((tables_ >> (8 * i)) & 0xFF);
    put(bytes_, operations.size(), 4);
    for (const FileOperation& op : operations) {
        put(bytes_, static_cast<uint8_t>(op.kind), 1);
        put(bytes_, op.required ? 1 : 0, 1);
        putText(bytes_, op.path);
        putText(bytes_, op.to);
    }
    put(bytes_, contentHash(bytes_.data(), bytes_.size()), 8);
    bytes_ += kEndMark;
    return std::move(bytes_);
}

namespace {

bool parseTable(Reader& in, JournalTable& table) {
    uint64_t headerLength = 0, recordLength = 0, oldCount = 0, newCount = 0, runs = 0;
    bool ok = in.text(table.name) && in.get(headerLength, 2) && in.get(recordLength, 2) && in.get(table.layout, 8) &&
              in.get(oldCount, 4) && in.get(newCount, 4) && in.get(runs, 4) && recordLength > 0;
    table.headerLength = static_cast<uint16_t>(headerLength);
    table.recordLength = static_cast<uint16_t>(recordLength);
    table.oldCount = static_cast<uint32_t>(oldCount);
    table.newCount = static_cast<uint32_t>(newCount);
    for (uint64_t r = 0; ok && r < runs; ++r) {
        uint64_t first = 0, records = 0;
        JournalTable::Run run;
        ok = in.get(first, 4) && in.get(records, 4) && first + records <= newCount &&
             in.take(run.records, records * recordLength);
        run.first = static_cast<uint32_t>(first);
        table.runs.push_back(std::move(run));
    }
    return ok;
}

bool parseOperation(Reader& in, FileOperation& op) {
    uint64_t kind = 0, required = 0;
    if (!in.get(kind, 1) || !in.get(required, 1) || !in.text(op.path) || !in.text(op.to)) return false;
    if (kind < 1 || kind > 4 || op.path.empty()) return false;
    op.kind = static_cast<FileOperation::Kind>(kind);
    op.required = required != 0;
    return true;
}

} // namespace

bool parseJournal(std::string_view bytes, std::vector<JournalTable>& tables, std::vector<FileOperation>& operations,
                  std::string& why) {
    tables.clear();
    operations.clear();
    const bool tablesOnly = bytes.substr(0, kMagicTablesOnly.size()) == kMagicTablesOnly;
    if (bytes.size() < kMagic.size() || (bytes.substr(0, kMagic.size()) != kMagic && !tablesOnly)) {
        why = "nem a Velmora írási naplója";
        return false;
    }
    const size_t tail = 8 + kEndMark.size();
    if (bytes.size() < kMagic.size() + 4 + tail || bytes.substr(bytes.size() - kEndMark.size()) != kEndMark) {
        why = "csonka, a záró jel hiányzik";
        return false;
    }
    const std::string_view body = bytes.substr(0, bytes.size() - tail);
    uint64_t stored = 0;
    Reader sum(bytes.substr(body.size(), 8));
    sum.get(stored, 8);
    if (contentHash(body.data(), body.size()) != stored) {
        why = "az ellenőrző összeg nem egyezik";
        return false;
    }
    Reader in(body.substr(kMagic.size()));
    uint64_t count = 0;
    bool ok = in.get(count, 4);
    for (uint64_t t = 0; ok && t < count; ++t) {
        JournalTable table;
        ok = parseTable(in, table);
        tables.push_back(std::move(table));
    }
    uint64_t opCount = 0;
    if (ok && !tablesOnly) ok = in.get(opCount, 4);
    for (uint64_t i = 0; ok && i < opCount; ++i) {
        FileOperation op;
        ok = parseOperation(in, op);
        operations.push_back(std::move(op));
    }
    if (!ok || in.has(1)) {
        why = "a tartalma nem értelmezhető";
        return false;
    }
    return true;
}

// --- writing -------------------------------------------------------------------

JournalFile::JournalFile(std::string directory) : dir_(std::move(directory)) {}

JournalFile::~JournalFile() = default;

void JournalFile::write(const std::string& bytes) {
    const std::string path = journalPath(dir_);
    const std::string tmp = path + ".tmp";
    // A journal left by an earlier run holds a unit not yet in its tables:
    // replacing it would lose that unit.
    if (os::exists(path))
        throw DbError(DbError::Code::State,
                      "Az adatkönyvtárban egy korábbi, félbemaradt írás naplója (" + std::string(kJournalFileName) +
                          ") van; előbb azt kell feldolgozni (a program újraindításakor megtörténik).");
    file_ = os::File::open(tmp, os::Access::Create);
    if (!file_.tryLock()) {
        file_.close();
        throw DbError(DbError::Code::Locked, "A(z) " + std::string(kJournalFileName) +
                                                 " naplót egy másik program használja (a Velmora egy másik "
                                                 "példánya fut ezen az adatkönyvtáron?).");
    }
    bool renamed = false;
    try {
        file_.writeAt(bytes, 0);
        file_.sync();
        os::rename(tmp, path);
        renamed = true;
        os::syncDirectory(dir_);
    } catch (...) {
        try {
            os::remove(renamed ? path : tmp);
        } catch (...) {
        }
        file_.close();
        throw;
    }
}

void JournalFile::remove() {
    os::remove(journalPath(dir_));
    file_.close();
    os::syncDirectory(dir_);
}

PendingFiles::PendingFiles(const std::string& dataDir, const std::vector<std::string>& paths) : journal_(dataDir) {
    std::vector<FileOperation> removals;
    for (const std::string& p : paths) removals.push_back(FileOperation::remove(p, false));
    try {
        journal_.write(JournalBuilder().finish(removals));
        written_ = true;
    } catch (const DbError&) {
        // A data directory that takes no journal (a read-only one) does not
        // stop a copy elsewhere: the copy is still written beside its name.
    }
}

PendingFiles::~PendingFiles() {
    if (!written_) return;
    try {
        journal_.remove();
    } catch (...) {
        // Left for the next start, which removes what it names.
    }
}

// --- recovery -----------------------------------------------------------------

namespace {

std::string joinNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + nameOf(n);
    return out;
}

// A free name for a journal kept aside: VELMORA-YYYYMMDD-HHMMSS.JNL.
std::string keptName(const std::string& directory) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string base = std::string("VELMORA-") + stamp;
    std::string name = base + ".JNL";
    for (int n = 2; os::exists((fs::path(directory) / name).string()); ++n) name = base + "-" + std::to_string(n) + ".JNL";
    return name;
}

enum class Check { Ok, Missing, Unreadable, OtherLayout, Locked };

Check openTarget(const std::string& directory, const JournalTable& t, os::File& target, std::string& detail) {
    const fs::path named(t.name);
    const auto found = named.is_absolute() ? findFileNoCase(named.parent_path().string(), named.filename().string())
                                           : findFileNoCase(directory, t.name);
    if (!found) return Check::Missing;
    try {
        target = os::File::open(*found, os::Access::ReadWrite);
        if (!target.tryLock()) return Check::Locked;
        const uint64_t actual = target.size();
        std::string head(std::min<uint64_t>(actual, 65536 + 32), '\0');
        target.readExact(head.data(), head.size(), 0);
        // Records the unit appended may be missing from the file yet: the
        // header is checked against the size it will have.
        const uint64_t size = std::max<uint64_t>(actual, t.headerLength + uint64_t(t.newCount) * t.recordLength);
        const DbfHeader h = parseDbfHeader(head, size, nameOf(*found));
        if (h.headerLength != t.headerLength || h.recordLength != t.recordLength || layoutHash(h.fields) != t.layout)
            return Check::OtherLayout;
    } catch (const DbError& e) {
        detail = e.what();
        return Check::Unreadable;
    }
    return Check::Ok;
}

void replayTable(const JournalTable& t, os::File& target) {
    for (const JournalTable::Run& run : t.runs)
        target.writeAt(run.records, t.headerLength + uint64_t(run.first) * t.recordLength);
    const char eof = '\x1A';
    target.writeAt(&eof, 1, t.headerLength + uint64_t(t.newCount) * t.recordLength);
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::string head(7, '\0');
    head[0] = static_cast<char>(tm.tm_year);
    head[1] = static_cast<char>(tm.tm_mon + 1);
    head[2] = static_cast<char>(tm.tm_mday);
    for (int i = 0; i < 4; ++i) head[3 + i] = static_cast<char>((t.newCount >> (8 * i)) & 0xFF);
    target.writeAt(head, 1);
    target.sync();
}

std::string problemText(Check check, const std::string& table, const std::string& detail) {
    switch (check) {
    case Check::Missing: return "a(z) " + table + " tábla nem található";
    case Check::OtherLayout: return "a(z) " + table + " tábla szerkezete eltér a naplóban írttól";
    default: return "a(z) " + table + " tábla nem olvasható (" + detail + ")";
    }
}

std::string operationText(const FileOperation& op) {
    switch (op.kind) {
    case FileOperation::Kind::Rename:
    case FileOperation::Kind::Move: return op.path + " -> " + op.to;
    case FileOperation::Kind::Remove: return op.path + " törlése";
    case FileOperation::Kind::RemoveTree: return op.path + " könyvtár törlése";
    }
    return op.path;
}

// The operations of a journal, from the first: the required ones must all
// succeed; the others are reported.
bool replayOperations(const std::vector<FileOperation>& ops, RecoveryReport& report, std::string& failure) {
    for (const FileOperation& op : ops) {
        try {
            runFileOperation(op);
            ++report.operations;
        } catch (const DbError& e) {
            if (op.required) {
                failure = e.what();
                return false;
            }
            report.messages.push_back(operationText(op) + " nem sikerült: " + std::string(e.what()));
        }
    }
    return true;
}

// Keeps the journal aside under another name, so that no data is lost silently.
RecoveryReport keepAside(const std::string& directory, RecoveryReport report, const std::string& why) {
    const std::string name = kJournalFileName;
    const std::string kept = keptName(directory);
    bool renamed = true;
    try {
        os::rename(journalPath(directory), (fs::path(directory) / kept).string());
        os::syncDirectory(directory);
    } catch (const DbError&) {
        renamed = false;
    }
    report.outcome = renamed ? RecoveryOutcome::KeptAside : RecoveryOutcome::Failed;
    report.keptAs = renamed ? kept : std::string();
    report.messages.push_back(
        "A(z) " + name + " napló egy félbemaradt írást őriz (" + joinNames(report.tables) + "), de " + why +
        ", ezért nem játszható vissza. " +
        (renamed ? "A naplót " + kept + " néven megőriztük, hogy egyetlen adat se vesszen el. "
                 : "A napló a helyén maradt. ") +
        "A táblák a félbemaradt írás előtti, esetleg részben írt állapotukban vannak; kérje a rendszergazda "
        "segítségét.");
    return report;
}

// Opens the journal's tables, writes the after-images into them, then
// carries out its file operations.
RecoveryReport replayJournal(const std::string& directory, const std::vector<JournalTable>& tables,
                             const std::vector<FileOperation>& ops) {
    const std::string name = kJournalFileName;
    RecoveryReport report;
    for (const JournalTable& t : tables) report.tables.push_back(nameOf(t.name));
    std::vector<os::File> targets(tables.size());
    for (size_t i = 0; i < tables.size(); ++i) {
        std::string detail;
        const Check check = openTarget(directory, tables[i], targets[i], detail);
        if (check == Check::Ok) continue;
        if (check == Check::Locked) {
            report.outcome = RecoveryOutcome::InUse;
            report.messages.push_back("A(z) " + report.tables[i] + " táblát egy másik program használja, ezért a(z) " +
                                      name + " napló most nem dolgozható fel.");
            return report;
        }
        return keepAside(directory, report, problemText(check, report.tables[i], detail));
    }
    std::string failure;
    try {
        for (size_t i = 0; i < tables.size(); ++i) replayTable(tables[i], targets[i]);
        if (!replayOperations(ops, report, failure)) throw DbError(DbError::Code::Io, failure);
        os::remove(journalPath(directory));
        os::syncDirectory(directory);
    } catch (const DbError& e) {
        report.outcome = RecoveryOutcome::Failed;
        report.messages.push_back("A(z) " + name + " napló visszajátszása nem sikerült: " + std::string(e.what()) +
                                  " A napló megmaradt; a következő megnyitáskor újra megpróbáljuk. Addig a táblák "
                                  "nem használhatók.");
        return report;
    }
    report.outcome = RecoveryOutcome::Replayed;
    std::string what = joinNames(report.tables);
    if (!ops.empty())
        what += (what.empty() ? "" : "; ") + std::to_string(ops.size()) + " állományművelet";
    report.messages.insert(report.messages.begin(), "A legutóbbi írás a program leállása miatt félbemaradt; a(z) " +
                                                        name + " napló alapján most befejeződött (" + what + ").");
    return report;
}

RecoveryReport inUse(const std::string& what) {
    RecoveryReport report;
    report.outcome = RecoveryOutcome::InUse;
    report.messages.push_back("A(z) " + std::string(kJournalFileName) + " naplót egy másik program " + what +
                              " (a Velmora egy másik példánya fut ezen az adatkönyvtáron?); most nem nyúltunk hozzá.");
    return report;
}

// A journal still under its temporary name was never complete, and no
// table byte changes before it is: it is dropped.
std::optional<RecoveryReport> dropUnfinished(const std::string& directory) {
    const std::string tmp = journalPath(directory) + ".tmp";
    std::optional<os::File> file;
    try {
        file = os::File::openIfExists(tmp, os::Access::ReadWrite);
    } catch (const DbError&) {
        file.reset();
    }
    if (!file) {
        if (!os::exists(tmp)) return std::nullopt;
        RecoveryReport report;
        report.outcome = RecoveryOutcome::Failed;
        report.messages.push_back("A(z) " + std::string(kJournalFileName) + ".tmp félbemaradt napló nem nyitható meg.");
        return report;
    }
    if (!file->tryLock()) return inUse("éppen írja");
    RecoveryReport report;
    try {
        os::remove(tmp);
        file->close();
        os::syncDirectory(directory);
    } catch (const DbError& e) {
        report.outcome = RecoveryOutcome::Failed;
        report.messages.push_back("A(z) " + std::string(kJournalFileName) + ".tmp félbemaradt napló nem törölhető: " +
                                  e.what());
        return report;
    }
    report.outcome = RecoveryOutcome::DroppedIncomplete;
    return report;
}

struct ReadJournal {
    std::optional<os::File> file;
    std::string bytes;
};

} // namespace

RecoveryReport recoverJournal(const std::string& directory) {
    const std::string name = kJournalFileName;
    RecoveryReport report;
    if (auto dropped = dropUnfinished(directory)) {
        if (dropped->outcome == RecoveryOutcome::InUse || dropped->outcome == RecoveryOutcome::Failed) return *dropped;
        report = *dropped;
    }
    const std::string path = journalPath(directory);
    ReadJournal journal;
    try {
        journal.file = os::File::openIfExists(path, os::Access::ReadWrite);
        if (!journal.file) return report;
        if (!journal.file->tryLock()) return inUse("használja");
        journal.bytes = journal.file->readAll();
    } catch (const DbError& e) {
        // Bytes that cannot be read say nothing about the journal: it stays.
        report.outcome = RecoveryOutcome::Failed;
        report.messages.push_back("A(z) " + name + " napló nem olvasható: " + std::string(e.what()) +
                                  " A napló megmaradt; a táblák addig nem használhatók.");
        return report;
    }
    std::vector<JournalTable> tables;
    std::vector<FileOperation> ops;
    std::string why;
    if (!parseJournal(journal.bytes, tables, ops, why)) {
        try {
            os::remove(path);
            os::syncDirectory(directory);
        } catch (const DbError&) {
        }
        report.outcome = RecoveryOutcome::DroppedDamaged;
        report.messages.push_back("A(z) " + name + " napló sérült (" + why +
                                  "), ezért töröltük; a táblákhoz nem nyúltunk, azok a legutóbbi teljes írás "
                                  "állapotában vannak.");
        return report;
    }
    return replayJournal(directory, tables, ops);
}

bool journalStands(const std::string& directory) { return os::exists(journalPath(directory)); }

std::vector<std::string> pendingJournal(const std::string& directory) {
    std::vector<std::string> lines;
    const std::string path = journalPath(directory);
    if (os::exists(path + ".tmp"))
        lines.push_back("Egy félbemaradt, be nem fejezett napló (" + std::string(kJournalFileName) +
                        ".tmp) van az adatkönyvtárban; a következő indítás törli.");
    if (!os::exists(path)) return lines;
    std::string bytes;
    try {
        bytes = os::File::open(path, os::Access::Read).readAll();
    } catch (const DbError& e) {
        lines.push_back("A(z) " + std::string(kJournalFileName) + " napló nem olvasható: " + e.what());
        return lines;
    }
    std::vector<JournalTable> tables;
    std::vector<FileOperation> ops;
    std::string why;
    if (!parseJournal(bytes, tables, ops, why)) {
        lines.push_back("A(z) " + std::string(kJournalFileName) + " napló sérült (" + why +
                        "); a következő indítás törli.");
        return lines;
    }
    std::vector<std::string> names;
    for (const JournalTable& t : tables) names.push_back(t.name);
    std::string what = joinNames(names);
    if (!ops.empty()) what += (what.empty() ? "" : "; ") + std::to_string(ops.size()) + " állományművelet";
    lines.push_back("Egy félbemaradt írás naplója (" + std::string(kJournalFileName) + ": " + what +
                    ") vár befejezésre; a következő indítás befejezi.");
    return lines;
}

} // namespace velmora::db
