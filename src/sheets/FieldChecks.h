#pragma once
// The small checks of the entry window's fields that the sheet check, the
// closing-date window and the register repeat: whole numbers in the day
// counts, the number check of the ordered and billed days, and the closing
// date against the start of care and the sheet's period.
#include "app/Finding.h"
#include "sheets/Sheet.h"

#include <array>
#include <optional>
#include <string>

namespace velmora::sheets {

// The text as a whole number: digits only, blanks around them allowed;
// nothing for anything else (a sign, a decimal point, an empty text).
std::optional<int> wholeNumber(const std::string& text);

// A date control counts as empty when its text without the dots is blank.
bool dateBlank(const std::string& text);

// The number check of the day counts. Ordered days: a whole number from 1
// to 50. Billed days: a whole number up to 50, blank counting as 0 (the
// field is stored 0 when empty). The failing rule's finding points at
// `control`.
enum class DayCountField { Ordered, Billed };
app::Findings numberCheck(const std::string& text, DayCountField field, const std::string& control = {});

// lezarell1: an empty closing date passes; a filled one must be a real
// date, not before the start of care and not in a month after the sheet's
// period. Each failing rule is a finding pointing at `control`.
app::Findings closingDateCheck(const std::string& lezdat, const std::string& szakvet, const std::string& period,
                               const std::string& control = {});

// The activity code holds only spaces and the digits 1 to 8 (what the
// activity chooser writes, and what a user may type).
bool activityCodeCharactersOk(const std::string& tev);

// Every activity code of the visit grid in its positional form; a code
// that cannot be placed stays as typed for the character test to refuse.
void placeActivityCodes(std::array<std::string, kMaxDays>& tev);

// The activity-nurse rule: every activity k the code lists at position k
// has its nurse (aptev k) filled.
bool activityNursesFilled(const std::string& tev, const std::array<std::string, kActivities>& aptev);

} // namespace velmora::sheets
