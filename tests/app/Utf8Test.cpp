#include "app/Utf8.h"

#include <gtest/gtest.h>

using namespace velmora::app;

TEST(Utf8, CountsCharactersAndKeepsMalformedBytesAsTheirOwn) {
    EXPECT_EQ(Utf8Length("árvíztűrő"), 9u);
    EXPECT_EQ(Utf8Left("árvíztűrő", 2), "ár");
    EXPECT_EQ(Utf8Left("ab", 5), "ab");
    EXPECT_EQ(Utf8Length("a\xE2\x82"), 3u);      // sequence cut short at the end
    EXPECT_EQ(Utf8Length("\xC0\xAF"), 2u);       // overlong form
    EXPECT_EQ(Utf8Length("\xED\xA0\x80"), 3u);   // encoded surrogate
    EXPECT_EQ(Utf8Left("\xC3" "a", 1), "\xC3");
    EXPECT_EQ(Utf8ToUtf16("a\xFF"), (std::u16string{u'a', u'\xFFFD'}));
}
