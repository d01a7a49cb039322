#pragma once
// The program's title and version as the user sees them.
#include <string>

namespace velmora::app {

inline constexpr const char* kProgramTitle = "Velmora";
inline constexpr const char* kVersion = "4.11";

// The main window's caption: the form's own caption followed by the version
// suffix. Built from the form caption every time, so setting it again (after
// reindexing, for instance) never stacks a second suffix.
inline std::string VersionCaption(const std::string& formCaption) {
    return formCaption + " - verziószám: " + kVersion;
}

} // namespace velmora::app
