#pragma once
// The commands of velmora-batch over an opened data directory. Each calls
// the same logic as the program's menu item and plugs the command line in
// where the window would ask.
#include "app/DiagnosticLog.h"

#include <optional>
#include <string>
#include <utility>
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
    bool encrypt = false;                // --encrypt (backup)
    std::optional<std::string> passphraseFile;  // --passphrase-file (backup --encrypt, restore)
    std::vector<std::string> sheets;     // --sheets, "YYYY.MM/NNNNN[R]"
    std::optional<std::string> copyTo;   // --copy (ship)
    // report
    bool periodGiven = false;            // --period was on the command line
    std::optional<std::string> pdf;      // --pdf
    std::optional<std::string> xlsx;     // --xlsx
    std::optional<std::string> csv;      // --csv
    std::optional<std::string> from, to; // --from, --to (taj-list)
    std::optional<std::string> taj;      // --taj (taj-list)
    std::optional<std::string> chapter;  // --chapter (bno-chapter)
    std::optional<std::string> orders;   // --orders (monthly-summary), as typed
    std::optional<std::string> sheet;    // --sheet (history), "YYYY.MM/NNNNN[R]"
};

// A command line the tool cannot take: the message, then the usage line.
struct UsageError {
    std::string message;
};

// "YYYY.MM" with a month 01..12.
bool isPeriod(const std::string& s);

// The options only the report command takes, each with whether it was given.
std::vector<std::pair<const char*, bool>> reportOptionsGiven(const Options& options);

// The report command's own arguments and options checked, and the period
// its start-up takes set; throws UsageError.
void validateReport(Options& options);

// "history": the checked options; throws UsageError.
void validateHistory(const Options& options);

// Runs a command that works through the program's start-up, on a data
// directory the caller holds (its lock taken, its recovery run); the exit
// code. Errors and warnings go to `log` as well as to standard error.
int runCommand(const Options& options, app::DiagnosticLog& log);

} // namespace velmora::batch
