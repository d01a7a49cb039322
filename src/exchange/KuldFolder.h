#pragma once
// The KULD folder, where the files of the last shipment wait for the fund.
// A shipment's files are written into a folder beside it first (KULD.uj)
// and come into KULD with the write unit that stamps the sheets: its journal
// lists the moves, so a kill leaves either the old files with the old
// stamps or the new files with the new ones. KULD's old entries go then, the
// PDF lists found there kept in LISTA.
#include "db/Journal.h"

#include <string>
#include <vector>

namespace velmora::exchange {

// The file operations that bring the shipment's files `names` from
// `stagingDir` into `kuldDir`: every other entry of KULD goes (a PDF moved
// into `listaDir`, overwriting; subfolders stay), the new files replace
// those of their names, and the staging folder goes. An old entry that
// cannot be moved or removed is reported and stays; the new files must
// arrive.
std::vector<db::FileOperation> kuldOperations(const std::string& kuldDir, const std::string& listaDir,
                                              const std::string& stagingDir, const std::vector<std::string>& names);

// A fresh folder beside `kuldDir` (on the same file system, so its files
// reach KULD by renaming), removed with everything in it when the object
// goes — unless a journal of `dataDir` stands, which still has to move its
// files. A folder of that name left by an attempt that was killed is
// removed first. Throws app::UserError when it cannot be made.
class StagingFolder {
public:
    StagingFolder(const std::string& kuldDir, const std::string& dataDir);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // With a trailing separator.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string dataDir_;
};

// Copies the files `names` of `from` into `to` under the names `as`
// (matched by position), overwriting. Each copy is written beside its final
// name and renamed into place, so a failed copy never leaves a partial file
// under that name; while they are written, the data directory's journal
// names the partial files, so that a kill leaves none behind either. Throws
// app::UserError naming the file that could not be copied and its cause.
void copyFiles(const std::string& dataDir, const std::string& from, const std::vector<std::string>& names,
               const std::string& to, const std::vector<std::string>& as);

} // namespace velmora::exchange
