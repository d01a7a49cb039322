#include "db/Journal.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/FileIo.h"
#include "db/MdxFile.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::db {

namespace fs = std::filesystem;

const char* const kJournalFileName = "VELMORA.JNL";

namespace {

constexpr std::string_view kMagic = "VELMJRN1";
constexpr std::string_view kEndMark = "VELMJEND";

void put(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
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
    bool has(size_t size) const { return bytes_.size() - at_ >= size; }
    size_t at() const { return at_; }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

std::string journalPath(const std::string& directory) { return (fs::path(directory) / kJournalFileName).string(); }

} // namespace

uint64_t layoutHash(const FieldList& fields) {
    std::string text;
    for (const FieldDef& f : fields)
        text += upperAscii(f.name) + '\0' + f.type + std::to_string(f.width) + ',' + std::to_string(f.decimals) + ';';
    return contentHash(text.data(), text.size());
}

// --- building and parsing ----------------------------------------------------

JournalBuilder::JournalBuilder() {
    bytes_.assign(kMagic);
    put(bytes_, 0, 4);  // table count, filled in by finish
}

void JournalBuilder::addTable(const std::string& name, const DbfFile& file) {
    const auto runs = file.heldRuns();
    put(bytes_, name.size(), 2);
    bytes_ += name;
    put(bytes_, file.header().headerLength, 2);
    put(bytes_, file.recordLength(), 2);
    put(bytes_, layoutHash(file.fields()), 8);
    put(bytes_, file.batchStartCount(), 4);
    put(bytes_, file.recordCount(), 4);
    put(bytes_, runs.size(), 4);
    for (const DbfFile::RecordRun& run : runs) {
        put(bytes_, run.first, 4);
        put(bytes_, run.count, 4);
        bytes_.append(file.raw(run.first), size_t(run.count) * file.recordLength());
    }
    ++tables_;
}

std::string JournalBuilder::finish() {
    for (int i = 0; i < 4; ++i) bytes_[kMagic.size() + i] = static_cast<char>((tables_ >> (8 * i)) & 0xFF);
    put(bytes_, contentHash(bytes_.data(), bytes_.size()), 8);
    bytes_ += kEndMark;
    return std::move(bytes_);
}

bool parseJournal(std::string_view bytes, std::vector<JournalTable>& tables, std::string& why) {
    tables.clear();
    if (bytes.size() < kMagic.size() || bytes.substr(0, kMagic.size()) != kMagic) {
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
        uint64_t nameLength = 0, headerLength = 0, recordLength = 0, oldCount = 0, newCount = 0, runs = 0;
        ok = in.get(nameLength, 2) && in.take(table.name, nameLength) && in.get(headerLength, 2) &&
             in.get(recordLength, 2) && in.get(table.layout, 8) && in.get(oldCount, 4) && in.get(newCount, 4) &&
             in.get(runs, 4) && recordLength > 0;
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
        tables.push_back(std::move(table));
    }
    if (!ok || in.has(1)) {
        why = "a tartalma nem értelmezhető";
        return false;
    }
    return true;
}

// --- writing -------------------------------------------------------------------

JournalFile::JournalFile(std::string directory) : dir_(std::move(directory)) {}

JournalFile::~JournalFile() {
    if (fd_ >= 0) ::close(fd_);
}

void JournalFile::write(const std::string& bytes) {
    const std::string path = journalPath(dir_);
    const std::string tmp = path + ".tmp";
    std::error_code ec;
    // A journal left by an earlier run holds a unit not yet in its tables:
    // replacing it would lose that unit.
    if (fs::exists(path, ec))
        throw DbError(DbError::Code::State,
                      "Az adatkönyvtárban egy korábbi, félbemaradt írás naplója (" + std::string(kJournalFileName) +
                          ") van; előbb azt kell feldolgozni (a program újraindításakor megtörténik).");
    fd_ = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) throwIo(tmp, "nem hozható létre", errno);
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
        throw DbError(DbError::Code::Locked, "A(z) " + std::string(kJournalFileName) +
                                                 " naplót egy másik program használja (a Velmora egy másik "
                                                 "példánya fut ezen az adatkönyvtáron?).");
    }
    bool renamed = false;
    try {
        if (ftruncate(fd_, 0) != 0) throwIo(tmp, "nem írható", errno);
        writeAll(fd_, bytes.data(), bytes.size(), 0, tmp);
        syncFile(fd_, tmp);
        if (std::rename(tmp.c_str(), path.c_str()) != 0) throwIo(path, "nem hozható létre", errno);
        renamed = true;
        syncDirectory(dir_);
    } catch (...) {
        ::unlink(renamed ? path.c_str() : tmp.c_str());
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

void JournalFile::remove() {
    const std::string path = journalPath(dir_);
    if (::unlink(path.c_str()) != 0) throwIo(path, "nem törölhető", errno);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    syncDirectory(dir_);
}

// --- recovery -----------------------------------------------------------------

namespace {

std::string joinNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + fs::path(n).filename().string();
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
    std::error_code ec;
    for (int n = 2; fs::exists(fs::path(directory) / name, ec); ++n) name = base + "-" + std::to_string(n) + ".JNL";
    return name;
}

// A table the journal names, opened and locked for the replay.
struct Target {
    std::string path;
    int fd = -1;
    ~Target() {
        if (fd >= 0) ::close(fd);
    }
};

enum class Check { Ok, Missing, Unreadable, OtherLayout, Locked };

Check openTarget(const std::string& directory, const JournalTable& t, Target& target, std::string& detail) {
    const fs::path named(t.name);
    const auto found = named.is_absolute() ? findFileNoCase(named.parent_path().string(), named.filename().string())
                                           : findFileNoCase(directory, t.name);
    if (!found) return Check::Missing;
    target.path = *found;
    target.fd = ::open(found->c_str(), O_RDWR | O_CLOEXEC);
    if (target.fd < 0) {
        detail = describeErrno(errno);
        return Check::Unreadable;
    }
    if (flock(target.fd, LOCK_EX | LOCK_NB) != 0) return Check::Locked;
    struct stat st{};
    if (fstat(target.fd, &st) != 0) {
        detail = describeErrno(errno);
        return Check::Unreadable;
    }
    std::string head(std::min<uint64_t>(static_cast<uint64_t>(st.st_size), 65536 + 32), '\0');
    if (pread(target.fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size())) {
        detail = "nem olvasható";
        return Check::Unreadable;
    }
    try {
        // Records the unit appended may be missing from the file yet: the
        // header is checked against the size it will have.
        const uint64_t size = std::max<uint64_t>(static_cast<uint64_t>(st.st_size),
                                                 t.headerLength + uint64_t(t.newCount) * t.recordLength);
        const DbfHeader h = parseDbfHeader(head, size, fs::path(*found).filename().string());
        if (h.headerLength != t.headerLength || h.recordLength != t.recordLength || layoutHash(h.fields) != t.layout)
            return Check::OtherLayout;
    } catch (const DbError& e) {
        detail = e.what();
        return Check::Unreadable;
    }
    return Check::Ok;
}

void replayTable(const JournalTable& t, const Target& target) {
    for (const JournalTable::Run& run : t.runs)
        writeAll(target.fd, run.records.data(), run.records.size(), t.headerLength + uint64_t(run.first) * t.recordLength,
                 target.path);
    const char eof = '\x1A';
    writeAll(target.fd, &eof, 1, t.headerLength + uint64_t(t.newCount) * t.recordLength, target.path);
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::string head(7, '\0');
    head[0] = static_cast<char>(tm.tm_year);
    head[1] = static_cast<char>(tm.tm_mon + 1);
    head[2] = static_cast<char>(tm.tm_mday);
    for (int i = 0; i < 4; ++i) head[3 + i] = static_cast<char>((t.newCount >> (8 * i)) & 0xFF);
    writeAll(target.fd, head.data(), head.size(), 1, target.path);
    syncFile(target.fd, target.path);
}

std::string problemText(Check check, const std::string& table, const std::string& detail) {
    switch (check) {
    case Check::Missing: return "a(z) " + table + " tábla nem található";
    case Check::OtherLayout: return "a(z) " + table + " tábla szerkezete eltér a naplóban írttól";
    default: return "a(z) " + table + " tábla nem olvasható (" + detail + ")";
    }
}

// Opens the journal's tables and writes the after-images into them.
RecoveryReport replayJournal(const std::string& directory, const std::vector<JournalTable>& tables) {
    const std::string name = kJournalFileName;
    const std::string path = journalPath(directory);
    RecoveryReport report;
    for (const JournalTable& t : tables) report.tables.push_back(fs::path(t.name).filename().string());
    std::vector<Target> targets(tables.size());
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
        // No data may be lost silently: the journal is kept under another name.
        const std::string kept = keptName(directory);
        const bool renamed = std::rename(path.c_str(), (fs::path(directory) / kept).string().c_str()) == 0;
        try { syncDirectory(directory); } catch (const DbError&) {}
        report.outcome = renamed ? RecoveryOutcome::KeptAside : RecoveryOutcome::Failed;
        report.keptAs = renamed ? kept : std::string();
        const std::string why = problemText(check, report.tables[i], detail);
        report.messages.push_back(
            "A(z) " + name + " napló egy félbemaradt írást őriz (" + joinNames(report.tables) + "), de " + why +
            ", ezért nem játszható vissza. " +
            (renamed ? "A naplót " + kept + " néven megőriztük, hogy egyetlen adat se vesszen el. "
                     : "A napló a helyén maradt. ") +
            "A táblák a félbemaradt írás előtti, esetleg részben írt állapotukban vannak; kérje a rendszergazda "
            "segítségét.");
        return report;
    }
    try {
        for (size_t i = 0; i < tables.size(); ++i) replayTable(tables[i], targets[i]);
        if (::unlink(path.c_str()) != 0) throwIo(path, "nem törölhető", errno);
        syncDirectory(directory);
    } catch (const DbError& e) {
        report.outcome = RecoveryOutcome::Failed;
        report.messages.push_back("A(z) " + name + " napló visszajátszása nem sikerült: " + std::string(e.what()) +
                                  " A napló megmaradt; a következő megnyitáskor újra megpróbáljuk. Addig a táblák "
                                  "nem használhatók.");
        return report;
    }
    report.outcome = RecoveryOutcome::Replayed;
    report.messages.push_back("A legutóbbi írás a program leállása miatt félbemaradt; a(z) " + name +
                              " napló alapján most befejeződött (" + joinNames(report.tables) + ").");
    return report;
}

