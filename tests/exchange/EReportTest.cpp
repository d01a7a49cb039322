// The e-report page's address: none built in, the one the clerk gave kept
// in the data directory, and what cannot be a web address refused.
#include "exchange/EReport.h"

#include "app/UserError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace velmora;

TEST(EReport, TheAddressComesFromTheDataDirectoryOrNowhere) {
    const struct {
        const char* file;  // nullptr: no address file
        std::optional<std::string> address;
    } cases[] = {
        {nullptr, std::nullopt},
        {"\n  https://pelda.hu/ejelentes \r\nmasik\n", "https://pelda.hu/ejelentes"},
        {" \n\n", std::nullopt},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        if (c.file) std::ofstream(dir.path() / exchange::kEReportAddressFile) << c.file;
        EXPECT_EQ(exchange::eReportAddress(dir.str()), c.address) << (c.file ? c.file : "no file");
    }
}

TEST(EReport, OnlyAWebAddressWithAHostIsKept) {
    const struct {
        const char* typed;
        const char* kept;  // nullptr: refused
    } cases[] = {
        {"https://ejelentes.pelda.hu/bekuldes", "https://ejelentes.pelda.hu/bekuldes"},
        {"  http://10.0.0.5:8080/e?x=1 ", "http://10.0.0.5:8080/e?x=1"},
        {"", nullptr},
        {"   ", nullptr},
        {"ejelentes.pelda.hu", nullptr},
        {"ftp://pelda.hu/", nullptr},
        {"https://", nullptr},
        {"https:///ut", nullptr},
        {"https://pelda.hu/e jelentes", nullptr},
        {"https://pelda.hu/\te", nullptr},
        {"https://user@pelda.hu/", nullptr},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        EXPECT_EQ(exchange::eReportAddressProblem(c.typed).empty(), c.kept != nullptr) << c.typed;
        // A refused address leaves the one kept before.
        exchange::saveEReportAddress(dir.str(), "https://regi.pelda.hu/");
        if (c.kept)
            exchange::saveEReportAddress(dir.str(), c.typed);
        else
            EXPECT_THROW(exchange::saveEReportAddress(dir.str(), c.typed), app::UserError) << c.typed;
        EXPECT_EQ(exchange::eReportAddress(dir.str()), std::optional<std::string>(c.kept ? c.kept : "https://regi.pelda.hu/"))
            << c.typed;
    }
}
