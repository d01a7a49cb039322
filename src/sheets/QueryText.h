#pragma once
// Pieces the sheet queries share: a typed text as a bound value, and the
// list of one day field over the 31 days of a visit row.
#include "app/TextHelpers.h"
#include "db/Value.h"
#include "sheets/Sheet.h"

#include <string>

namespace velmora::sheets {

// A blank field reads as null in SQL, so a blank text is bound as null
// (with IS it then matches a blank part letter).
inline db::Value textParam(const std::string& text) {
    return app::IsBlank(text) ? db::Value() : db::Value(text);
}

// "b.apdat1,b.apdat2,…,b.apdat31" for alias "b" and field "apdat".
inline std::string dayColumns(const std::string& alias, const std::string& field) {
    std::string list;
    for (int day = 1; day <= kMaxDays; ++day)
        list += (day > 1 ? "," : "") + alias + "." + field + std::to_string(day);
    return list;
}

} // namespace velmora::sheets
