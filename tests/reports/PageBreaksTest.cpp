#include "reports/PageBreaks.h"

#include <gtest/gtest.h>

using namespace velmora::reports;

namespace {

Band band(double height, const std::string& name) {
    Band b;
    b.height = height;
    b.text(0, 10, name);
    b.height = height;
    return b;
}

// Each page's body bands by their first text, header and footer left out.
std::vector<std::vector<std::string>> layout(const Report& r) {
    std::vector<std::vector<std::string>> out;
    const PageBreaks breaks(r);
    for (const Page& p : breaks.pages()) {
        out.emplace_back();
        for (const PlacedBand& b : p.bands)
            if (b.band != &r.pageHeader && b.band != &r.pageFooter) out.back().push_back(b.band->texts[0].text);
    }
    return out;
}

// A4 portrait, 10 mm margins, 27 mm header and 10 mm footer: 240 mm of body.
Report report() {
    Report r;
    r.pageHeader = band(27, "fej");
    r.pageFooter = band(10, "láb");
    return r;
}

} // namespace

TEST(PageBreaks, RowsFillTheBodyAndGoOnOnTheNextPage) {
    Report r = report();
    Group g;
    for (int i = 0; i < 6; ++i) g.rows.push_back(band(100, "s" + std::to_string(i)));  // two a page
    r.groups.push_back(g);
    r.summary = band(40, "összesen");  // fills the last page exactly
    const std::vector<std::vector<std::string>> expected{{"s0", "s1"}, {"s2", "s3"}, {"s4", "s5", "összesen"}};
    EXPECT_EQ(layout(r), expected);
    const auto pages = PageBreaks(r).pages();
    EXPECT_EQ(pages[1].number, 2);
    EXPECT_DOUBLE_EQ(pages[1].bands[2].y, 37);   // right below the header
    EXPECT_DOUBLE_EQ(pages[1].bands[1].y, 277);  // the footer above the bottom margin
}

TEST(PageBreaks, AGroupHeaderStaysWithItsFirstRowAndNewPageGroupsStartAPage) {
    Report r = report();
    Group a, b, c;
    a.rows = {band(200, "a1")};
    b.header = band(20, "B");
    b.rows = {band(40, "b1"), band(10, "b2")};  // header and first row do not fit under a1
    b.footer = band(10, "B össz");
    c.header = band(10, "C");
    c.rows = {band(10, "c1")};
    c.newPage = true;
    r.groups = {a, b, c};
    const std::vector<std::vector<std::string>> expected{{"a1"}, {"B", "b1", "b2", "B össz"}, {"C", "c1"}};
    EXPECT_EQ(layout(r), expected);
}

TEST(PageBreaks, ABandTallerThanThePageGetsAPageOfItsOwn) {
    Report r = report();
    Group g;
    g.newPage = true;  // on the first, still empty page: no empty page before it
    g.rows = {band(10, "kicsi"), band(400, "óriás"), band(10, "utána")};
    r.groups = {g};
    const std::vector<std::vector<std::string>> expected{{"kicsi"}, {"óriás"}, {"utána"}};
    EXPECT_EQ(layout(r), expected);
    EXPECT_TRUE(r.noRows() == false);
    EXPECT_TRUE(report().noRows());
}
