#pragma once
// The installation's one password. It is kept in the one-row table SYS
// (field P_W, 40 characters) in a scrambled decimal form; the clear text is
// never stored.
#include <cstddef>
#include <string>

namespace velmora::app {

inline constexpr size_t kPasswordFieldWidth = 40;
inline constexpr const char* kPasswordTooLong =
    "A jelszó túl hosszú, így nem tárolható! Adjon meg rövidebb jelszót!";

// For each UTF-16 code unit c of the password, the decimal digits of
// (3*c) div 2, joined: "abc" -> "145147148".
std::string ScramblePassword(const std::string& password);

// What P_W receives for a new password. A scrambled form longer than the
// field could not be stored whole and would never compare equal again, so
// such a password is refused: throws UserError(kPasswordTooLong).
std::string StoredPasswordForm(const std::string& password);

bool PasswordMatches(const std::string& storedForm, const std::string& typed);

// What the login window's OK does with what was typed.
enum class LoginOutcome {
    EmptyEntry,  // "Kötelező kitölteni!", then as Cancel
    TooLong,     // a new password that cannot be stored: kPasswordTooLong, window stays open
    StoreNew,    // no password yet, or a password change: store StoredPasswordForm(typed)
    Accepted,    // matches the stored password
    Wrong,       // "Érvénytelen jelszó!" and the program ends
};
LoginOutcome CheckLogin(const std::string& storedForm, bool changing, const std::string& typed);

} // namespace velmora::app
