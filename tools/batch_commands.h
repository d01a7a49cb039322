#pragma once
// The commands of velmora-batch over an opened data directory. Each calls
// the same logic as the program's menu item and plugs the command line in
// where the window would ask.
#include <optional>
#include <string>
#include <vector>

namespace velmora::batch {

// One exit code per kind of failure; --help and the help file list them.
enum Exit : int {
    kOk = 0,
    kFailed = 1,      // the command stopped with an error; its message says why
    kRefused = 2,     // a question needs --yes; nothing changed
    kHeld = 3,        // the program (or another run) works on the data directory
    kFaults = 4,      // check found faults
    kNoData = 5,      // no data directory there, or not one of this program
    kUsage = 64,      // unknown command or option, missing or malformed argument
};

struct Options {
    std::string dataDir;            // with no trailing separator
    std::string command;
    std::vector<std::string> args;  // the command's own arguments
    bool yes = false;
    std::optional<std::string> period;   // --period
    std::optional<std::string> archive;  // --archive
    bool ment = false;                   // --ment
    std::vector<std::string> sheets;     // --sheets, "YYYY.MM/NNNNN[R]"
    std::optional<std::string> copyTo;   // --copy (ship)
};

// Runs a command that works through the program's start-up; the exit code.
int runCommand(const Options& options);

} // namespace velmora::batch
