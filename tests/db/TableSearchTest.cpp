// locate and lookup on several fields: the first visible row in the
// current order, whether a tag serves the search or the rows are scanned.
#include "db/Database.h"
#include "db/DbError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

using test::TempDir;

// Sheet parts as HLAPA holds them: a blank part letter is a full invoice.
// Row r5 repeats r2's key to show which of two equal rows comes first.
struct Sheets {
    TempDir dir;
    Database db{dir.str()};
    Table& t = db.table("HLAPA", "HLapa.dbf");

    explicit Sheets(bool tags) {
        t.create({FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5),
                  FieldDef::character("Resz", 1), FieldDef::character("Taj", 9)});
        t.open();
        t.appendValues({"2024.02", "00001", Value(), "r0"});
        t.appendValues({"2024.01", "00001", "A", "r1"});
        t.appendValues({"2024.01", "00001", Value(), "r2"});
        t.appendValues({"2024.01", "00002", Value(), "r3"});
        t.appendValues({"2024.02", "00003", "B", "r4"});
        t.appendValues({"2024.01", "00001", Value(), "r5"});
        if (tags) {
            t.addIndex("Lap1", "Sorsz+Resz");
            t.addIndex("Lap3", "Idoszak+Sorsz+Resz");
        }
        t.last();
    }
};

bool isExactSearch(const LocateOptions& o) { return !o.caseInsensitive && !o.partialKey; }

enum Order { Natural, ByLap1, ByLap3, Orders };

struct Case {
    const char* fields;
    std::vector<Value> values;
    LocateOptions options;
    const char* found[Orders];  // the row's Taj in each order; "" when none
};

const Case kCases[] = {
    {"idoszak;sorsz;resz", {"2024.01", "00001", Value()}, {}, {"r2", "r2", "r2"}},
    {"IDOSZAK; Sorsz ;resz", {"2024.01", "00001", ""}, {}, {"r2", "r2", "r2"}},  // "" is blank too
    {"idoszak;sorsz;resz", {"2024.01", "00001", "A"}, {}, {"r1", "r1", "r1"}},
    {"idoszak;sorsz;resz", {"2024.02", "00001", Value()}, {}, {"r0", "r0", "r0"}},
    {"idoszak;sorsz;resz", {"2024.01", "00003", Value()}, {}, {"", "", ""}},
    {"idoszak;sorsz;resz", {"2024.01", "00001", "a"}, {}, {"", "", ""}},
    {"idoszak;sorsz;resz", {"2024.01", "00001", "a"}, {.caseInsensitive = true}, {"r1", "r1", "r1"}},
    // The options are the last field's: the others match exactly.
    {"idoszak;resz;sorsz", {"2024.01", Value(), "0000"}, {.partialKey = true}, {"r2", "r2", "r2"}},
    {"idoszak;sorsz", {"2024.0", "00001"}, {.partialKey = true}, {"", "", ""}},
    {"idoszak;sorsz", {"2024.01", "0000"}, {.partialKey = true}, {"r1", "r2", "r2"}},
    // Equal rows: the first in the current order, whichever tag seeks them.
    {"sorsz;resz", {"00001", Value()}, {}, {"r0", "r0", "r2"}},
    {"resz;sorsz", {Value(), "00001"}, {}, {"r0", "r0", "r2"}},
    {"resz", {Value()}, {}, {"r0", "r0", "r2"}},
    {"sorsz", {"00003"}, {}, {"r4", "r4", "r4"}},
};

TEST(TableSearch, LocateOnSeveralFieldsFindsTheFirstRowInTheCurrentOrder) {
    for (bool tags : {false, true}) {
        Sheets s(tags);
        for (Order order : {Natural, ByLap1, ByLap3}) {
            if (!tags && order != Natural) continue;
            s.t.setActiveIndex(order == Natural ? "" : order == ByLap1 ? "Lap1" : "Lap3");
            for (const Case& c : kCases) {
                SCOPED_TRACE(std::string(c.fields) + (tags ? " with tags" : " without tags") + ", order " +
                             std::to_string(order));
                s.t.last();
                const std::string before = s.t.text("taj");
                const bool found = s.t.locate(c.fields, c.values, c.options);
                EXPECT_EQ(found, *c.found[order] != '\0');
                EXPECT_EQ(s.t.text("taj"), found ? c.found[order] : before) << "a failed locate leaves the cursor";
                if (isExactSearch(c.options)) {
                    EXPECT_EQ(s.t.lookup(c.fields, c.values, "TAJ").asString(), c.found[order]);
                }
            }
        }
    }
}

TEST(TableSearch, FilterAndErrors) {
    Sheets s(true);
    s.t.setActiveIndex("Lap1");
    s.t.setFilter("idoszak = '2024.01'");
    EXPECT_TRUE(s.t.locate("sorsz;resz", {"00001", Value()}));
    EXPECT_EQ(s.t.text("taj"), "r2") << "rows the filter hides are not found";
    EXPECT_TRUE(s.t.lookup("sorsz;resz", {"00003", "B"}, "taj").isNull());
    EXPECT_EQ(s.t.lookup("sorsz", "00002", "taj"), Value("r3"));
    EXPECT_EQ(s.t.text("taj"), "r2") << "lookup never moves the cursor";

    EXPECT_THROW(s.t.locate("idoszak;nincs", {"2024.01", "1"}), DbError);
    EXPECT_THROW(s.t.locate("idoszak;sorsz", std::vector<Value>{"2024.01"}), DbError);
    EXPECT_THROW(s.t.lookup("idoszak;sorsz;resz", {"2024.01", "00001"}, "taj"), DbError);
}

} // namespace
} // namespace velmora::db
