#pragma once
// What the login window does, without the window: getting the password
// table ready and judging what the user typed.
#include "app/Dialogs.h"
#include "app/PasswordStore.h"

#include <string>

namespace velmora::app {

// Opening the login window: opens SYS, creating it first when it is missing.
// A table that cannot be created shows "Hiba a lefutásban" and
// "Hiba a készítésben!!!"; one that cannot be opened shows the engine's
// message. False in both cases: the window stays usable, but its OK will
// fail with the engine's error.
bool PreparePasswordTable(PasswordStore& store, Dialogs& dialogs);

enum class LoginStep {
    Close,       // password accepted or stored
    StayOpen,    // refused without ending anything; the entry gets the focus again
    Cancel,      // as the Cancel button
    EndProgram,  // wrong password
};

// The login window's OK. `changing` is the password change from the menu,
// which stores the new text without asking for the old one.
LoginStep SubmitPassword(PasswordStore& store, bool changing, const std::string& typed, Dialogs& dialogs);

} // namespace velmora::app
