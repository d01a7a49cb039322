// Parsing and building of dBASE table headers.
#include "db/DbError.h"
#include "db/DbfFile.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <set>

namespace velmora::db {
namespace {

uint16_t le16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}
uint32_t le32(std::string_view b, size_t at) {
    return le16(b, at) | (static_cast<uint32_t>(le16(b, at + 2)) << 16);
}
void put16(std::string& b, size_t at, uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

[[noreturn]] void damaged(const std::string& fileName, const std::string& why) {
    throw DbError(DbError::Code::Damaged, "A(z) " + fileName + " nem olvasható dBASE tábla: " + why);
}

void checkDescriptor(const FieldDef& f, const std::string& fileName) {
    const std::string where = "a(z) " + f.name + " mező ";
    switch (f.type) {
    case 'C':
        if (f.width < 1) damaged(fileName, where + "szélessége hibás");
        break;
    case 'D':
        if (f.width != 8) damaged(fileName, where + "dátummező, de nem 8 széles");
        break;
    case 'N': case 'F':
        if (f.width < 1 || f.width > 20 || f.decimals > 15 || (f.decimals > 0 && f.decimals > f.width - 2))
            damaged(fileName, where + "számmező, de a szélessége vagy a tizedesjegyei hibásak");
        break;
    case 'L':
        if (f.width != 1) damaged(fileName, where + "logikai mező, de nem 1 széles");
        break;
    default:
        if (f.width < 1) damaged(fileName, where + "szélessége hibás");
    }
}

} // namespace

DbfHeader parseDbfHeader(std::string_view bytes, uint64_t fileSize, const std::string& fileName) {
    if (bytes.size() < 32 || fileSize < 32) damaged(fileName, "a fájl rövidebb egy fejlécnél");
    DbfHeader h;
    h.version = static_cast<uint8_t>(bytes[0]);
    if ((h.version & 0x07) != 0x03)
        damaged(fileName, "ismeretlen változatjelző (" + std::to_string(h.version) + ")");
    h.year = 1900 + static_cast<unsigned char>(bytes[1]);
    h.month = static_cast<unsigned char>(bytes[2]);
    h.day = static_cast<unsigned char>(bytes[3]);
    h.recordCount = le32(bytes, 4);
    h.headerLength = le16(bytes, 8);
    h.recordLength = le16(bytes, 10);
    h.mdxFlag = static_cast<uint8_t>(bytes[28]);
    h.languageDriver = static_cast<uint8_t>(bytes[29]);

    if (h.headerLength < 65) damaged(fileName, "a fejléc hossza hibás");
    if (h.headerLength > bytes.size() || h.headerLength > fileSize) damaged(fileName, "a fájl rövidebb a fejlécnél");

    std::set<std::string> names;
    int offset = 1;
    size_t at = 32;
    for (; at + 32 <= h.headerLength && bytes[at] != '\x0D'; at += 32) {
        FieldDef f;
        std::string_view raw = bytes.substr(at, 11);
        f.name = std::string(raw.substr(0, raw.find('\0')));
        while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
        if (f.name.empty()) damaged(fileName, "üres mezőnév");
        if (!names.insert(upperAscii(f.name)).second) damaged(fileName, "kétszer szereplő mezőnév: " + f.name);
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[at + 11])));
        f.width = static_cast<unsigned char>(bytes[at + 16]);
        f.decimals = (f.type == 'N' || f.type == 'F') ? static_cast<unsigned char>(bytes[at + 17]) : 0;
        checkDescriptor(f, fileName);
        h.fields.push_back(f);
        h.offsets.push_back(offset);
        offset += f.width;
    }
    if (h.fields.empty()) damaged(fileName, "nincs egyetlen mezője sem");
    if (at >= h.headerLength || bytes[at] != '\x0D') damaged(fileName, "a mezőleírások vége hiányzik");
    if (offset != h.recordLength)
        damaged(fileName, "a rekordhossz (" + std::to_string(h.recordLength) + ") nem egyezik a mezők összhosszával (" +
                              std::to_string(offset) + ")");
    const uint64_t need = uint64_t(h.headerLength) + uint64_t(h.recordCount) * h.recordLength;
    if (fileSize < need)
        damaged(fileName, "a fejléc szerint " + std::to_string(h.recordCount) + " rekordja van, de a fájl csak " +
                              std::to_string((fileSize - h.headerLength) / h.recordLength) + " rekordnyi (csonka fájl)");
    return h;
}

