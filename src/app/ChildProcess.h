#pragma once
// Runs an outside program the safe way: an argument list (never a shell),
// standard input from the null device, standard output and error captured
// together, waited for within a time limit and stopped when it passes.
#include <chrono>
#include <string>
#include <vector>

namespace velmora::app {

struct ChildResult {
    enum class End { Exited, Signalled, TimedOut, NotStarted };
    End end = End::NotStarted;
    int exitCode = -1;       // with Exited
    std::string output;      // stdout and stderr as printed; with NotStarted, why
};

// `program` is looked up on PATH unless it holds a "/". Never throws for
// the child's sake: every outcome is in the result.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                     std::chrono::milliseconds limit);

} // namespace velmora::app
