#include "db/DbfFile.h"

#include "db/Codepage.h"
#include "db/DbError.h"
#include "db/FileIo.h"
#include "db/MdxFile.h"
#include "db/StoredField.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::db {
namespace {

std::string baseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// errno is read here, so call this right after the failing call.
[[noreturn]] void ioError(const std::string& path, const std::string& what) { throwIo(path, what, errno); }

// Reads exactly size bytes at offset; a file shorter than that is damaged.
void readAll(int fd, void* data, size_t size, uint64_t offset, const std::string& path) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ioError(path, "nem olvasható");
        if (n == 0)
            throw DbError(DbError::Code::Damaged, "A(z) " + baseName(path) + " állomány rövidebb, mint a fejléce szerint.");
        p += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
}

void lockOrThrow(int fd, const std::string& path) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            throw DbError(DbError::Code::Locked, "A(z) " + baseName(path) +
                                                     " táblát egy másik program használja (a Velmora egy másik "
                                                     "példánya fut ezen az adatkönyvtáron?).");
        ioError(path, "nem zárolható");
    }
}

// "YYYY.MM.DD", "YYYY-MM-DD" or "YYYYMMDD" -> "YYYYMMDD"; empty when invalid.
std::string dateBytes(const std::string& text) {
    std::string digits;
    if (text.size() == 10 && (text[4] == '.' || text[4] == '-') && text[7] == text[4])
        digits = text.substr(0, 4) + text.substr(5, 2) + text.substr(8, 2);
    else if (text.size() == 8)
        digits = text;
    return isDateDigits(digits) ? digits : std::string();
}

bool blank(std::string_view s) { return s.find_first_not_of(" \0", 0, 2) == std::string_view::npos; }

} // namespace

DbfFile::DbfFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

// Changes still held in a batch were never committed: they do not reach the file.
DbfFile::~DbfFile() {
    if (fd_ >= 0) ::close(fd_);
}

void DbfFile::create(const std::string& path, const FieldList& fields, int level) {
    validateFieldList(fields, baseName(path));
    if (level != 3 && level != 4)
        throw DbError(DbError::Code::BadValue, "A(z) " + baseName(path) + " tábla nem hozható létre " +
                                                   std::to_string(level) + ". szinten.");
    // An existing file held open by another program must not be replaced.
    int existing = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (existing >= 0) {
        try { lockOrThrow(existing, path); } catch (...) { ::close(existing); throw; }
    }
    std::string bytes = buildDbfHeader(fields, level, kLangDriverCp852);
    bytes += '\x1A';
    const std::string tmp = path + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (existing >= 0) ::close(existing);
        ioError(path, "nem hozható létre");
    }
    try {
        writeAll(fd, bytes.data(), bytes.size(), 0, path);
        if (std::rename(tmp.c_str(), path.c_str()) != 0) ioError(path, "nem írható");
    } catch (...) {
        ::close(fd);
        ::unlink(tmp.c_str());
        if (existing >= 0) ::close(existing);
        throw;
    }
    ::close(fd);
    if (existing >= 0) ::close(existing);
}

std::unique_ptr<DbfFile> DbfFile::open(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ioError(path, "nem nyitható meg");
    std::unique_ptr<DbfFile> f(new DbfFile(path, fd));
    lockOrThrow(fd, path);
    f->load();
    return f;
}

void DbfFile::load() {
    struct stat st{};
    if (fstat(fd_, &st) != 0) ioError(path_, "nem olvasható");
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    // The header first, so a damaged count never makes us read a huge file blindly.
    std::string head(std::min<uint64_t>(size, 65536 + 32), '\0');
    readAll(fd_, head.data(), head.size(), 0, path_);
    header_ = parseDbfHeader(head, size, baseName(path_));
    codePage_ = codePageOf(header_, baseName(path_));
    headerBytes_ = head.substr(0, header_.headerLength);
    data_.resize(size_t(header_.recordCount) * header_.recordLength);
    if (!data_.empty()) readAll(fd_, data_.data(), data_.size(), header_.headerLength, path_);
}

const char* DbfFile::raw(uint32_t recno) const {
    if (recno >= header_.recordCount)
        throw DbError(DbError::Code::State, "Nincs ilyen rekord a(z) " + baseName(path_) + " táblában: " +
                                                std::to_string(recno + 1));
    return data_.data() + size_t(recno) * header_.recordLength;
}

