// The recovery every entry point runs first: what interrupted commands left
// in the data directory and the working folders is removed or put back,
// what it did is said in one line, the data check tells the same without
// doing it, and a directory with nothing to settle is not written.
#include "support/Files.h"
#include "support/TempDir.h"

#include "db/Journal.h"
#include "store/Recovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

// Every file below a folder with its bytes ("/" after a folder's name).
std::map<std::string, std::string> tree(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = fs::relative(e.path(), root).string();
        out[rel + (e.is_directory() ? "/" : "")] = e.is_directory() ? "" : fileBytes(e.path());
    }
    return out;
}

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

struct Case {
    const char* what;
    std::map<std::string, std::string> left;   // below the working directory; "x/" a folder
    std::map<std::string, std::string> after;
};

} // namespace

TEST(Recovery, LeftoversOfInterruptedCommandsAreRemovedOrPutBack) {
    const std::map<std::string, std::string> kept = {{"DATA/", ""}, {"DATA/HLapa.dbf", "sheets"}, {"KULD/", ""},
                                                     {"LISTA/", ""}, {"TEMP/", ""}};
    const auto with = [&](std::map<std::string, std::string> extra) {
        std::map<std::string, std::string> all = kept;
        all.insert(extra.begin(), extra.end());
        return all;
    };
    const Case cases[] = {
        {"a table replacement before its journal",
         with({{"DATA/csere.uj/", ""}, {"DATA/csere.uj/HLapa.dbf", "new"}}), with({})},
        {"the password table's new layout before its rename: the old one stays",
         with({{"DATA/sys.dbf", "old layout"}, {"DATA/sys.uj/", ""}, {"DATA/sys.uj/sys.dbf", "half"}}),
         with({{"DATA/sys.dbf", "old layout"}})},
        {"files written beside their final names",
         with({{"DATA/Beteg.mdx.uj", "half"}, {"KULD/hosa4711.dbf.uj", "half"}, {"LISTA/lista.pdf.uj", "half"}}),
         with({})},
        {"a shipment's and imports' work folders",
         with({{"KULD.uj/", ""}, {"KULD.uj/hosa4711.dbf", "new"}, {"TEMP/Telj.uj/", ""},
               {"TEMP/visszatoltes-a1B2c3/", ""}, {"TEMP/visszatoltes-a1B2c3/HLapa.dbf", "old"}}),
         with({})},
        {"a backup's new set and its archive",
         with({{"DATA/MENT/", ""}, {"DATA/MENT/Zaras.arj.uj", "half"}, {"DATA/MENT.uj/", ""},
               {"DATA/MENT.uj/HLapa.dbf", "new"}}),
         with({{"DATA/MENT/", ""}})},
        {"an earlier version's backup cut between its renames: the old set comes back",
         with({{"DATA/MENT.regi/", ""}, {"DATA/MENT.regi/HLapa.dbf", "old set"}, {"DATA/MENT.uj/", ""}}),
         with({{"DATA/MENT/", ""}, {"DATA/MENT/HLapa.dbf", "old set"}})},
        {"an earlier version's copy-through: the whole old table comes back",
         {{"DATA/", ""}, {"DATA/Zaras.dbf", "empty new"}, {"DATA/Zaras.mdx", "keys"}, {"DATA/Zaras.dbf.old", "all rows"},
          {"KULD/", ""}, {"LISTA/", ""}, {"TEMP/", ""}},
         {{"DATA/", ""}, {"DATA/Zaras.dbf", "all rows"}, {"KULD/", ""}, {"LISTA/", ""}, {"TEMP/", ""}}},
        {"an earlier version's replacement cut while moving: the old files come back",
         {{"DATA/", ""}, {"DATA/A.dbf", "new A"}, {"DATA/A.dbf.swap-old", "old A"}, {"DATA/A.mdx.swap-old", "old A index"},
          {"DATA/B.dbf", "old B"}, {"DATA/B.dbf.swap-new", "new B"}, {"DATA/C.dbf", "new C"},
          {"DATA/C.dbf.swap-none", ""}},
         {{"DATA/", ""}, {"DATA/A.dbf", "old A"}, {"DATA/A.mdx", "old A index"}, {"DATA/B.dbf", "old B"}}},
        {"an earlier version's replacement cut while clearing up: the new files stay",
         {{"DATA/", ""}, {"DATA/A.dbf", "new A"}, {"DATA/A.dbf.swap-old", "old A"}, {"DATA/B.dbf", "new B"}},
         {{"DATA/", ""}, {"DATA/A.dbf", "new A"}, {"DATA/B.dbf", "new B"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir work;
        for (const auto& [name, bytes] : c.left) {
            if (name.back() == '/') fs::create_directories(work.path() / name);
            else write(work.path() / name, bytes);
        }
        const store::Places places = store::placesFor(work.file("DATA"), work.str());
        EXPECT_FALSE(store::pendingRecovery(places).empty());
        const store::RecoveryResult result = store::recoverDataDirectory(places);
        EXPECT_TRUE(result.usable);
        EXPECT_TRUE(result.warnings.empty()) << ::testing::PrintToString(result.warnings);
        EXPECT_EQ(result.summary.rfind("Helyreállítás: ", 0), 0u) << result.summary;
        EXPECT_EQ(result.summary.find('\n'), std::string::npos) << "one line";
        EXPECT_EQ(tree(work.path()), c.after);
        EXPECT_TRUE(store::pendingRecovery(places).empty());
        EXPECT_TRUE(store::recoverDataDirectory(places).summary.empty()) << "nothing left to do";
    }
}

// What a journal names is settled before any leftover is looked at: the
// staging folder a journal still needs is the journal's, not a leftover.
TEST(Recovery, AJournalIsFinishedFromItsStagingFolderBeforeLeftoversGo) {
    TempDir work;
    write(work.path() / "DATA" / "csere.uj" / "HLapa.dbf", "replaced");
    write(work.path() / "DATA" / "HLapa.dbf", "old");
    const std::vector<db::FileOperation> ops = {
        db::FileOperation::rename(work.file("DATA/csere.uj/HLapa.dbf"), work.file("DATA/HLapa.dbf")),
        db::FileOperation::removeTree(work.file("DATA/csere.uj"), false)};
    write(work.path() / "DATA" / db::kJournalFileName, db::JournalBuilder().finish(ops));
    const store::Places places = store::placesFor(work.file("DATA"));
    const auto pending = store::pendingRecovery(places);
    ASSERT_FALSE(pending.empty());
    EXPECT_NE(pending[0].find("2 állományművelet"), std::string::npos) << pending[0];
    const store::RecoveryResult result = store::recoverDataDirectory(places);
    EXPECT_NE(result.summary.find("befejeződött"), std::string::npos) << result.summary;
    EXPECT_EQ(tree(work.path()), (std::map<std::string, std::string>{{"DATA/", ""}, {"DATA/HLapa.dbf", "replaced"}}));
}

TEST(Recovery, NothingToSettleWritesNothing) {
    TempDir work;
    write(work.path() / "DATA" / "HLapa.dbf", "sheets");
    fs::create_directories(work.path() / "KULD");
    write(work.path() / "KULD" / "hosa4711.dbf", "last shipment");
    const auto before = tree(work.path());
    const auto stamp = fs::last_write_time(work.path() / "DATA");
    const store::RecoveryResult result = store::recoverDataDirectory(store::placesFor(work.file("DATA"), work.str()));
    EXPECT_TRUE(result.usable);
    EXPECT_TRUE(result.summary.empty());
    EXPECT_EQ(tree(work.path()), before);
    EXPECT_EQ(fs::last_write_time(work.path() / "DATA"), stamp);
}
