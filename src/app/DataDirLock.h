#pragma once
// Who works on a data directory: the program holds a lock on the directory
// itself for its whole run, and so does the command-line tool, so neither
// starts while the other is at work there. The lock is on the directory's
// own descriptor: no file is made, and the kernel lets it go when the
// process ends, however it ends.
#include "db/Os.h"

#include <memory>
#include <string>

namespace velmora::app {

class DataDirLock {
public:
    // Nothing when another process holds the directory. Throws UserError
    // when the directory cannot be opened.
    static std::unique_ptr<DataDirLock> tryAcquire(const std::string& dataDir);
    ~DataDirLock();
    DataDirLock(const DataDirLock&) = delete;
    DataDirLock& operator=(const DataDirLock&) = delete;

private:
    explicit DataDirLock(db::os::File dir) : dir_(std::move(dir)) {}
    db::os::File dir_;
};

// The message when another copy holds the directory.
std::string dataDirHeldMessage(const std::string& dataDir);

} // namespace velmora::app
