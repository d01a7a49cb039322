#pragma once
// The diagnostic log: velmora.log in the installation's working directory,
// one line per event (the time, a level, the text the user read and its
// cause), so that "it said Hiba a lefutásban! last Tuesday" can be traced
// afterwards. What goes in: every error and warning shown, every recovery
// of an interrupted write, every file refused, and what velmora-batch ran.
// Keys (TAJ numbers, sheet keys) may appear; names, addresses and
// diagnoses never do: the texts that reach it are the program's messages,
// which carry no more than keys.
//
// The log is for diagnosis only: a log that cannot be written is skipped
// silently and never stops the program. It is rotated by size: past the
// limit the file becomes velmora.log.1 (the older one velmora.log.2) and a
// new one starts.
#include "app/Failure.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace velmora::app {

inline constexpr const char* kLogName = "velmora.log";
inline constexpr std::uintmax_t kLogLimit = 1024 * 1024;
inline constexpr int kLogGenerations = 2;  // velmora.log.1 and velmora.log.2 are kept

enum class LogLevel { Error, Warning, Info };

class DiagnosticLog {
public:
    // An empty `file` is a log that writes nothing.
    explicit DiagnosticLog(std::string file, std::uintmax_t limit = kLogLimit);

    const std::string& file() const { return file_; }

    // One line; `cause` is what the engine or the system said, if anything.
    void write(LogLevel level, const std::string& text, const std::string& cause = {}) noexcept;
    void write(const Failure& failure) noexcept;

private:
    void rotateFor(std::uintmax_t adding) noexcept;

    std::string file_;
    std::uintmax_t limit_;
};

// The log file of an installation whose working directory is `dir`.
std::string logFileIn(const std::string& dir);

// The working directory whose log belongs to the data directory `dataDir`:
// its parent when it is an installation's DATA folder (any letter case),
// else the data directory itself.
std::string logDirOfData(const std::string& dataDir);

// One line of the log as written (without the line break): "YYYY-MM-DD
// HH:MM:SS LEVEL text | cause", the text's own line breaks as " / ".
std::string logLine(LogLevel level, const std::string& text, const std::string& cause, std::time_t when);

// The last `count` lines of the log, oldest first, reaching into the
// rotated file when the current one holds fewer; none when there is no log.
std::vector<std::string> lastLogLines(const std::string& file, size_t count);

// The log of this process, installed by its entry point (the program,
// velmora-batch) for as long as the object lives; the steps that have
// something to record without a box (a recovery, a refused file, a cause
// behind a warning) write through logEvent, which does nothing while no
// log is installed.
class InstalledLog {
public:
    explicit InstalledLog(DiagnosticLog& log);
    ~InstalledLog();
    InstalledLog(const InstalledLog&) = delete;
    InstalledLog& operator=(const InstalledLog&) = delete;

private:
    DiagnosticLog* previous_;
};

void logEvent(LogLevel level, const std::string& text, const std::string& cause = {}) noexcept;
void logEvent(const Failure& failure) noexcept;

} // namespace velmora::app
