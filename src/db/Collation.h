#pragma once
// Hungarian ordering and case handling through ICU.
#include <string>
#include <string_view>

namespace velmora::db::collation {

// ICU sort key of the text under the Hungarian collator (tertiary strength:
// accented letters with their base letters, capitals beside small letters).
// Ends with a 0 byte and holds no other 0 byte, so sort keys can be
// concatenated segment after segment.
std::string sortKey(std::string_view utf8);

// <0, 0, >0 under the Hungarian collator; caseInsensitive compares at
// secondary strength.
int compare(std::string_view a, std::string_view b, bool caseInsensitive = false);

// Full Unicode case folding, for case-insensitive equality and prefixes.
std::string foldCase(std::string_view utf8);

// Upper-case mapping (Hungarian rules).
std::string toUpper(std::string_view utf8);

// Collator version, stored in index files so keys made by another ICU are rebuilt.
std::string version();

} // namespace velmora::db::collation
