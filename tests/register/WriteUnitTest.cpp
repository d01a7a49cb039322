// Every change the register makes reaches the files whole or not at all:
// a disk that refuses a write half way leaves both sheet tables as they were.
#include "register/Marking.h"
#include "register/NewSheets.h"
#include "register/SheetCommands.h"

#include "db/Os.h"
#include "store/Schemas.h"
#include "support/DiskFull.h"
#include "support/Files.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;
namespace schema = store::schema;

namespace {

struct Snapshot {
    std::string hlapaFile, hlapbFile, hlapaRows, hlapbRows;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(SheetData& data) {
    const std::filesystem::path dir(data.dir());
    return {fileBytes(dir / schema::HLAPA().fileName), fileBytes(dir / schema::HLAPB().fileName), data.rows("hlapa"),
            data.rows("hlapb")};
}


}  // namespace

TEST(RegisterWriteUnits, ARefusedWriteLeavesBothSheetTablesAsTheyWere) {
    const sheets::SheetKey a{"00012", "A", "2024.05"}, b{"00012", "B", "2024.06"}, full{"00020", "", "2024.06"};
    const struct {
        const char* change;
        const char* refused;  // the table file whose write fails
        std::function<void(db::Database&)> run;
    } cases[] = {
        {"delete", "HLapb.dbf", [&](db::Database& db) { reg::deleteSheet(db, b); }},
        {"cancel", "HLapa.dbf", [&](db::Database& db) { reg::cancelSheet(db, a); }},
        {"convert", "HLapb.dbf", [&](db::Database& db) { reg::convertSheet(db, full, "A"); }},
        {"closing date", "HLapa.dbf", [&](db::Database& db) { reg::storeClosingDate(db, a, "2024.05.30", true); }},
        {"marking", "HLapa.dbf", [&](db::Database& db) { reg::markListed(db, "*"); }},
    };
    for (const auto& c : cases) {
        SheetData data;
        // A full series: deleting or cancelling a part also rewrites the other's mark.
        data.sheet({"2024.05", "00012", "A", people::patient, {{3, "1", people::nurse1}},
                    {{"SzNap", 30}, {"Tele", "*"}, {"Elkuldve", "2024.05"}}})
            .sheet({"2024.06", "00012", "B", people::patient, {{4, "1", people::nurse1}}, {{"SzNap", 20}, {"Tele", "*"}}})
            .sheet({"2024.06", "00020", "", people::patient, {{5, "1", people::nurse1}}});
        data.open({2024, 6, 20}, "2024.06");
        const Snapshot before = snapshot(data);

        velmora::testing::refuseFirstWriteTo(c.refused);
        EXPECT_ANY_THROW(c.run(data.db())) << c.change;
        db::os::testing::reset();
        EXPECT_TRUE(velmora::testing::firstWriteRefused()) << c.change;
        EXPECT_EQ(snapshot(data), before) << c.change;

        c.run(data.db());  // with room on the disk the change is made
        EXPECT_NE(snapshot(data), before) << c.change;
    }
}
