#include "sheets/FieldChecks.h"

#include "app/TextHelpers.h"

namespace velmora::sheets {

std::optional<int> wholeNumber(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(' ');
    const std::string digits = text.substr(first, last - first + 1);
    // Nine digits fit an int; the fields hold three at most.
    if (digits.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool dateBlank(const std::string& text) {
    std::string rest;
    for (char c : text)
        if (c != '.') rest += c;
    return app::IsBlank(rest);
}

app::Findings numberCheck(const std::string& text, DayCountField field, const std::string& control) {
    using app::Finding;
    using app::Msg;
    if (field == DayCountField::Billed && app::IsBlank(text)) return {};
    const auto value = wholeNumber(text);
    if (!value) return {Finding::refusal(control, Msg::OnlyNumber)};
    if (field == DayCountField::Ordered && (*value > 50 || *value == 0))
        return {Finding::refusal(control, Msg::OrderedDaysRange)};
    if (field == DayCountField::Billed && *value > 50) return {Finding::refusal(control, Msg::BilledDaysRange)};
    return {};
}

app::Findings closingDateCheck(const std::string& lezdat, const std::string& szakvet, const std::string& period,
                               const std::string& control) {
    using app::Finding;
    using app::Msg;
    if (dateBlank(lezdat)) return {};
    if (!app::IsValidDateText(lezdat)) return {Finding::refusal(control, Msg::InvalidDateShort)};
    app::Findings found;
    if (lezdat < szakvet) found.push_back(Finding::refusal(control, Msg::ClosingBeforeStart));
    if (lezdat.substr(0, 7) > period) found.push_back(Finding::refusal(control, Msg::ClosingAfterPeriod));
    return found;
}

bool activityCodeCharactersOk(const std::string& tev) { return ActivityCode::placed(tev).has_value(); }

void placeActivityCodes(std::array<std::string, kMaxDays>& tev) {
    for (std::string& code : tev)
        if (const auto placed = ActivityCode::placed(code)) code = *placed;
}

bool activityNursesFilled(const std::string& tev, const std::array<std::string, kActivities>& aptev) {
    const ActivityCode code{tev};
    for (int k = 1; k <= kActivities; ++k)
        if (code.listsAt(k) && app::IsBlank(aptev[k - 1])) return false;
    return true;
}

} // namespace velmora::sheets
