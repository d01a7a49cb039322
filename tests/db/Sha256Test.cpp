// SHA-256 against the published test vectors, across the block boundaries
// where the padding goes wrong first; and the text made to fit a code page.
#include "db/Sha256.h"
#include "db/Transliterate.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora::db;

TEST(Sha256, KnownDigests) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) EXPECT_EQ(sha256Hex(c.input), c.digest) << c.input.size() << " bytes";
}

TEST(Transliterate, KeepsWhatTheCodePageHoldsAndSpellsTheRestInItsLetters) {
    EXPECT_EQ(fitToCodePage(CodePage::Cp852, "Árvíztűrő tükörfúrógép Łukasz"), "Árvíztűrő tükörfúrógép Łukasz");
    EXPECT_EQ(fitToCodePage(CodePage::Cp852, "Zoë Ødegård"), "Zoë Odegard");
    EXPECT_EQ(fitToCodePage(CodePage::Cp852, "李"), "li");
    const std::string odd = fitToCodePage(CodePage::Cp852, "\xff\xfe broken \xe2\x82");  // not UTF-8 at all
    EXPECT_NE(odd.find("broken"), std::string::npos);
}
