#pragma once
// What the login window does, without the window: getting the password
// table ready, judging what the user typed at start-up, and the password
// change, which asks for the current password before the new one twice.
#include "app/Dialogs.h"
#include "app/PasswordStore.h"

#include <string>

namespace velmora::app {

inline constexpr const char* kInvalidPassword = "Érvénytelen jelszó!";
inline constexpr const char* kEntryRequired = "Kötelező kitölteni!";
inline constexpr const char* kPasswordsDiffer = "A két új jelszó nem egyezik! Kérem, adja meg újra az új jelszót.";
inline constexpr const char* kUpgradeFailed =
    "A jelszó új, biztonságos tárolása nem sikerült; a következő indításkor a program újra megpróbálja.";

// Opening the login window: opens SYS, creating it first when it is missing.
// A table that cannot be created shows "Hiba a lefutásban" and
// "Hiba a készítésben!!!"; one that cannot be opened shows the engine's
// message. False in both cases: the window stays usable, but its OK will
// fail with the engine's error.
bool PreparePasswordTable(PasswordStore& store, Dialogs& dialogs);

enum class LoginStep {
    Close,       // password accepted or stored
    StayOpen,    // refused without ending anything; the entry gets the focus again
    NextEntry,   // the password change goes on to its next question
    Cancel,      // as the Cancel button
    EndProgram,  // wrong password, or a password store that cannot be read
};

// The login window's OK at start-up. A first password is stored as its
// hash; the old scrambled form, when it matches, is replaced by the hash.
LoginStep SubmitPassword(PasswordStore& store, const std::string& typed, Dialogs& dialogs);

// "Jelszó módosítás": the current password, then the new one twice. The
// new password is held only until the two entries are compared; nothing
// changes before the second one matches, and every refusal leaves the
// program running.
class PasswordChange {
public:
    enum class Question { Current, New, Repeat };

    // Without a password yet there is no current one to ask for.
    explicit PasswordChange(PasswordStore& store);

    Question question() const { return question_; }
    // The window's prompt for the question.
    const char* prompt() const;
    LoginStep submit(const std::string& typed, Dialogs& dialogs);

private:
    PasswordStore& store_;
    Question question_ = Question::Current;
    std::string fresh_;
};

} // namespace velmora::app
