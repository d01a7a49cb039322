#include "db/Collation.h"

#include "db/DbError.h"

#include <unicode/ucasemap.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <memory>
#include <vector>

namespace velmora::db::collation {
namespace {

struct CollatorClose {
    void operator()(UCollator* c) const { ucol_close(c); }
};
struct CaseMapClose {
    void operator()(UCaseMap* m) const { ucasemap_close(m); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorClose>;

// ICU setup failing means the installation lacks its data; nothing in the
// program can order text without it, so this is reported, not worked around.
[[noreturn]] void icuFailed(const char* what, UErrorCode status) {
    throw DbError(std::string("A magyar rendezési szabályok nem tölthetők be (") + what + ": " +
                  u_errorName(status) + ").");
}

CollatorPtr openCollator(UColAttributeValue strength) {
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr c(ucol_open("hu", &status));
    if (U_FAILURE(status)) icuFailed("ucol_open", status);
    ucol_setStrength(c.get(), strength);
    return c;
}

// The program is single-threaded: one collator per strength, made on first use.
UCollator* tertiary() {
    static CollatorPtr c = openCollator(UCOL_TERTIARY);
    return c.get();
}

UCollator* secondary() {
    static CollatorPtr c = openCollator(UCOL_SECONDARY);
    return c.get();
}

UCaseMap* hungarianCaseMap() {
    static std::unique_ptr<UCaseMap, CaseMapClose> m = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCaseMap, CaseMapClose> p(ucasemap_open("hu", U_FOLD_CASE_DEFAULT, &status));
        if (U_FAILURE(status)) icuFailed("ucasemap_open", status);
        return p;
    }();
    return m.get();
}

// Ill-formed UTF-8 becomes U+FFFD instead of failing: text read from foreign
// files must still get a key.
std::u16string toUtf16(std::string_view utf8) {
    std::u16string out(utf8.size() + 1, u'\0');
    int32_t length = 0;
    int32_t substitutions = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, &substitutions, &status);
    if (U_FAILURE(status)) return {};
    out.resize(length);
    return out;
}

using Utf8CaseFn = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t, UErrorCode*);

std::string mapCase(std::string_view utf8, Utf8CaseFn fn) {
    std::string out(utf8.size() + 8, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = fn(hungarianCaseMap(), out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                   static_cast<int32_t>(utf8.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.assign(n, '\0');
        status = U_ZERO_ERROR;
        n = fn(hungarianCaseMap(), out.data(), n, utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    }
    if (U_FAILURE(status)) return std::string(utf8);
    out.resize(n);
    return out;
}

} // namespace

std::string sortKey(std::string_view utf8) {
    const std::u16string text = toUtf16(utf8);
    const auto* chars = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::string key(text.size() * 4 + 16, '\0');
    int32_t n = ucol_getSortKey(tertiary(), chars, length, reinterpret_cast<uint8_t*>(key.data()),
                                static_cast<int32_t>(key.size()));
    if (n > static_cast<int32_t>(key.size())) {
        key.assign(n, '\0');
        n = ucol_getSortKey(tertiary(), chars, length, reinterpret_cast<uint8_t*>(key.data()), n);
    }
    key.resize(n);  // n counts the terminating 0 byte, which is kept
    return key;
}

int compare(std::string_view a, std::string_view b, bool caseInsensitive) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(caseInsensitive ? secondary() : tertiary(), a.data(), static_cast<int32_t>(a.size()),
                         b.data(), static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status)) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

std::string foldCase(std::string_view utf8) { return mapCase(utf8, ucasemap_utf8FoldCase); }

std::string toUpper(std::string_view utf8) { return mapCase(utf8, ucasemap_utf8ToUpper); }

std::string version() {
    UVersionInfo v;
    ucol_getVersion(tertiary(), v);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(v, text);
    return std::string("hu-") + text;
}

} // namespace velmora::db::collation
