#include "app/TextHelpers.h"

#include "app/Date.h"
#include "app/Utf8.h"

#include <stdexcept>

namespace velmora::app {

bool IsValidDateText(const std::string& s) { return Date::parse(s).has_value(); }

Findings periodFindings(const std::string& period, const Clock& clock, const std::string& field) {
    const std::string first = period + ".01";
    Findings found;
    if (!IsValidDateText(first)) found.push_back(Finding::refusal(field, Msg::InvalidPeriod));
    // Compared as text against a bound with a trailing dot, so that 1999.05
    // itself is refused and 1999.06 is the first period allowed.
    if (first <= "1999.05.01.") found.push_back(Finding::refusal(field, Msg::PeriodBefore1999));
    if (first > clock.todayText()) found.push_back(Finding::refusal(field, Msg::PeriodInFuture));
    return found;
}

bool CheckPeriod(const std::string& period, const Clock& clock, Dialogs& dialogs) {
    return presented(dialogs, periodFindings(period, clock));
}

namespace {

Findings dateFrom(const std::string& date, const std::string& currentPeriod, const std::string& lowerBound,
                  Msg tooEarly, const std::string& field) {
    std::string last;
    try {
        last = currentPeriod + "." + TwoDigits(DaysInPeriod(currentPeriod));
    } catch (const std::invalid_argument&) {
        // No current period to hold the date against: refused without a word.
        Finding silent = Finding::refusal(field, Msg::InvalidPeriod);
        silent.text.clear();
        return {silent};
    }
    // Not a date: comparing it with the bounds would say nothing more.
    if (!IsValidDateText(date)) return {Finding::refusal(field, Msg::InvalidDate)};
    Findings found;
    if (date < lowerBound) found.push_back(Finding::refusal(field, tooEarly));
    if (date > last) found.push_back(Finding::refusal(field, Msg::DateAfterPeriod));
    return found;
}

} // namespace

Findings dateFrom1895(const std::string& date, const std::string& currentPeriod, const std::string& field) {
    return dateFrom(date, currentPeriod, "1895.01.01", Msg::DateBefore1895, field);
}

Findings dateFrom1996(const std::string& date, const std::string& currentPeriod, const std::string& field) {
    return dateFrom(date, currentPeriod, "1996.10.01", Msg::DateBefore1996, field);
}

bool CheckDateFrom1895(const std::string& date, const std::string& currentPeriod, Dialogs& dialogs) {
    return presented(dialogs, dateFrom1895(date, currentPeriod));
}

bool CheckDateFrom1996(const std::string& date, const std::string& currentPeriod, Dialogs& dialogs) {
    return presented(dialogs, dateFrom1996(date, currentPeriod));
}

bool TajCheckDigitOk(const std::string& taj) {
    if (IsBlank(taj)) return true;
    if (taj.size() != 9) return false;
    for (char c : taj)
        if (c < '0' || c > '9') return false;
    static const int weights[8] = {3, 7, 3, 7, 3, 7, 3, 7};
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (taj[i] - '0') * weights[i];
    return sum % 10 == taj[8] - '0';
}

bool IsBlank(const std::string& s) {
    for (size_t pos = 0; pos < s.size();) {
        const Utf8Char c = Utf8At(s, pos);
        pos += c.length;
        const bool fill = c.valid ? (c.code == U' ' || c.code == 0 || c.code == 0xFF || c.code == 0xA0)
                                  : c.code == 0xFF;
        if (!fill) return false;
    }
    return true;
}

char32_t cleanTypedChar(char32_t c) {
    if (c == U'\t' || c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029) return U' ';
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return 0;
    return c;
}

std::string cleanTypedText(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) {
        const Utf8Char c = Utf8At(s, pos);
        const size_t at = pos;
        pos += c.length;
        // A malformed byte is no control character; it stays for the
        // code-page check to judge.
        if (!c.valid) {
            out.append(s, at, c.length);
            continue;
        }
        if (c.code == U'\r' && pos < s.size() && s[pos] == '\n') continue;  // CR LF is one break
        const char32_t kept = cleanTypedChar(c.code);
        if (kept == c.code)
            out.append(s, at, c.length);
        else if (kept != 0)
            out += static_cast<char>(kept);
    }
    return out;
}

Findings mandatory(const std::string& s, const std::string& field) {
    if (!IsBlank(s)) return {};
    return {Finding::refusal(field, Msg::MandatoryField)};
}

bool CheckMandatory(const std::string& s, Dialogs& dialogs) { return presented(dialogs, mandatory(s)); }

int DaysInPeriod(const std::string& period) {
    const auto first = Date::parse(period + ".01");
    if (!first) throw std::invalid_argument("not a period: " + period);
    return DaysInMonth(first->year, first->month);
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

namespace {

std::string repeated(const std::string& fill, long times) {
    std::string out;
    for (long i = 0; i < times; ++i) out += fill;
    return out;
}

} // namespace

std::string PadRight(const std::string& s, int width, const std::string& fill) {
    if (width <= 0) return {};
    const std::string f = fill.empty() ? " " : fill;
    const std::string cut = Utf8Left(s, static_cast<size_t>(width));
    const long missing = width - static_cast<long>(Utf8Length(cut));
    return Utf8Left(cut + repeated(f, missing / static_cast<long>(Utf8Length(f)) + 1),
                    static_cast<size_t>(width));
}

std::string PadLeft(const std::string& s, int width, const std::string& fill) {
    if (width <= 0) return {};
    const std::string f = fill.empty() ? " " : fill;
    const std::string cut = Utf8Left(s, static_cast<size_t>(width));
    const long missing = width - static_cast<long>(Utf8Length(cut));
    return Utf8Left(repeated(f, missing / static_cast<long>(Utf8Length(f))) + cut,
                    static_cast<size_t>(width));
}

Findings notZCode(const std::string& code, const std::string& field) {
    if (code.empty() || code[0] != 'Z') return {};
    return {Finding::refusal(field, Msg::ZCode)};
}

bool CheckNotZCode(const std::string& code, Dialogs& dialogs) { return presented(dialogs, notZCode(code)); }

std::string SureDir(const std::string& path) {
    if (path.empty() || path.back() == '/') return path;
    return path + '/';
}

bool hasControlCharacters(const std::string& text) { return cleanTypedText(text) != text; }

} // namespace velmora::app
