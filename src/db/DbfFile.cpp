#include "db/DbfFile.h"

#include "db/Codepage.h"
#include "db/DbError.h"
#include "db/MdxFile.h"
#include "db/StoredField.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace velmora::db {
namespace {

std::string baseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

void lockOrThrow(os::File& file) {
    if (!file.tryLock())
        throw DbError(DbError::Code::Locked, "A(z) " + baseName(file.path()) +
                                                 " táblát egy másik program használja (a Velmora egy másik "
                                                 "példánya fut ezen az adatkönyvtáron?).");
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

DbfFile::DbfFile(os::File file) : file_(std::move(file)) {}

// Changes still held were never committed: they do not reach the file.
DbfFile::~DbfFile() = default;

void DbfFile::create(const std::string& path, const FieldList& fields, int level) {
    validateFieldList(fields, baseName(path));
    if (level != 3 && level != 4)
        throw DbError(DbError::Code::BadValue, "A(z) " + baseName(path) + " tábla nem hozható létre " +
                                                   std::to_string(level) + ". szinten.");
    // An existing file held open by another program must not be replaced.
    std::optional<os::File> existing = os::File::openIfExists(path, os::Access::Read);
    if (existing) lockOrThrow(*existing);
    std::string bytes = buildDbfHeader(fields, level, kLangDriverCp852);
    bytes += '\x1A';
    os::writeFileReplacing(path, bytes);
}

std::unique_ptr<DbfFile> DbfFile::open(const std::string& path) {
    std::unique_ptr<DbfFile> f(new DbfFile(os::File::open(path, os::Access::ReadWriteOrRead)));
    lockOrThrow(f->file_);
    f->load();
    return f;
}

void DbfFile::load() {
    const uint64_t size = file_.size();
    // The header first, so a damaged count never makes us read a huge file blindly.
    std::string head(std::min<uint64_t>(size, 65536 + 32), '\0');
    file_.readExact(head.data(), head.size(), 0);
    header_ = parseDbfHeader(head, size, baseName(path()));
    codePage_ = codePageOf(header_, baseName(path()));
    headerBytes_ = head.substr(0, header_.headerLength);
    data_.resize(size_t(header_.recordCount) * header_.recordLength);
    if (!data_.empty()) file_.readExact(data_.data(), data_.size(), header_.headerLength);
}

const char* DbfFile::raw(uint32_t recno) const {
    if (recno >= header_.recordCount)
        throw DbError(DbError::Code::State, "Nincs ilyen rekord a(z) " + baseName(path()) + " táblában: " +
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
                      "A(z) " + def.name + " mező (" + baseName(path()) + ") értéke " + why);
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

void DbfFile::writeAt(uint64_t offset, const void* data, size_t size) { file_.writeAt(data, size, offset); }

void DbfFile::writeCountAndDate() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    headerBytes_[1] = static_cast<char>(tm.tm_year);
    headerBytes_[2] = static_cast<char>(tm.tm_mon + 1);
    headerBytes_[3] = static_cast<char>(tm.tm_mday);
    const uint32_t n = header_.recordCount;
    for (int i = 0; i < 4; ++i) headerBytes_[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    writeAt(0, headerBytes_.data(), 8);
    headerDirty_ = true;
}

void DbfFile::write(uint32_t recno, const char* record) {
    raw(recno);  // range check
    char* at = data_.data() + size_t(recno) * header_.recordLength;
    if (held_) {
        std::memcpy(at, record, header_.recordLength);
        return;
    }
    // A failed write puts back what it may have half replaced, so that file
    // and memory still hold the old record.
    const uint64_t offset = header_.headerLength + uint64_t(recno) * header_.recordLength;
    const std::string before(at, header_.recordLength);
    const std::string headBefore = headBytes();
    try {
        writeAt(offset, record, header_.recordLength);
        if (!headerDirty_) writeCountAndDate();  // the last-update date once per opening
    } catch (...) {
        setHeadBytes(headBefore);
        try {
            writeAt(offset, before.data(), before.size());
            writeAt(0, headBefore.data(), headBefore.size());
        } catch (...) {}
        throw;
    }
    std::memcpy(at, record, header_.recordLength);
}

uint32_t DbfFile::append(const char* record) {
    const uint32_t recno = header_.recordCount;
    if (recno == UINT32_MAX) throw DbError(DbError::Code::State, "A(z) " + baseName(path()) + " tábla megtelt.");
    if (held_) {
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
    if (!replaced.empty()) file_.readExact(replaced.data(), replaced.size(), offset);
    const std::string headBefore = headBytes();
    ++header_.recordCount;
    try {
        writeAt(offset, bytes.data(), bytes.size());
        writeCountAndDate();
    } catch (...) {
        --header_.recordCount;
        setHeadBytes(headBefore);
        try {
            writeAt(0, headBefore.data(), headBefore.size());
            if (!replaced.empty()) writeAt(offset, replaced.data(), replaced.size());
            file_.truncate(sizeBefore);
        } catch (...) {}
        throw;
    }
    data_.insert(data_.end(), record, record + header_.recordLength);
    return recno;
}

void DbfFile::setDeleted(uint32_t recno, bool deleted) {
    std::string rec(raw(recno), header_.recordLength);
    rec[0] = deleted ? '*' : ' ';
    write(recno, rec.data());
}

void DbfFile::zap() {
    if (held_) throw DbError(DbError::Code::State, "Kötegelt írás közben a tábla nem üríthető.");
    header_.recordCount = 0;
    data_.clear();
    writeCountAndDate();
    const char eof = '\x1A';
    writeAt(header_.headerLength, &eof, 1);
    file_.truncate(header_.headerLength + 1);
}

std::vector<uint32_t> DbfFile::pack() {
    if (held_) throw DbError(DbError::Code::State, "Kötegelt írás közben a tábla nem tömöríthető.");
    std::vector<uint32_t> map(header_.recordCount, UINT32_MAX);
    if (!hasDeleted()) {
        // Nothing to remove: the file stays as it is.
        for (uint32_t r = 0; r < header_.recordCount; ++r) map[r] = r;
        return map;
    }
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
    std::string bytes = header;
    bytes.append(kept.data(), kept.size());
    bytes += '\x1A';
    const std::string name = path();
    os::writeFileReplacing(name, bytes);
    os::File packed = os::File::open(name, os::Access::ReadWrite);
    lockOrThrow(packed);
    file_ = std::move(packed);
    headerBytes_ = header;
    header_.recordCount = n;
    data_ = std::move(kept);
    return map;
}

bool DbfFile::hasDeleted() const {
    for (uint32_t r = 0; r < header_.recordCount; ++r)
        if (isDeleted(r)) return true;
    return false;
}

void DbfFile::writeHeaderBytes(int offset, std::string_view bytes) {
    if (offset < 0 || offset + bytes.size() > 32)
        throw DbError(DbError::Code::State, "Csak a fejléc első 32 bájtja írható.");
    CodePage cp = codePage_;
    if (offset <= 29 && offset + bytes.size() > 29) {
        DbfHeader marked;
        marked.languageDriver = static_cast<uint8_t>(bytes[29 - offset]);
        cp = codePageOf(marked, baseName(path()));
    }
    writeAt(offset, bytes.data(), bytes.size());
    headerBytes_.replace(offset, bytes.size(), bytes);
    header_.mdxFlag = static_cast<uint8_t>(headerBytes_[28]);
    header_.languageDriver = static_cast<uint8_t>(headerBytes_[29]);
    codePage_ = cp;
}

// --- held changes ----------------------------------------------------------------

void DbfFile::putBack(uint32_t recno, std::string_view bytes) {
    std::memcpy(data_.data() + size_t(recno) * header_.recordLength, bytes.data(), header_.recordLength);
}

void DbfFile::dropFrom(uint32_t count) {
    if (count >= header_.recordCount) return;
    header_.recordCount = count;
    data_.resize(size_t(count) * header_.recordLength);
}

void DbfFile::writeRecords(uint32_t first, uint32_t count, bool endMark) {
    const uint64_t at = header_.headerLength + uint64_t(first) * header_.recordLength;
    const char* from = data_.data() + size_t(first) * header_.recordLength;
    const size_t len = size_t(count) * header_.recordLength;
    if (!endMark || first + count != header_.recordCount) {
        writeAt(at, from, len);
        return;
    }
    std::string last(from, len);
    last += '\x1A';  // the end mark goes with the last records
    writeAt(at, last.data(), last.size());
}

void DbfFile::writeRaw(uint64_t offset, std::string_view bytes) { writeAt(offset, bytes.data(), bytes.size()); }

std::string DbfFile::readRaw(uint64_t offset, size_t size) const {
    std::string bytes(size, '\0');
    file_.readExact(bytes.data(), size, offset);
    return bytes;
}

void DbfFile::truncate(uint64_t size) { file_.truncate(size); }

void DbfFile::sync() { file_.sync(); }

uint64_t DbfFile::fileSize() const {
    try {
        return file_.size();
    } catch (const DbError&) {
        return 0;
    }
}

uint64_t DbfFile::hash() const {
    const uint64_t h1 = contentHash(headerBytes_.data(), headerBytes_.size());
    const uint64_t h2 = contentHash(data_.data(), data_.size());
    return h1 ^ (h2 * 0x9E3779B97F4A7C15ULL + (h1 << 6) + (h1 >> 2));
}

} // namespace velmora::db