Value DbfFile::value(uint32_t recno, int field) const {
    return decode(raw(recno), header_.fields.at(field), header_.offsets.at(field), codePage_);
}

Value DbfFile::decode(const char* record, const FieldDef& def, int offset, CodePage cp) {
    const StoredField f = readStoredField(record, def, offset);
    switch (f.kind) {
    case StoredField::Kind::Null: return {};
    case StoredField::Kind::Text: return Value(codepage::toUtf8(cp, f.bytes));
    case StoredField::Kind::Date: {
        std::string text(10, '.');
        formatDate(f.bytes, text.data());
        return Value(std::move(text));
    }
    case StoredField::Kind::Number: return Value(f.number);
    case StoredField::Kind::Boolean: return Value::boolean(f.boolean);
    case StoredField::Kind::Damaged: return Value::damaged(codepage::toUtf8(cp, f.bytes));
    }
    return {};
}

void DbfFile::encode(char* record, int field, const Value& value) const {
    // Built apart and copied whole, so a refused value leaves the record as it was.
    const std::string bytes = fieldBytes(header_.fields.at(field), value);
    std::memcpy(record + header_.offsets.at(field), bytes.data(), bytes.size());
}

std::string DbfFile::fieldBytes(const FieldDef& def, const Value& value) const {
    std::string field(def.width, ' ');
    char* out = field.data();
    auto bad = [&](const std::string& why) {
        throw DbError(DbError::Code::BadValue,
                      "A(z) " + def.name + " mező (" + baseName(path_) + ") értéke " + why);
    };
    if (value.isNull()) return field;
    if (value.isDamaged() && def.type != 'C') {
        // Written back as it was read (a table copied through SQL keeps it).
        const std::string text = value.asString();
        auto bytes = codepage::fromUtf8(codePage_, text);
        if (!bytes || bytes->size() > static_cast<size_t>(def.width)) bad("nem írható vissza: '" + text + "'");
        const bool rightAligned = def.type == 'N' || def.type == 'F';
        std::memcpy(out + (rightAligned ? def.width - bytes->size() : 0), bytes->data(), bytes->size());
        return field;
    }
    switch (def.type) {
    case 'C': {
        const std::string text = value.asString();
        auto bytes = codepage::fromUtf8(codePage_, text);
        if (!bytes)
            bad("olyan karaktert tartalmaz, amely nem tárolható: " + codepage::firstUnmappable(codePage_, text));
        if (bytes->size() > static_cast<size_t>(def.width))
            bad("hosszabb a mező szélességénél (" + std::to_string(bytes->size()) + " > " + std::to_string(def.width) + ")");
        std::memcpy(out, bytes->data(), bytes->size());
        return field;
    }
    case 'D': {
        const std::string text = value.asString();
        if (text.empty()) return field;
        const std::string digits = dateBytes(text);
        if (digits.empty()) bad("érvénytelen dátum: '" + text + "'");
        std::memcpy(out, digits.data(), 8);
        return field;
    }
    case 'N': case 'F': {
        std::optional<Decimal> d;
        if (value.isNumber()) d = value.number();
        else if (value.isBool()) d = Decimal::fromInt(value.asBool() ? 1 : 0);
        else {
            const std::string text = value.asString();
            if (blank(text)) return field;
            d = Decimal::parse(text);
            if (!d) bad("nem szám: '" + text + "'");
        }
        auto scaled = d->rescaled(def.decimals);
        if (!scaled && def.decimals > d->scale())
            bad("nem fér el a mezőben (" + d->toString() + ", szélesség " + std::to_string(def.width) + ")");
        if (!scaled) bad("több tizedesjegyet tartalmaz, mint amennyit a mező tárol: " + d->toString());
        const std::string text = scaled->toString();
        if (text.size() > static_cast<size_t>(def.width))
            bad("nem fér el a mezőben (" + text + ", szélesség " + std::to_string(def.width) + ")");
        std::memcpy(out + def.width - text.size(), text.data(), text.size());
        return field;
    }
    case 'L':
        out[0] = value.asBool() ? 'T' : 'F';
        return field;
    default:
        bad("nem írható (ismeretlen mezőtípus)");
    }
    return field;
}