// A journal still under its temporary name was never complete, and no
// table byte changes before it is: it is dropped.
std::optional<RecoveryReport> dropUnfinished(const std::string& directory) {
    const std::string tmp = journalPath(directory) + ".tmp";
    const int fd = ::open(tmp.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    RecoveryReport report;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        report.outcome = RecoveryOutcome::InUse;
        report.messages.push_back("A(z) " + std::string(kJournalFileName) +
                                  " naplót egy másik program éppen írja (a Velmora egy másik példánya fut ezen az "
                                  "adatkönyvtáron?); most nem nyúltunk hozzá.");
        return report;
    }
    ::unlink(tmp.c_str());
    ::close(fd);
    try { syncDirectory(directory); } catch (const DbError&) {}
    report.outcome = RecoveryOutcome::DroppedIncomplete;
    return report;
}

} // namespace

RecoveryReport recoverJournal(const std::string& directory) {
    const std::string name = kJournalFileName;
    RecoveryReport report;
    if (auto dropped = dropUnfinished(directory)) {
        if (dropped->outcome == RecoveryOutcome::InUse) return *dropped;
        report = *dropped;
    }
    const std::string path = journalPath(directory);
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return report;
        report.outcome = RecoveryOutcome::Failed;
        report.messages.push_back("A(z) " + name + " napló nem nyitható meg: " + describeErrno(errno) + ".");
        return report;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        report.outcome = RecoveryOutcome::InUse;
        report.messages.push_back("A(z) " + name +
                                  " naplót egy másik program használja (a Velmora egy másik példánya fut ezen az "
                                  "adatkönyvtáron?); most nem nyúltunk hozzá.");
        return report;
    }
    struct stat st{};
    std::string bytes;
    if (fstat(fd, &st) == 0) {
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    std::vector<JournalTable> tables;
    std::string why;
    if (!parseJournal(bytes, tables, why)) {
        ::unlink(path.c_str());
        try { syncDirectory(directory); } catch (const DbError&) {}
        report.outcome = RecoveryOutcome::DroppedDamaged;
        report.messages.push_back("A(z) " + name + " napló sérült (" + why +
                                  "), ezért töröltük; a táblákhoz nem nyúltunk, azok a legutóbbi teljes írás "
                                  "állapotában vannak.");
        return report;
    }
    return replayJournal(directory, tables);
}

} // namespace velmora::db
