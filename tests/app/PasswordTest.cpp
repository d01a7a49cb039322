#include "app/Password.h"
#include "app/UserError.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora::app;

TEST(Password, ScramblesEachUtf16UnitToThreeHalvesOfItsCode) {
    const struct { const char* password; const char* scrambled; } cases[] = {
        {"abc", "145147148"},
        {"A", "97"},
        {"0", "72"},
        {"á", "337"},             // U+00E1
        {"ő", "505"},             // U+0151
        {"€", "12546"},           // U+20AC
        {"\xF0\x9F\x98\x80", "8303585248"},  // U+1F600, two UTF-16 units
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ScramblePassword(c.password), c.scrambled) << c.password;
}

TEST(Password, StoredFormMatchesOnlyTheSameText) {
    const std::string stored = StoredPasswordForm("Titok123");
    EXPECT_EQ(stored.find_first_not_of("0123456789"), std::string::npos) << "digits only";
    EXPECT_TRUE(PasswordMatches(stored, "Titok123"));
    EXPECT_FALSE(PasswordMatches(stored, "titok123"));
    EXPECT_FALSE(PasswordMatches(stored, "Titok12"));
    EXPECT_FALSE(PasswordMatches(stored, "Titok1234"));
}

TEST(Password, AFormLongerThanTheFieldIsRefusedWhenSet) {
    EXPECT_EQ(StoredPasswordForm(std::string(20, '0')).size(), 40u);  // exactly fills P_W
    EXPECT_EQ(StoredPasswordForm(std::string(13, 'z')).size(), 39u);
    for (const std::string& tooLong : {std::string(21, '0'), std::string(14, 'z')}) {
        try {
            StoredPasswordForm(tooLong);
            ADD_FAILURE() << tooLong << " was accepted";
        } catch (const UserError& e) {
            EXPECT_STREQ(e.what(), "A jelszó túl hosszú, így nem tárolható! Adjon meg rövidebb jelszót!");
        }
    }
}

TEST(Password, LoginOutcomes) {
    const std::string abc = StoredPasswordForm("abc");
    const std::string tooLong(21, '0');
    const struct { std::string stored; bool changing; std::string typed; LoginOutcome outcome; } cases[] = {
        {"", false, "", LoginOutcome::EmptyEntry},
        {abc, true, "", LoginOutcome::EmptyEntry},
        {"", false, "abc", LoginOutcome::StoreNew},     // first start
        {abc, false, "abc", LoginOutcome::Accepted},
        {abc, false, "ABC", LoginOutcome::Wrong},
        {abc, false, "abcd", LoginOutcome::Wrong},
        {abc, true, "xyz", LoginOutcome::StoreNew},     // change needs no old password
        {"", false, tooLong, LoginOutcome::TooLong},
        {abc, true, tooLong, LoginOutcome::TooLong},
        {abc, false, tooLong, LoginOutcome::Wrong},     // only setting refuses it
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLogin(c.stored, c.changing, c.typed), c.outcome)
            << "stored=" << c.stored << " changing=" << c.changing << " typed=" << c.typed;
}
