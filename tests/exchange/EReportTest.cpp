// The e-report page's address: the default, or the first line of the
// address file in the data directory.
#include "exchange/EReport.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace velmora;

TEST(EReport, TheAddressComesFromTheDataDirectory) {
    const struct {
        const char* file;  // nullptr: no address file
        const char* address;
    } cases[] = {
        {nullptr, exchange::kDefaultEReportAddress},
        {"\n  https://pelda.hu/ejelentes \r\nmasik\n", "https://pelda.hu/ejelentes"},
        {" \n\n", exchange::kDefaultEReportAddress},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        if (c.file) std::ofstream(dir.path() / exchange::kEReportAddressFile) << c.file;
        EXPECT_EQ(exchange::eReportAddress(dir.str()), c.address) << (c.file ? c.file : "no file");
    }
}
