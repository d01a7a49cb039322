#pragma once
// The recovery every entry point runs first — the program, velmora-batch
// and velmora-sql — before anything else looks at the data directory: it
// finishes or drops what a kill or a power cut left of a write unit (tables,
// table replacements, file moves into KULD and MENT), and removes what
// interrupted commands left behind (staging folders, files written beside
// their final names, extraction folders). A start with nothing to settle
// writes nothing.
#include <string>
#include <vector>

namespace velmora::store {

// The places recovery looks at: the data directory always; the working
// folders (KULD, TEMP, LISTA beside DATA in the working directory) when the
// caller knows the working directory.
struct Places {
    std::string dataDir;
    std::string kuld, temp, lista;  // empty when not known
};

// The working folders of a working directory (as they are spelled there).
Places placesFor(const std::string& dataDir, const std::string& workingDir);
// The data directory alone (velmora-sql knows no working directory).
Places placesFor(const std::string& dataDir);

struct RecoveryResult {
    // The tables may be opened (false when a journal could not be finished:
    // what the program writes now would meet its replay later).
    bool usable = true;
    // One line of what was done; empty when there was nothing to do.
    std::string summary;
    // Warnings beyond the summary (a journal kept aside, a leftover that
    // could not be removed), for the user.
    std::vector<std::string> warnings;
};

RecoveryResult recoverDataDirectory(const Places& places);

// What recoverDataDirectory would do, without doing it: one line per state
// found (the data check reports them).
std::vector<std::string> pendingRecovery(const Places& places);

} // namespace velmora::store