std::string DbfFile::blankRecord() const { return std::string(header_.recordLength, ' '); }

void DbfFile::writeAt(uint64_t offset, const void* data, size_t size) { writeAll(fd_, data, size, offset, path_); }

void DbfFile::writeHeaderCountAndDate() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    headerBytes_[1] = static_cast<char>(tm.tm_year);
    headerBytes_[2] = static_cast<char>(tm.tm_mon + 1);
    headerBytes_[3] = static_cast<char>(tm.tm_mday);
    const uint32_t n = header_.recordCount;
    for (int i = 0; i < 4; ++i) headerBytes_[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    writeAt(0, headerBytes_.data(), 8);
}

void DbfFile::write(uint32_t recno, const char* record) {
    raw(recno);  // range check
    char* at = data_.data() + size_t(recno) * header_.recordLength;
    if (batchDepth_ > 0) {
        const Mark& m = marks_.back();
        if (recno < m.count && savedFor_[recno] != m.id) {
            undo_.push_back({recno, savedFor_[recno], std::string(at, header_.recordLength)});
            savedFor_[recno] = m.id;
        }
        std::memcpy(at, record, header_.recordLength);
        return;
    }
    // A failed write puts back what it may have half replaced, so that file
    // and memory still hold the old record.
    const uint64_t offset = header_.headerLength + uint64_t(recno) * header_.recordLength;
    const std::string before(at, header_.recordLength);
    const std::string headBefore = headerBytes_.substr(0, 8);
    try {
        writeAt(offset, record, header_.recordLength);
        if (!headerDirty_) writeHeaderCountAndDate();  // the last-update date once per opening
    } catch (...) {
        headerBytes_.replace(0, 8, headBefore);
        try {
            writeAt(offset, before.data(), before.size());
            writeAt(0, headBefore.data(), headBefore.size());
        } catch (...) {}
        throw;
    }
    headerDirty_ = true;
    std::memcpy(at, record, header_.recordLength);
}

uint32_t DbfFile::append(const char* record) {
    const uint32_t recno = header_.recordCount;
    if (recno == UINT32_MAX) throw DbError(DbError::Code::State, "A(z) " + baseName(path_) + " tábla megtelt.");
    if (batchDepth_ > 0) {
        data_.insert(data_.end(), record, record + header_.recordLength);
        ++header_.recordCount;
        return recno;
    }
    // Record and end-of-file mark first, the count after. A failed write puts
    // back the header, the bytes it replaced and the file's length.
    const uint64_t offset = header_.headerLength + uint64_t(recno) * header_.recordLength;
    std::string bytes(record, header_.recordLength);
    bytes += '\x1A';
    const uint64_t sizeBefore = fileSize();
    std::string replaced(sizeBefore > offset ? std::min<uint64_t>(sizeBefore - offset, bytes.size()) : 0, '\0');
    if (!replaced.empty()) readAll(fd_, replaced.data(), replaced.size(), offset, path_);
    const std::string headBefore = headerBytes_.substr(0, 8);
    ++header_.recordCount;
    try {
        writeAt(offset, bytes.data(), bytes.size());
        writeHeaderCountAndDate();
    } catch (...) {
        --header_.recordCount;
        headerBytes_.replace(0, 8, headBefore);
        try {
            writeAt(0, headBefore.data(), headBefore.size());
            if (!replaced.empty()) writeAt(offset, replaced.data(), replaced.size());
            if (ftruncate(fd_, static_cast<off_t>(sizeBefore)) != 0) {}
        } catch (...) {}
        throw;
    }
    data_.insert(data_.end(), record, record + header_.recordLength);
    headerDirty_ = true;
    return recno;
}

void DbfFile::setDeleted(uint32_t recno, bool deleted) {
    std::string rec(raw(recno), header_.recordLength);
    rec[0] = deleted ? '*' : ' ';
    write(recno, rec.data());
}

void DbfFile::zap() {
    if (batchDepth_ > 0) throw DbError(DbError::Code::State, "Kötegelt írás közben a tábla nem üríthető.");
    header_.recordCount = 0;
    data_.clear();
    writeHeaderCountAndDate();
    const char eof = '\x1A';
    writeAt(header_.headerLength, &eof, 1);
    if (ftruncate(fd_, header_.headerLength + 1) != 0) ioError(path_, "nem csonkolható");
}

