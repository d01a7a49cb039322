#pragma once
// A print server of the test's own: cupsd on a configuration, spool and
// socket in a temp folder, with one PDF queue whose printed files land in
// a folder of that temp folder. The queue's paper is Letter, as on many
// machines, so that only a job that asks for A4 comes out on A4. The machine's own printing configuration
// is neither read nor changed. CUPS_SERVER points this process at it while
// it runs; the daemon is stopped when the object goes.
#include "support/TempDir.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

class PrivateCups {
public:
    static constexpr const char* kCupsd = "/usr/sbin/cupsd";
    static constexpr const char* kQueue = "VelmoraPdf";
    static bool installed();

    // Starts the daemon and adds the queue; what failed is in error().
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // The printed files, oldest job first, waiting (up to a minute) until
    // `count` of them are whole and the queue is empty.
    std::vector<std::filesystem::path> printed(size_t count) const;
    // The server's log, for a failure's message.
    std::string log() const;

private:
    void writeConfiguration();
    void start();
    void addQueue();

    TempDir dir_;
    std::filesystem::path root_, out_, socket_;
    pid_t pid_ = -1;
    std::string error_;
};

} // namespace velmora::test
