#pragma once
// The small check and text functions shared by the entry windows, the
// register, the imports and the reports. They hold no state; the checks that
// show a message do so as an error box through Dialogs and return false.
//
// Two lookups of the same family live where their objects are: finding the
// first row whose field equals a value is the table's locate (db::Table), and
// finding a window's control by name is a lookup of the control's
// objectName in the window code.
#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Finding.h"

#include <string>

namespace velmora::app {

// "YYYY.MM.DD" naming a real day. Only the full ten-character form counts:
// "2024.1.5" or "2024.01.05 " are not dates here.
bool IsValidDateText(const std::string& s);

// A billing period the user may choose: a real month, from 1999.06, not
// after today. Every failing rule is a finding; CheckPeriod shows them.
Findings periodFindings(const std::string& period, const Clock& clock, const std::string& field = {});
bool CheckPeriod(const std::string& period, const Clock& clock, Dialogs& dialogs);

// A date from 1895.01.01 (resp. 1996.10.01) up to the last day of the
// current period. An invalid date shows only its own message; an invalid
// current period makes the check fail without a message. The findings
// point at `field`; the Check… forms show them.
Findings dateFrom1895(const std::string& date, const std::string& currentPeriod, const std::string& field = {});
Findings dateFrom1996(const std::string& date, const std::string& currentPeriod, const std::string& field = {});
bool CheckDateFrom1895(const std::string& date, const std::string& currentPeriod, Dialogs& dialogs);
bool CheckDateFrom1996(const std::string& date, const std::string& currentPeriod, Dialogs& dialogs);

// Nine digits whose ninth is the last digit of the first eight weighted
// 3,7,3,7,...; a blank TAJ passes (whether one is required is the caller's
// business).
bool TajCheckDigitOk(const std::string& taj);

// Empty, or only blanks, NUL characters and code 255 fill: U+00FF, the
// no-break space that code page 852 puts at 255, or a raw 0xFF byte.
bool IsBlank(const std::string& s);

// A field that must be filled.
Findings mandatory(const std::string& s, const std::string& field = {});
bool CheckMandatory(const std::string& s, Dialogs& dialogs);

// Number of days of the period's month. Throws std::invalid_argument when
// "period.01" is not a date.
int DaysInPeriod(const std::string& period);

// 5 -> "05", 12 -> "12".
std::string TwoDigits(int n);

// Fixed-width texts, widths counted in UTF-8 characters. The text is cut to
// the width first; an empty fill means a blank. With a one-character fill the
// result is exactly `width` characters (PadLeft("42", 5, "0") == "00042");
// a longer fill is only repeated whole, so PadLeft may then fall short.
std::string PadRight(const std::string& s, int width, const std::string& fill);
std::string PadLeft(const std::string& s, int width, const std::string& fill);


// Diagnosis codes of chapter Z may not be entered on a sheet.
Findings notZCode(const std::string& code, const std::string& field = {});
bool CheckNotZCode(const std::string& code, Dialogs& dialogs);

// What typing or pasting may put into a one-line text field: a tab or a
// line break (CR, LF, CR LF, U+2028, U+2029) becomes one space, any other
// control character (C0, DEL, C1) is dropped. Stored texts travel into the
// fund's fixed-width files, where a control character breaks the row.
std::string cleanTypedText(const std::string& s);
// One character of it: ' ' for a tab or a line break, 0 for a character
// that is dropped, the character itself otherwise. A CR directly before an
// LF is the caller's business (cleanTypedText drops it).
char32_t cleanTypedChar(char32_t c);
// The text holds a character cleanTypedText would change.
bool hasControlCharacters(const std::string& text);

// `path` with a trailing separator, ready for a file name to be appended.
// The program's paths use '/', the platform's separator, where the
// installation's own texts write "\". An empty path stays empty, so a bare
// file name then means the current directory rather than the root.
std::string SureDir(const std::string& path);

} // namespace velmora::app
