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

bool numberCheck(const std::string& text, DayCountField field, app::Dialogs& dialogs) {
    if (field == DayCountField::Billed && app::IsBlank(text)) return true;
    const auto value = wholeNumber(text);
    if (!value) {
        dialogs.error("Csak szám írható a mezőbe!");
        return false;
    }
    if (field == DayCountField::Ordered && (*value > 50 || *value == 0)) {
        dialogs.error("Az elrendelt napszám nem lehet több 50-nél és nem lehet 0!");
        return false;
    }
    if (field == DayCountField::Billed && *value > 50) {
        dialogs.error("Az eddig elszámolt napszám nem lehet több 50-nél!");
        return false;
    }
    return true;
}

bool closingDateCheck(const std::string& lezdat, const std::string& szakvet, const std::string& period,
                      app::Dialogs& dialogs) {
    if (dateBlank(lezdat)) return true;
    if (!app::IsValidDateText(lezdat)) {
        dialogs.error("Érvénytelen dátum!");
        return false;
    }
    bool ok = true;
    if (lezdat < szakvet) {
        dialogs.error("Nem lehet a lezárás dátuma kisebb, mint az ápolásba vétel dátuma!");
        ok = false;
    }
    if (lezdat.substr(0, 7) > period) {
        dialogs.error("Nem lehet a lezárás dátuma nagyobb a jelentési időszak végénél!");
        ok = false;
    }
    return ok;
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
