// The history's text and chain without tables: a change's text read back
// whole through escapes and continuation rows, and the chain's check on
// rows changed, removed, put in, deleted or brought from elsewhere.
#include "store/HistoryChain.h"
#include "store/HistoryText.h"

#include <gtest/gtest.h>

#include <functional>

using namespace velmora::store::history;

TEST(HistoryText, AChangeReadsBackWholeThroughEscapesAndPieces) {
    const ChangeText text{{{"CIM2", "Fő utca 1.", "Fő út 2; hátsó=ház > kert\\"}, {"TEV3", "1   5", ""},
                           {"LEZDAT", "", "2024.05.28"}},
                          "Régi kulcs: 2024.05/00013; új > régi"};
    EXPECT_EQ(decode(encode(text)), text);

    // Blanks and two-byte letters at every place a cut may fall.
    std::string longText;
    for (int i = 0; i < 40; ++i) longText += "ő  ;" + std::to_string(i) + " é ";
    const ChangeText big{{{"MEGJ", longText, "x"}}, "vége"};
    const std::string encoded = encode(big);
    for (size_t width : {7u, 13u, 200u}) {
        SCOPED_TRACE(width);
        std::string joined;
        for (const std::string& piece : splitText(encoded, width)) {
            EXPECT_FALSE(piece.empty());
            EXPECT_NE(piece.back(), ' ');  // the table would drop it
            size_t chars = 0;
            for (unsigned char c : piece) chars += (c & 0xC0) != 0x80;
            EXPECT_LE(chars, width);
            joined += piece;
        }
        EXPECT_EQ(decode(joined), big);
    }
}

namespace {

const std::string kId = "0123456789abcdef0123456789abcdef";

StoredRow rowOf(int64_t sor, const std::string& action, const std::string& text) {
    StoredRow r;
    r.sor = sor;
    r.ido = "2024.06.1" + std::to_string(sor % 10) + " 10:00:00";
    r.felh = "anna";
    r.verzio = "1.0";
    r.muvelet = action;
    r.idoszak = "2024.05";
    r.sorsz = "00012";
    r.valtozas = text;
    return r;
}

// A whole chain of `n` rows and its anchor.
std::vector<ChainRow> chainOf(int n, Anchor& anchor, const std::string& id = kId) {
    std::vector<ChainRow> rows;
    std::string previous = seedHash(id);
    for (int i = 1; i <= n; ++i) {
        StoredRow r = i == 1 ? rowOf(1, kStarted, encode({{}, identifierNote(id)})) : rowOf(i, "Módosítás", "GYAK=a>b;");
        r.hash = rowHash(previous, r);
        previous = r.hash;
        rows.push_back({false, r});
    }
    anchor = {id, n, previous};
    return rows;
}

} // namespace

TEST(HistoryChain, TheCheckNamesWhatWasDoneOutsideTheProgram) {
    const struct {
        const char* name;
        std::function<void(std::vector<ChainRow>&, Anchor&)> change;
        std::string named;  // "" for a whole chain
    } cases[] = {
        {"whole", [](auto&, auto&) {}, ""},
        {"a user changed", [](auto& rows, auto&) { rows[2].row.felh = "valaki"; }, "Az előzmények 3. sora"},
        {"a row deleted", [](auto& rows, auto&) { rows[1].deleted = true; }, "törlésre van jelölve"},
        {"a row removed", [](auto& rows, auto&) { rows.erase(rows.begin() + 2); }, "Az előzmények 3–3. sora hiányzik"},
        {"the last rows removed", [](auto& rows, auto&) { rows.resize(3); }, "4–5. sora hiányzik a tábla végéről"},
        {"a row put at the end",
         [](auto& rows, auto&) {
             StoredRow r = rowOf(6, "Módosítás", "SZNAP=5>9;");
             r.hash = rowHash(rows.back().row.hash, r);  // even with a hash made the program's way
             rows.push_back({false, r});
         },
         "6–6. sora a programon kívül került"},
        // The third is missing where it stood.
        {"two rows swapped", [](auto& rows, auto&) { std::swap(rows[2], rows[3]); }, "Az előzmények 3–3. sora hiányzik"},
        {"a row copied further on", [](auto& rows, auto&) { rows.insert(rows.begin() + 3, rows[1]); },
         "nem a sorszáma szerinti helyén"},
        {"the first rows removed", [](auto& rows, auto&) { rows.erase(rows.begin()); }, "nem a lánc kezdete"},
        {"the last row replaced", [](auto& rows, auto& anchor) { anchor.lastHash = rows[3].row.hash; },
         "utolsó, 5. sora nem az"},
        {"another directory's history",
         [](auto& rows, auto&) {
             Anchor theirs;
             rows = chainOf(5, theirs, "fedcba9876543210fedcba9876543210");
         },
         "másik adatkönyvtár"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Anchor anchor;
        std::vector<ChainRow> rows = chainOf(5, anchor);
        c.change(rows, anchor);
        const std::vector<std::string> problems = verifyChain(rows, anchor);
        if (c.named.empty()) {
            EXPECT_TRUE(problems.empty()) << problems.front();
            continue;
        }
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems.front().find(c.named), std::string::npos) << problems.front();
    }
    Anchor anchor;
    EXPECT_FALSE(verifyChain(chainOf(3, anchor), std::nullopt).empty()) << "a missing end of the chain is reported";
}
