#include "app/Password.h"

#include "app/UserError.h"
#include "app/Utf8.h"

namespace velmora::app {

std::string ScramblePassword(const std::string& password) {
    std::string out;
    for (char16_t unit : Utf8ToUtf16(password)) out += std::to_string(3 * static_cast<unsigned>(unit) / 2);
    return out;
}

std::string StoredPasswordForm(const std::string& password) {
    std::string stored = ScramblePassword(password);
    if (stored.size() > kPasswordFieldWidth) throw UserError(kPasswordTooLong);
    return stored;
}

bool PasswordMatches(const std::string& storedForm, const std::string& typed) {
    return storedForm == ScramblePassword(typed);
}

LoginOutcome CheckLogin(const std::string& storedForm, bool changing, const std::string& typed) {
    if (typed.empty()) return LoginOutcome::EmptyEntry;
    if (storedForm.empty() || changing)
        return ScramblePassword(typed).size() > kPasswordFieldWidth ? LoginOutcome::TooLong
                                                                    : LoginOutcome::StoreNew;
    return PasswordMatches(storedForm, typed) ? LoginOutcome::Accepted : LoginOutcome::Wrong;
}

} // namespace velmora::app
