#include "app/Password.h"

#include "app/Sodium.h"
#include "app/Utf8.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

namespace velmora::app {

namespace {

constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

bool allDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// libsodium reads its own text form back; -1 means it cannot (cut short,
// a bad field, an unknown algorithm).
bool readableHash(const std::string& stored) {
    if (stored.rfind("$argon2id$", 0) != 0 || stored.size() >= crypto_pwhash_STRBYTES) return false;
    // The form the program writes: a 16-byte salt and a 32-byte hash, 22 and
    // 43 characters of base64. A hash cut short may still decode (libsodium
    // takes shorter ones), so the lengths are checked first.
    const size_t hashAt = stored.rfind('$');
    const size_t saltAt = stored.rfind('$', hashAt - 1);
    if (saltAt == std::string::npos || hashAt - saltAt - 1 != 22 || stored.size() - hashAt - 1 != 43) return false;
    ensureSodium();
    return crypto_pwhash_str_needs_rehash(stored.c_str(), kOpsLimit, kMemLimit) != -1;
}

} // namespace

StoredForm KindOfStoredForm(const std::string& stored) {
    if (stored.empty()) return StoredForm::None;
    if (allDigits(stored)) return StoredForm::Scrambled;
    return readableHash(stored) ? StoredForm::Hash : StoredForm::Damaged;
}

std::string ScramblePassword(const std::string& password) {
    std::string out;
    for (char16_t unit : Utf8ToUtf16(password)) out += std::to_string(3 * static_cast<unsigned>(unit) / 2);
    return out;
}

std::string HashPassword(const std::string& password) {
    ensureSodium();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), kOpsLimit, kMemLimit) != 0)
        throw std::runtime_error("A jelszó titkosításához nincs elég memória.");
    return out;
}

bool PasswordMatches(const std::string& stored, const std::string& typed) {
    switch (KindOfStoredForm(stored)) {
    case StoredForm::Scrambled:
        return stored == ScramblePassword(typed);
    case StoredForm::Hash:
        return crypto_pwhash_str_verify(stored.c_str(), typed.data(), typed.size()) == 0;
    case StoredForm::None:
    case StoredForm::Damaged:
        break;
    }
    return false;
}

bool SecretTooLong(const std::string& secret) { return Utf8Length(secret) > kSecretMaxLength; }

LoginOutcome CheckLogin(const std::string& stored, const std::string& typed) {
    if (typed.empty()) return LoginOutcome::EmptyEntry;
    switch (KindOfStoredForm(stored)) {
    case StoredForm::None:
        return SecretTooLong(typed) ? LoginOutcome::TooLong : LoginOutcome::StoreNew;
    case StoredForm::Damaged:
        return LoginOutcome::Damaged;
    case StoredForm::Scrambled:
        return PasswordMatches(stored, typed) ? LoginOutcome::Upgrade : LoginOutcome::Wrong;
    case StoredForm::Hash:
        break;
    }
    return PasswordMatches(stored, typed) ? LoginOutcome::Accepted : LoginOutcome::Wrong;
}

} // namespace velmora::app
