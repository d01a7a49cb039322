// Where a saved report goes in LISTA: a name a file can hold, and a second
// save within the same minute beside the first instead of over it.
#include "reports/ReportFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace velmora;

TEST(ReportFile, NameOfTitleAndMomentNeverOverAnEarlierOne) {
    test::TempDir dir;
    const std::string stamp = "2026-12-10 23-05";
    EXPECT_EQ(reports::reportPath(dir.str(), "Orvosok listája", stamp), dir.file("Orvosok listája 2026-12-10 23-05.pdf"));
    EXPECT_EQ(reports::reportPath(dir.str(), "TAJ: 123/456 \"x\". ", stamp), dir.file("TAJ- 123-456 -x- 2026-12-10 23-05.pdf"));
    EXPECT_EQ(reports::reportPath(dir.str(), " . ", stamp), dir.file("Lista 2026-12-10 23-05.pdf"));

    std::ofstream(dir.file("Betegek listája 2026-12-10 23-05.pdf")) << "első";
    EXPECT_EQ(reports::reportPath(dir.str(), "Betegek listája", stamp), dir.file("Betegek listája 2026-12-10 23-05 (2).pdf"));
    std::ofstream(dir.file("Betegek listája 2026-12-10 23-05 (2).pdf")) << "második";
    EXPECT_EQ(reports::reportPath(dir.str(), "Betegek listája", stamp), dir.file("Betegek listája 2026-12-10 23-05 (3).pdf"));
}
