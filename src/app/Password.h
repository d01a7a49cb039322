#pragma once
// The installation's one password. SYS.P_W keeps a salted, slow hash of it
// (Argon2id, libsodium's own text form "$argon2id$v=19$m=...$salt$hash"):
// nothing stored gives the password back. Installations from before the
// hash hold a scrambled decimal form, which is only recognised, so that
// such an installation logs in once and gets the hash in the same step;
// it is never written again.
#include <cstddef>
#include <string>

namespace velmora::app {

// Wide enough for the hash's text form (libsodium's limit is 127 bytes).
inline constexpr size_t kPasswordFieldWidth = 128;
// Passwords and backup passphrases, in characters: enough for any sentence
// a person types, and a bound on what one entry hands to the hash.
inline constexpr size_t kSecretMaxLength = 256;
inline constexpr const char* kPasswordTooLong = "A jelszó túl hosszú! Legfeljebb 256 karakter lehet.";
inline constexpr const char* kPasswordStoreDamaged =
    "A jelszó tárolója (sys.dbf) sérült, a jelszó nem ellenőrizhető!\n"
    "Új jelszó megadásához lépjen ki, törölje az adatkönyvtárból a sys.dbf állományt, majd indítsa újra "
    "a programot: az első indításkor beírt jelszó lesz az új jelszó. Az adatok ettől nem változnak.";

// What P_W holds.
enum class StoredForm {
    None,       // no password yet
    Scrambled,  // the old decimal form
    Hash,       // an Argon2id hash libsodium can read
    Damaged,    // anything else: a cut or altered hash, stray bytes
};
StoredForm KindOfStoredForm(const std::string& stored);

// The old form, kept only to recognise it: for each UTF-16 code unit c of
// the password the decimal digits of (3*c) div 2, joined ("abc" ->
// "145147148").
std::string ScramblePassword(const std::string& password);

// A new salted Argon2id hash of the password (interactive limits, a fresh
// random salt each time), in the text form P_W stores.
std::string HashPassword(const std::string& password);

// True when `typed` is the password `stored` was made from, in either form.
bool PasswordMatches(const std::string& stored, const std::string& typed);

// More characters than kSecretMaxLength.
bool SecretTooLong(const std::string& secret);

// What the login window's OK does with what was typed at start-up.
enum class LoginOutcome {
    EmptyEntry,  // "Kötelező kitölteni!", then as Cancel
    TooLong,     // a first password longer than kSecretMaxLength; the window stays open
    StoreNew,    // no password yet: store HashPassword(typed)
    Accepted,    // matches the stored hash
    Upgrade,     // matches the old scrambled form: accepted, and the hash replaces it
    Wrong,       // "Érvénytelen jelszó!" and the program ends
    Damaged,     // the stored form is unreadable: kPasswordStoreDamaged
};
LoginOutcome CheckLogin(const std::string& stored, const std::string& typed);

} // namespace velmora::app