std::vector<uint32_t> DbfFile::pack() {
    if (batchDepth_ > 0) throw DbError(DbError::Code::State, "Kötegelt írás közben a tábla nem tömöríthető.");
    std::vector<uint32_t> map(header_.recordCount, UINT32_MAX);
    std::vector<char> kept;
    kept.reserve(data_.size());
    uint32_t n = 0;
    for (uint32_t r = 0; r < header_.recordCount; ++r) {
        if (isDeleted(r)) continue;
        const char* rec = raw(r);
        kept.insert(kept.end(), rec, rec + header_.recordLength);
        map[r] = n++;
    }
    // The packed table goes to a new file that replaces the old one in one
    // rename, so a crash leaves either the old table or the new one.
    std::string header = headerBytes_;
    for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    const std::string tmp = path_ + ".pack";
    int fd = ::open(tmp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) ioError(path_, "nem tömöríthető");
    const char eof = '\x1A';
    try {
        writeAll(fd, header.data(), header.size(), 0, path_);
        if (!kept.empty()) writeAll(fd, kept.data(), kept.size(), header.size(), path_);
        writeAll(fd, &eof, 1, header.size() + kept.size(), path_);
        syncFile(fd, path_);
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || std::rename(tmp.c_str(), path_.c_str()) != 0)
            ioError(path_, "nem tömöríthető");
    } catch (...) {
        ::close(fd);
        ::unlink(tmp.c_str());
        throw;
    }
    ::close(fd_);
    fd_ = fd;
    headerBytes_ = header;
    header_.recordCount = n;
    data_ = std::move(kept);
    return map;
}

void DbfFile::writeHeaderBytes(int offset, std::string_view bytes) {
    if (offset < 0 || offset + bytes.size() > 32)
        throw DbError(DbError::Code::State, "Csak a fejléc első 32 bájtja írható.");
    CodePage cp = codePage_;
    if (offset <= 29 && offset + bytes.size() > 29) {
        DbfHeader marked;
        marked.languageDriver = static_cast<uint8_t>(bytes[29 - offset]);
        cp = codePageOf(marked, baseName(path_));
    }
    writeAt(offset, bytes.data(), bytes.size());
    headerBytes_.replace(offset, bytes.size(), bytes);
    header_.mdxFlag = static_cast<uint8_t>(headerBytes_[28]);
    header_.languageDriver = static_cast<uint8_t>(headerBytes_[29]);
    codePage_ = cp;
}

// --- batches ---------------------------------------------------------------

void DbfFile::beginBatch() {
    if (batchDepth_ == 0) {
        batchStartCount_ = header_.recordCount;
        batchStartSize_ = fileSize();
        batchStartHead_ = headerBytes_.substr(0, 8);
        overwrittenTail_.clear();
        heldWritten_ = false;
        undo_.clear();
        savedFor_.clear();
    }
    ++batchDepth_;
    marks_.push_back({undo_.size(), header_.recordCount, nextMarkId_++});
    if (savedFor_.size() < header_.recordCount) savedFor_.resize(header_.recordCount, 0);
}

void DbfFile::undoTo(size_t undoSize, uint32_t count) {
    while (undo_.size() > undoSize) {
        const Undo& u = undo_.back();
        std::memcpy(data_.data() + size_t(u.recno) * header_.recordLength, u.bytes.data(), u.bytes.size());
        savedFor_[u.recno] = u.savedFor;
        undo_.pop_back();
    }
    header_.recordCount = count;
    data_.resize(size_t(count) * header_.recordLength);
}

void DbfFile::endBatch(bool commit) {
    if (batchDepth_ == 0) return;
    const Mark m = marks_.back();
    marks_.pop_back();
    --batchDepth_;
    if (!commit) undoTo(m.undoSize, m.count);
    if (batchDepth_ == 0) endOutermostBatch(commit);
}

