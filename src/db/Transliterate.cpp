#include "db/Transliterate.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace velmora::db {
namespace {

// Length of the UTF-8 sequence that starts with b; 1 for a stray byte.
size_t sequenceLength(unsigned char b) {
    if (b >= 0xF0 && b < 0xF8) return 4;
    if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
    if (b >= 0xC2) return 2;
    return 1;
}

icu::Transliterator* latinizer() {
    static const std::unique_ptr<icu::Transliterator> t = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(icu::Transliterator::createInstance(
            "Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return t.get();
}

std::string latinOf(std::string_view character) {
    icu::Transliterator* t = latinizer();
    if (!t) return {};
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(character.data(), static_cast<int32_t>(character.size())));
    t->transliterate(text);
    std::string out;
    text.toUTF8String(out);
    return out;
}

} // namespace

std::string fitToCodePage(CodePage cp, std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const size_t n = std::min(sequenceLength(b), utf8.size() - i);
        const std::string_view character = utf8.substr(i, n);
        i += n;
        if (b < 0x20 || b == 0x7F) {
            out += ' ';
            continue;
        }
        if (codepage::fromUtf8(cp, character)) {
            out += character;
            continue;
        }
        const std::string latin = latinOf(character);
        out += !latin.empty() && latin != character && codepage::fromUtf8(cp, latin) ? latin : "?";
    }
    return out;
}

} // namespace velmora::db
