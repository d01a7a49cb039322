#pragma once
// What one change did, as the history's VALTOZAS text holds it: the fields
// that changed with their old and new values, and a note in words. Written
// as "NAME=old>new;" items and one "!note" item; "\" escapes "\", ";", "="
// and ">" inside values.
#include <string>
#include <vector>

namespace velmora::store::history {

struct FieldChange {
    std::string field, before, after;
    bool operator==(const FieldChange&) const = default;
};

struct ChangeText {
    std::vector<FieldChange> changes;
    std::string note;
    bool operator==(const ChangeText&) const = default;
};

std::string encode(const ChangeText& text);
ChangeText decode(const std::string& text);

// The text cut into pieces of at most `width` characters (UTF-8), none of
// them ending in a blank (the table trims what a field ends with), so that
// the pieces read back and put together give the text again.
std::vector<std::string> splitText(const std::string& text, size_t width);

} // namespace velmora::store::history
