#include "app/Login.h"

#include "app/Password.h"

#include <exception>

namespace velmora::app {

bool PreparePasswordTable(PasswordStore& store, Dialogs& dialogs) {
    if (!store.exists()) {
        try {
            store.create();
        } catch (const std::exception&) {
            dialogs.message("Hiba a lefutásban");
            dialogs.message("Hiba a készítésben!!!");
            return false;
        }
    }
    try {
        store.open();
    } catch (const std::exception& e) {
        dialogs.error(e.what());
        return false;
    }
    return true;
}

LoginStep SubmitPassword(PasswordStore& store, bool changing, const std::string& typed, Dialogs& dialogs) {
    try {
        switch (CheckLogin(store.read(), changing, typed)) {
        case LoginOutcome::EmptyEntry:
            dialogs.message("Kötelező kitölteni!");
            return LoginStep::Cancel;
        case LoginOutcome::TooLong:
            dialogs.error(kPasswordTooLong);
            return LoginStep::StayOpen;
        case LoginOutcome::StoreNew:
            store.write(StoredPasswordForm(typed));
            return LoginStep::Close;
        case LoginOutcome::Accepted:
            return LoginStep::Close;
        case LoginOutcome::Wrong:
            dialogs.message("Érvénytelen jelszó!");
            return LoginStep::EndProgram;
        }
    } catch (const std::exception& e) {
        dialogs.error(e.what());
    }
    return LoginStep::StayOpen;
}

} // namespace velmora::app
