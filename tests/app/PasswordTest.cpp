#include "app/Password.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora::app;

TEST(Password, TheOldScrambledFormIsStillRecognised) {
    const struct { const char* password; const char* scrambled; } cases[] = {
        {"abc", "145147148"},
        {"A", "97"},
        {"á", "337"},             // U+00E1
        {"€", "12546"},           // U+20AC
        {"\xF0\x9F\x98\x80", "8303585248"},  // U+1F600, two UTF-16 units
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScramblePassword(c.password), c.scrambled) << c.password;
        EXPECT_EQ(KindOfStoredForm(c.scrambled), StoredForm::Scrambled) << c.scrambled;
        EXPECT_TRUE(PasswordMatches(c.scrambled, c.password)) << c.password;
    }
    EXPECT_FALSE(PasswordMatches("145147148", "ABC"));
}

TEST(Password, TheHashGivesNothingBackAndMatchesOnlyTheSameText) {
    const std::string password = "Titok123";
    const std::string stored = HashPassword(password);
    EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u) << stored;
    EXPECT_LE(stored.size(), kPasswordFieldWidth);
    EXPECT_EQ(stored.find(password), std::string::npos);
    EXPECT_EQ(stored.find(ScramblePassword(password)), std::string::npos);
    EXPECT_NE(HashPassword(password), stored) << "each hash has its own salt";
    EXPECT_EQ(KindOfStoredForm(stored), StoredForm::Hash);
    EXPECT_TRUE(PasswordMatches(stored, "Titok123"));
    for (const char* other : {"titok123", "Titok12", "Titok1234", "", "Titok123 "})
        EXPECT_FALSE(PasswordMatches(stored, other)) << other;
}

TEST(Password, ADamagedStoredFormIsToldFromAWrongPassword) {
    const std::string good = HashPassword("abc");
    std::string otherAlgorithm = good;
    otherAlgorithm.replace(0, 10, "$argon2i$");
    const struct { std::string stored; StoredForm kind; } cases[] = {
        {"", StoredForm::None},
        {good, StoredForm::Hash},
        {good.substr(0, good.size() - 20), StoredForm::Damaged},  // cut short, as a 40-wide field would
        {good.substr(0, 30), StoredForm::Damaged},
        {otherAlgorithm, StoredForm::Damaged},
        {"145147x48", StoredForm::Damaged},
        {"$argon2id$", StoredForm::Damaged},
        {std::string("\xFF\xFE garbage"), StoredForm::Damaged},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KindOfStoredForm(c.stored), c.kind) << c.stored;
        if (c.kind == StoredForm::Damaged) {
            EXPECT_FALSE(PasswordMatches(c.stored, "abc")) << c.stored;
            EXPECT_EQ(CheckLogin(c.stored, "abc"), LoginOutcome::Damaged) << c.stored;
        }
    }
}

TEST(Password, LoginOutcomes) {
    const std::string hashed = HashPassword("abc");
    const std::string scrambled = ScramblePassword("abc");
    const std::string longest(kSecretMaxLength, 'x');
    const std::string tooLong(kSecretMaxLength + 1, 'x');
    const std::string longestAccented = [] {
        std::string s;
        for (size_t i = 0; i < kSecretMaxLength; ++i) s += "ő";  // 256 characters in 512 bytes
        return s;
    }();
    const struct { std::string stored; std::string typed; LoginOutcome outcome; } cases[] = {
        {"", "", LoginOutcome::EmptyEntry},
        {hashed, "", LoginOutcome::EmptyEntry},
        {"", "abc", LoginOutcome::StoreNew},       // first start
        {"", longest, LoginOutcome::StoreNew},
        {"", longestAccented, LoginOutcome::StoreNew},
        {"", "jelszó 密码 \xF0\x9F\x98\x80", LoginOutcome::StoreNew},  // beyond code page 852: never stored
        {"", tooLong, LoginOutcome::TooLong},
        {hashed, "abc", LoginOutcome::Accepted},
        {hashed, "ABC", LoginOutcome::Wrong},
        {hashed, "abcd", LoginOutcome::Wrong},
        {hashed, tooLong, LoginOutcome::Wrong},
        {scrambled, "abc", LoginOutcome::Upgrade},  // the old form, once
        {scrambled, "abd", LoginOutcome::Wrong},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLogin(c.stored, c.typed), c.outcome) << "stored=" << c.stored << " typed=" << c.typed;
}
