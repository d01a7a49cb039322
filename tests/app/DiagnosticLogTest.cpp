// The diagnostic log: its lines carry the cause of what the user was shown,
// it is rotated by size and keeps two older files, and a log that cannot be
// written never stops what is being logged.
#include "app/DiagnosticLog.h"
#include "app/LoggedDialogs.h"
#include "db/DbError.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using app::LogLevel;

std::vector<std::string> linesOf(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(DiagnosticLog, AnErrorShownGoesInWithItsCauseOnOneLineBeforeTheBox) {
    TempDir dir;
    app::DiagnosticLog log(app::logFileIn(dir.str()));
    ScriptedDialogs boxes;
    app::LoggedDialogs dialogs(boxes, log);
    // The engine's failure behind the box, errno and all.
    const db::DbError cause(db::DbError::Code::Io, "A(z) HLapa.dbf nem írható.", EACCES);
    app::show(dialogs, app::failureOf("Hiba a lefutásban! (18)", cause));
    dialogs.warning("A TAJ számra rögzített napok száma nem lehet több 150-nél!\n123456788");
    dialogs.information("Biztonsági mentés megtörtént!");  // not a problem: not logged

    const auto lines = linesOf(log.file());
    ASSERT_EQ(lines.size(), 2u) << fileBytes(log.file());
    EXPECT_NE(lines[0].find(" HIBA Hiba a lefutásban! (18) | A(z) HLapa.dbf nem írható. (errno 13: "), std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find(" FIGYELEM A TAJ számra rögzített napok száma nem lehet több 150-nél! / 123456788"),
              std::string::npos)
        << lines[1];
    EXPECT_EQ(lines[0].substr(4, 1) + lines[0].substr(13, 1), "-:");  // "YYYY-MM-DD HH:MM:SS"
    // The user saw the same box, the engine's words as its detail.
    ASSERT_EQ(boxes.errors(), std::vector<std::string>{"Hiba a lefutásban! (18)"});
    EXPECT_EQ(boxes.errorDetails()[0].rfind("A(z) HLapa.dbf nem írható. (errno 13: ", 0), 0u);
    EXPECT_EQ(boxes.texts(ScriptedDialogs::Kind::Information), std::vector<std::string>{"Biztonsági mentés megtörtént!"});
}

TEST(DiagnosticLog, IsRotatedBySizeKeepingTwoOlderFilesAndTheLastLinesReadAcrossThem) {
    TempDir dir;
    const std::string file = app::logFileIn(dir.str());
    app::DiagnosticLog log(file, 400);
    for (int i = 1; i <= 40; ++i) log.write(LogLevel::Info, "bejegyzés " + std::to_string(i));

    for (const std::string& name : {file, file + ".1", file + ".2"}) {
        ASSERT_TRUE(fs::exists(name)) << name;
        EXPECT_LE(fs::file_size(name), 400u) << name;
    }
    EXPECT_FALSE(fs::exists(file + ".3"));
    // The newest entry is the current file's last line; the oldest are gone.
    EXPECT_NE(linesOf(file).back().find("bejegyzés 40"), std::string::npos);
    EXPECT_EQ(fileBytes(file + ".2").find("bejegyzés 1\n"), std::string::npos);

    const auto shown = app::lastLogLines(file, 15);
    ASSERT_EQ(shown.size(), 15u);
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_NE(shown[i].find("bejegyzés " + std::to_string(26 + i)), std::string::npos) << shown[i];
    EXPECT_TRUE(app::lastLogLines(dir.file("nincs.log"), 10).empty());
}

TEST(DiagnosticLog, ALogThatCannotBeWrittenStopsNothing) {
    TempDir dir;
    app::DiagnosticLog log(dir.file("NINCS/velmora.log"));  // a folder that is not there
    const app::InstalledLog installed(log);
    ScriptedDialogs boxes;
    app::LoggedDialogs dialogs(boxes, log);
    EXPECT_NO_THROW(dialogs.error("Hiba a lefutásban!", "A(z) HLapa.dbf nem olvasható."));
    EXPECT_NO_THROW(app::logEvent(LogLevel::Info, "1 félbemaradt művelet maradványa eltávolítva"));
    EXPECT_EQ(boxes.errors(), std::vector<std::string>{"Hiba a lefutásban!"});
    EXPECT_FALSE(fs::exists(dir.path() / "NINCS"));
}

// velmora-batch's --data names a data directory; the log is the
// installation's, beside its DATA folder, or in the folder named.
TEST(DiagnosticLog, TheLogOfADataDirectoryIsItsInstallations) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/home/gondozo/Velmora/DATA/", "/home/gondozo/Velmora"},
        {"/home/gondozo/Velmora/data", "/home/gondozo/Velmora"},
        {"DATA", "."},
        {"/mnt/masolat/adatok", "/mnt/masolat/adatok"},
    };
    for (const auto& [data, dir] : cases) EXPECT_EQ(app::logDirOfData(data), dir) << data;
    EXPECT_EQ(app::logFileIn("/home/gondozo/Velmora"), "/home/gondozo/Velmora/velmora.log");
}

} // namespace
} // namespace velmora::test