CodePage codePageOf(const DbfHeader& header, const std::string& fileName) {
    if (const std::optional<CodePage> cp = codePageOfMark(header.languageDriver)) return *cp;
    char mark[8];
    std::snprintf(mark, sizeof mark, "0x%02X", static_cast<unsigned>(header.languageDriver));
    const std::string named = markedCodePage(header.languageDriver);
    if (named.empty())
        throw DbError(DbError::Code::Damaged,
                      "A(z) " + fileName + " állomány fejlécében ismeretlen kódlapjelölés áll (" + mark +
                          "), így nem tudható, milyen kódlapon vannak a szövegei; a program ezért nem használja "
                          "az állományt.");
    throw DbError(DbError::Code::Damaged,
                  "A(z) " + fileName + " állomány a fejléce szerint ezt a kódlapot használja: " + named +
                      " (kódlapjelölés: " + mark + "). Ezt a kódlapot a program nem tudja olvasni, ezért nem "
                      "használja az állományt.");
}

int levelOf(const DbfHeader& header) {
    if (header.version == 0x04) return 7;
    return header.languageDriver != 0 ? 4 : 3;
}

void validateFieldList(const FieldList& fields, const std::string& fileName) {
    auto bad = [&](const std::string& why) {
        throw DbError(DbError::Code::BadValue, "A(z) " + fileName + " tábla nem hozható létre: " + why);
    };
    if (fields.empty()) bad("nincs mezője");
    if (fields.size() > 255) bad("túl sok mező");
    std::set<std::string> names;
    int length = 1;
    for (const FieldDef& f : fields) {
        if (f.name.empty() || f.name.size() > 10 || !std::isalpha(static_cast<unsigned char>(f.name[0])))
            bad("hibás mezőnév: '" + f.name + "'");
        for (char c : f.name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') bad("hibás mezőnév: '" + f.name + "'");
        if (!names.insert(upperAscii(f.name)).second) bad("kétszer szereplő mezőnév: " + f.name);
        const bool ok = (f.type == 'C' && f.width >= 1 && f.width <= 254) || (f.type == 'D' && f.width == 8) ||
                        (f.type == 'N' && f.width >= 1 && f.width <= 20 && f.decimals >= 0 &&
                         (f.decimals == 0 || f.decimals <= f.width - 2) && f.decimals <= 15) ||
                        (f.type == 'L' && f.width == 1);
        if (!ok) bad("a(z) " + f.name + " mező típusa vagy szélessége hibás");
        length += f.width;
    }
    if (length > 65535) bad("túl hosszú rekord");
}

std::string buildDbfHeader(const FieldList& fields, int level, uint8_t languageDriver) {
    const size_t headerLength = 32 + 32 * fields.size() + 1;
    std::string b(headerLength, '\0');
    b[0] = 0x03;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    b[1] = static_cast<char>(tm.tm_year);
    b[2] = static_cast<char>(tm.tm_mon + 1);
    b[3] = static_cast<char>(tm.tm_mday);
    put16(b, 8, static_cast<uint16_t>(headerLength));
    int recordLength = 1;
    for (const FieldDef& f : fields) recordLength += f.width;
    put16(b, 10, static_cast<uint16_t>(recordLength));
    b[29] = static_cast<char>(level >= 4 ? languageDriver : 0);
    for (size_t i = 0; i < fields.size(); ++i) {
        const size_t at = 32 + 32 * i;
        const FieldDef& f = fields[i];
        for (size_t k = 0; k < f.name.size() && k < 10; ++k) b[at + k] = f.name[k];
        b[at + 11] = f.type;
        b[at + 16] = static_cast<char>(f.width);
        b[at + 17] = static_cast<char>(f.decimals);
    }
    b[headerLength - 1] = '\x0D';
    return b;
}

} // namespace velmora::db
