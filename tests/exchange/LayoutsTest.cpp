// The template files byte by byte against the facts the fund's software
// expects, and the layouts a shipment uses by its period.
#include "exchange/Layouts.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace velmora::exchange;

namespace {

int byteAt(const std::string& b, size_t at) { return static_cast<unsigned char>(b[at]); }
int le16(const std::string& b, size_t at) { return byteAt(b, at) | byteAt(b, at + 1) << 8; }
int le32(const std::string& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

// "NAME T len (offset)" per descriptor, read from the bytes; a descriptor
// byte that should be 0 and is not is reported in the text.
std::string descriptors(const std::string& b, int count) {
    std::ostringstream out;
    for (int i = 0; i < count; ++i) {
        const size_t at = 32 + 32 * static_cast<size_t>(i);
        std::string name = b.substr(at, 11);
        const size_t end = name.find('\0');
        if (name.find_first_not_of('\0', end) != std::string::npos) out << "[name not padded with 0] ";
        name.resize(end);
        out << name << ' ' << b[at + 11] << ' ' << byteAt(b, at + 16) << " (" << le32(b, at + 12) << ")";
        if (byteAt(b, at + 17) != 0) out << " [decimals]";
        for (size_t k = 18; k < 32; ++k)
            if (b[at + k] != 0) out << " [byte " << k << "]";
        out << (i + 1 < count ? ", " : "");
    }
    return out.str();
}

struct TemplateFacts {
    Layout layout;
    std::vector<int> date;
    int size, headerLength, recordLength, byte29, fields;
    std::string descriptors;
};

const std::string kHosa =
    "KABKOD C 4 (1), SORSZAM N 5 (5), RESZ C 1 (10), IDOSZAK C 6 (11), ORVKODE C 6 (17), ORVKODJ C 6 (23), "
    "TAJ N 9 (29), KOZIGKOD C 7 (38), TERPOT N 1 (45), CIM C 25 (46), NEME C 1 (71), SZULIDO D 8 (72), "
    "ELREND D 8 (80), SZAKVET D 8 (88), ELVIZDB N 3 (96), GYAK C 15 (99), ELSZVIZ N 3 (114), ELSZAM N 3 (117), "
    "LEZDAT D 8 (120), APTAJ1 N 9 (128), APTAJ2 N 9 (137), APTAJ3 N 9 (146), APTAJ4 N 9 (155), "
    "APTAJ5 N 9 (164), APTAJ6 N 9 (173), APTAJ7 N 9 (182), APTAJ8 N 9 (191), ONAPDB N 3 (200), "
    "MODIDO C 6 (203), MODTIPUS C 1 (209)";
const std::string kHosauj =
    "KABKOD C 4 (1), FINKOD C 9 (5), SORSZAM N 5 (14), RESZ C 1 (19), IDOSZAK C 6 (20), ORVKODE C 6 (26), "
    "ORVKODJ C 6 (32), TAJ C 9 (38), KOZIGKOD C 7 (47), TERPOT N 1 (54), CIM C 25 (55), NEME C 1 (80), "
    "SZULIDO D 8 (81), AZTIP C 1 (89), TERKAT C 2 (90), ALLAMP C 3 (92), ELREND D 8 (95), SZAKVET D 8 (103), "
    "ELVIZDB N 3 (111), GYAK C 15 (114), ELSZVIZ N 3 (129), ELSZAM N 3 (132), LEZDAT D 8 (135), "
    "APTAJ1 C 9 (143), APTAJ2 C 9 (152), APTAJ3 C 9 (161), APTAJ4 C 9 (170), APTAJ5 C 9 (179), "
    "APTAJ6 C 9 (188), APTAJ7 C 9 (197), APTAJ8 C 9 (206), ONAPDB N 3 (215), MODIDO C 6 (218), "
    "MODTIPUS C 1 (224)";
const std::string kHosauj2 =
    "KABKOD C 4 (1), FINKOD C 9 (5), SORSZAM N 5 (14), RESZ C 1 (19), IDOSZAK C 6 (20), ORVKODE N 6 (26), "
    "ORVKODJ N 6 (32), ORVTIP C 1 (38), TAJ C 9 (39), KOZIGKOD C 7 (48), TERPOT N 1 (55), CIM C 25 (56), "
    "NEME C 1 (81), SZULIDO D 8 (82), AZTIP C 1 (90), TERKAT C 2 (91), ALLAMP C 3 (93), ELREND D 8 (96), "
    "SZAKVET D 8 (104), ELVIZDB N 3 (112), GYAK C 15 (115), ELSZVIZ N 3 (130), ELSZAM N 3 (133), "
    "LEZDAT D 8 (136), APTAJ1 C 9 (144), APTAJ2 C 9 (153), APTAJ3 C 9 (162), APTAJ4 C 9 (171), "
    "APTAJ5 C 9 (180), APTAJ6 C 9 (189), APTAJ7 C 9 (198), APTAJ8 C 9 (207), ONAPDB N 3 (216), "
    "MODIDO C 6 (219), MODTIPUS C 1 (225)";

// Record lengths are the fields' sum: HOSA and HOSAUJ once declared 208 and
// 223, two bytes short.
const TemplateFacts kTemplates[] = {
    {Layout::Hosa, {11, 6, 8}, 993, 993, 210, 0, 30, kHosa},
    {Layout::Hosauj, {16, 1, 14}, 1121, 1121, 225, 0, 34, kHosauj},
    {Layout::Hosauj2, {24, 5, 30}, 1153, 1153, 226, 0x64, 35, kHosauj2},
    {Layout::Hosb, {11, 6, 8}, 257, 257, 42, 0x22, 7,
     "KABKOD C 4 (0), SORSZAM N 5 (0), RESZ C 1 (0), IDOSZAK C 6 (0), TEVKOD C 8 (0), APDATUM D 8 (0), "
     "APBTAJ N 9 (0)"},
    {Layout::Hosbuj, {15, 10, 8}, 289, 289, 51, 0, 8,
     "KABKOD C 4 (1), FINKOD C 9 (5), SORSZAM N 5 (14), RESZ C 1 (19), IDOSZAK C 6 (20), TEVKOD C 8 (26), "
     "APDATUM D 8 (34), APBTAJ C 9 (42)"},
    {Layout::Hosc, {11, 6, 8}, 225, 225, 23, 0, 6,
     "KABKOD C 4 (1), SORSZAM N 5 (5), RESZ C 1 (10), IDOSZAK C 6 (11), BNOTIP N 1 (17), BNOKOD C 5 (18)"},
    {Layout::Hoscuj, {16, 1, 14}, 257, 257, 32, 0, 7,
     "KABKOD C 4 (1), FINKOD C 9 (5), SORSZAM N 5 (14), RESZ C 1 (19), IDOSZAK C 6 (20), BNOTIP N 1 (26), "
     "BNOKOD C 5 (27)"},
};

} // namespace

TEST(Templates, BytesAreTheFundsLayouts) {
    for (const TemplateFacts& t : kTemplates) {
        const std::string b = templateBytes(outgoingLayout(t.layout));
        SCOPED_TRACE(outgoingLayout(t.layout).name);
        ASSERT_EQ(static_cast<int>(b.size()), t.size);
        EXPECT_EQ(byteAt(b, 0), 3);
        EXPECT_EQ((std::vector<int>{byteAt(b, 1), byteAt(b, 2), byteAt(b, 3)}), t.date);
        EXPECT_EQ(le32(b, 4), 0) << "record count";
        EXPECT_EQ(le16(b, 8), t.headerLength);
        EXPECT_EQ(le16(b, 10), t.recordLength);
        EXPECT_EQ(byteAt(b, 29), t.byte29);
        for (size_t k = 12; k < 32; ++k)
            if (k != 29) {
                EXPECT_EQ(byteAt(b, k), 0) << "header byte " << k;
            }
        EXPECT_EQ(byteAt(b, 32 + 32 * static_cast<size_t>(t.fields)), 0x0D) << "terminator after the fields";
        EXPECT_EQ(descriptors(b, t.fields), t.descriptors);
    }
}

TEST(Templates, OldLayoutsHaveNone) {
    for (Layout id : {Layout::OldVisits, Layout::OldDiagnoses})
        EXPECT_THROW(templateBytes(outgoingLayout(id)), std::logic_error);
}

TEST(Templates, ShipmentPeriodChoosesTheLayouts) {
    struct Case {
        const char* period;
        ShipmentLayouts layouts;
    };
    const Case cases[] = {
        {"2009.08", {Layout::Hosa, Layout::OldVisits, Layout::OldDiagnoses}},
        {"2009.09", {Layout::Hosa, Layout::Hosb, Layout::Hosc}},
        {"2015.12", {Layout::Hosa, Layout::Hosb, Layout::Hosc}},
        {"2016.01", {Layout::Hosauj, Layout::Hosbuj, Layout::Hoscuj}},
        {"2024.04", {Layout::Hosauj, Layout::Hosbuj, Layout::Hoscuj}},
        {"2024.05", {Layout::Hosauj2, Layout::Hosbuj, Layout::Hoscuj}},
        {"2031.01", {Layout::Hosauj2, Layout::Hosbuj, Layout::Hoscuj}},
    };
    for (const Case& c : cases) EXPECT_EQ(layoutsForPeriod(c.period), c.layouts) << c.period;
}
