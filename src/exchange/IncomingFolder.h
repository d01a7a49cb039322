#pragma once
// The fund's files in a folder the user chose: found by name without
// regard to case, and copied whole into a working folder of TEMP before
// anything reads them, so that a floppy pulled out or a file changed
// half way cannot reach the tables.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "db/Database.h"
#include "exchange/IncomingLayouts.h"
#include "exchange/KuldFolder.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::exchange {

// The file of `layout` for INTKOD in `dir`, its name matched without regard
// to case; nothing when it is not there.
std::optional<std::string> findIncoming(const std::string& dir, const IncomingLayout& layout,
                                        const std::string& intkod);

// The names of the required files of `layouts` that `dir` lacks, in order.
std::vector<std::string> missingIncoming(const std::string& dir, const std::vector<Incoming>& layouts,
                                         const std::string& intkod);

// The folder the user chooses for an import (the location window); nothing
// when the user did not confirm.
class ImportWindows {
public:
    virtual ~ImportWindows() = default;
    virtual std::optional<std::string> importDirectory() = 0;
};

// The texts of an import's first steps.
struct ImportStart {
    app::Msg question;     // asked first
    const char* declined;  // the warning after No
    const char* missing;   // the error when a required file is not in the folder
};

// Where an import reads from: the chosen folder (with a trailing separator)
// and the provider's code in the files' names.
struct ChosenFolder {
    std::string dir;
    std::string intkod;
};

// The first steps every import of the fund's files shares: the question,
// the provider's code, the folder, and the required files of `layouts`
// there (the missing ones named). When the import stops: the failure (a
// "Nem" is one of kind Cancelled), whose message, if any, has been shown.
app::Result<ChosenFolder> chooseIncomingFolder(db::Database& db, app::Dialogs& dialogs, ImportWindows& windows,
                                                 const ImportStart& texts, const std::vector<Incoming>& layouts);

// An import stopped: the failure shown (and so logged), and returned as the
// import's outcome.
app::Outcome refuse(app::Dialogs& dialogs, const app::Failure& failure);

// What an import shows when its checks or its write refuse: a file refused
// (app::UserError, which names the file and why) above `refused`; the
// engine's message below `refused`, as the box's detail.
app::Failure refusalOf(const std::exception& e, const std::string& refused);

// A fresh working folder in TEMP for one import, removed with everything in
// it when the object goes.
class WorkFolder {
public:
    WorkFolder(const std::string& tempDir, const std::string& name, const std::string& dataDir);
    // With a trailing separator.
    const std::string& path() const { return staging_.path(); }
    // Copies `source` into the folder as `as`, read back and compared;
    // throws db::DbError naming the file.
    std::string copyIn(const std::string& source, const std::string& as) const;

private:
    StagingFolder staging_;
};

// An integer of an incoming field (a number without decimals, or a
// character field of digits); nothing for anything else.
std::optional<int64_t> incomingInteger(const db::Value& value);

// "A(z) HEb1234.dbf állomány 3. sorában": where a problem of a row lies
// (rows counted from 1 in file order).
std::string rowPlace(const std::string& fileName, int row);

} // namespace velmora::exchange
