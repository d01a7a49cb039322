#pragma once
// The archiver (arj) as the program runs it: an argument list and no shell,
// standard input from the null device, "-y" so it never waits for an
// answer, waited for within a time limit. Any exit code but 0 is a
// failure whose detail is what the archiver printed.
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::app {

// A failed run: what() is the program's Hungarian message, detail() the
// archiver's output (or why it could not be started).
class ArchiverError : public std::runtime_error {
public:
    ArchiverError(const std::string& message, std::string detail)
        : std::runtime_error(message), detail_(std::move(detail)) {}
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

inline constexpr std::chrono::seconds kArchiverLimit{600};

// Runs the archiver in `workDir` with `args` (the command letter first);
// returns its output. Throws ArchiverError on a start failure, a non-zero
// exit, or when the limit passes (the archiver is then stopped).
std::string runArchiver(const std::vector<std::string>& args, const std::string& workDir,
                        std::chrono::seconds limit = kArchiverLimit);

// The members' names as stored in `archive`.
std::vector<std::string> archiveMembers(const std::string& archive);

// A new archive (never an update of an old one: an existing file is
// removed first) of exactly `names` from `dir`, then tested ("t").
void createArchive(const std::string& archive, const std::string& dir, const std::vector<std::string>& names);

// Tests the archive's integrity.
void testArchive(const std::string& archive);

// Extracts every member into `freshDir`, which must exist and be empty.
// Refused before anything is extracted: a member whose name is absolute or
// would leave the folder (".."), or holds a path at all.
void extractArchive(const std::string& archive, const std::string& freshDir);

} // namespace velmora::app
