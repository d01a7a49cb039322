#pragma once
// The KULD folder, where the files of the last shipment wait for the fund.
// A shipment's files are written into a folder beside it first and come
// into KULD only whole; KULD's old entries go only then, the PDF lists
// found there kept in LISTA.
#include <string>
#include <vector>

namespace velmora::exchange {

// Removes every entry of `dir` but "." and ".." (any name: without a dot,
// of three characters or fewer, hidden). A PDF is copied into `listaDir`
// first, overwriting, and stays where it is when that copy fails.
// Subfolders are left alone. Returns a line for each entry that could not
// be removed or kept, in the user's words; empty when all went.
std::vector<std::string> emptyFolder(const std::string& dir, const std::string& listaDir);

// A fresh folder beside `kuldDir` (on the same file system, so its files
// reach KULD by renaming), removed with everything in it when the object
// goes, unless released. A folder of that name left by an attempt that
// was killed is removed first. Throws app::UserError when it cannot be made.
class StagingFolder {
public:
    explicit StagingFolder(const std::string& kuldDir);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // With a trailing separator.
    const std::string& path() const { return path_; }
    // The folder stays (its files are all that is left of a shipment).
    void release() { released_ = true; }

private:
    std::string path_;
    bool released_ = false;
};

// Moves the files `names` from `from` into `to`, replacing files of the
// same names: a rename, or a copy and removal across file systems. Throws
// app::UserError naming the file that could not be moved.
void moveFiles(const std::string& from, const std::string& to, const std::vector<std::string>& names);

// Copies the files `names` of `from` into `to` under the names `as`
// (matched by position), overwriting. Throws app::UserError naming the file
// that could not be copied.
void copyFiles(const std::string& from, const std::vector<std::string>& names, const std::string& to,
               const std::vector<std::string>& as);

} // namespace velmora::exchange