void DbfFile::endOutermostBatch(bool commit) {
    if (!commit) headerBytes_.replace(0, 8, batchStartHead_);
    if (commit && !heldWritten_ && hasHeldChanges()) {
        try {
            writeHeldChanges();
        } catch (...) {
            try { restoreHeldChanges(); } catch (...) {}
            undoTo(0, batchStartCount_);
            headerBytes_.replace(0, 8, batchStartHead_);
            undo_.clear();
            savedFor_.clear();
            heldWritten_ = false;
            throw;
        }
    }
    undo_.clear();
    savedFor_.clear();
    overwrittenTail_.clear();
    heldWritten_ = false;
}

std::vector<DbfFile::RecordRun> DbfFile::heldRuns() const {
    std::vector<uint32_t> changed;
    for (const Undo& u : undo_)
        if (u.recno < batchStartCount_) changed.push_back(u.recno);
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    std::vector<RecordRun> runs;
    auto add = [&](uint32_t first, uint32_t count) {
        if (!runs.empty() && runs.back().first + runs.back().count == first) runs.back().count += count;
        else runs.push_back({first, count});
    };
    for (uint32_t r : changed) add(r, 1);
    if (header_.recordCount > batchStartCount_) add(batchStartCount_, header_.recordCount - batchStartCount_);
    return runs;
}

void DbfFile::writeHeld() {
    if (batchDepth_ > 0) writeHeldChanges();
}

void DbfFile::restoreBeforeBatch() {
    if (batchDepth_ > 0) restoreHeldChanges();
}

void DbfFile::writeHeldChanges() {
    if (!hasHeldChanges()) return;
    const uint32_t count = header_.recordCount;
    const uint64_t oldEnd = header_.headerLength + uint64_t(batchStartCount_) * header_.recordLength;
    const uint64_t newEnd = header_.headerLength + uint64_t(count) * header_.recordLength;
    if (count != batchStartCount_ && !heldWritten_ && batchStartSize_ > oldEnd) {
        // The bytes the new records replace (the old end mark), for restoreBeforeBatch.
        overwrittenTail_.assign(std::min<uint64_t>(batchStartSize_, newEnd + 1) - oldEnd, '\0');
        readAll(fd_, overwrittenTail_.data(), overwrittenTail_.size(), oldEnd, path_);
    }
    heldWritten_ = true;
    std::string last;
    for (const RecordRun& run : heldRuns()) {
        const uint64_t at = header_.headerLength + uint64_t(run.first) * header_.recordLength;
        const char* from = data_.data() + size_t(run.first) * header_.recordLength;
        const size_t len = size_t(run.count) * header_.recordLength;
        if (count != batchStartCount_ && run.first + run.count == count) {
            last.assign(from, len);
            last += '\x1A';  // the end mark goes with the last records
            writeAt(at, last.data(), last.size());
        } else {
            writeAt(at, from, len);
        }
    }
    headerDirty_ = true;
    writeHeaderCountAndDate();
}

void DbfFile::restoreHeldChanges() {
    if (!heldWritten_) return;
    writeAt(0, batchStartHead_.data(), batchStartHead_.size());
    // The first image saved of a record is its content when the batch began.
    std::vector<bool> done(batchStartCount_, false);
    for (const Undo& u : undo_) {
        if (u.recno >= batchStartCount_ || done[u.recno]) continue;
        done[u.recno] = true;
        writeAt(header_.headerLength + uint64_t(u.recno) * header_.recordLength, u.bytes.data(), u.bytes.size());
    }
    const uint64_t oldEnd = header_.headerLength + uint64_t(batchStartCount_) * header_.recordLength;
    if (!overwrittenTail_.empty()) writeAt(oldEnd, overwrittenTail_.data(), overwrittenTail_.size());
    if (ftruncate(fd_, static_cast<off_t>(batchStartSize_)) != 0) ioError(path_, "nem állítható vissza");
}

void DbfFile::sync() { syncFile(fd_, path_); }

uint64_t DbfFile::fileSize() const {
    struct stat st{};
    return fstat(fd_, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

uint64_t DbfFile::hash() const {
    const uint64_t h1 = contentHash(headerBytes_.data(), headerBytes_.size());
    const uint64_t h2 = contentHash(data_.data(), data_.size());
    return h1 ^ (h2 * 0x9E3779B97F4A7C15ULL + (h1 << 6) + (h1 >> 2));
}

} // namespace velmora::db
