#include "app/Login.h"

#include "app/DiagnosticLog.h"
#include "app/Password.h"

#include <exception>

namespace velmora::app {

bool PreparePasswordTable(PasswordStore& store, Dialogs& dialogs) {
    if (!store.exists()) {
        try {
            store.create();
        } catch (const std::exception& e) {
            // Plain boxes without a detail: the cause goes to the log.
            logEvent(failureOf("Hiba a lefutásban", e));
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

namespace {

// The right password in the old form: the hash takes its place. The user
// is in either way; a store that cannot be written keeps the old form and
// says so, and the next start tries again.
LoginStep upgrade(PasswordStore& store, const std::string& typed, Dialogs& dialogs) {
    try {
        store.write(HashPassword(typed));
    } catch (const std::exception& e) {
        dialogs.error(kUpgradeFailed, e.what());
    }
    return LoginStep::Close;
}

} // namespace

LoginStep SubmitPassword(PasswordStore& store, const std::string& typed, Dialogs& dialogs) {
    try {
        switch (CheckLogin(store.read(), typed)) {
        case LoginOutcome::EmptyEntry:
            dialogs.message(kEntryRequired);
            return LoginStep::Cancel;
        case LoginOutcome::TooLong:
            dialogs.error(kPasswordTooLong);
            return LoginStep::StayOpen;
        case LoginOutcome::StoreNew:
            store.write(HashPassword(typed));
            return LoginStep::Close;
        case LoginOutcome::Accepted:
            return LoginStep::Close;
        case LoginOutcome::Upgrade:
            return upgrade(store, typed, dialogs);
        case LoginOutcome::Wrong:
            dialogs.message(kInvalidPassword);
            return LoginStep::EndProgram;
        case LoginOutcome::Damaged:
            dialogs.error(kPasswordStoreDamaged);
            return LoginStep::EndProgram;
        }
    } catch (const std::exception& e) {
        dialogs.error(e.what());
    }
    return LoginStep::StayOpen;
}

PasswordChange::PasswordChange(PasswordStore& store) : store_(store) {
    try {
        if (store_.read().empty()) question_ = Question::New;
    } catch (const std::exception&) {
        // A store that cannot be read is met again, and reported, by the
        // first answer.
    }
}

const char* PasswordChange::prompt() const {
    switch (question_) {
    case Question::Current:
        return "Kérem a jelenlegi jelszót";
    case Question::New:
        return "Kérem a jelszó módosítását";
    case Question::Repeat:
        break;
    }
    return "Kérem az új jelszót még egyszer";
}

LoginStep PasswordChange::submit(const std::string& typed, Dialogs& dialogs) {
    if (typed.empty()) {
        dialogs.message(kEntryRequired);
        return LoginStep::Cancel;
    }
    try {
        switch (question_) {
        case Question::Current:
            switch (CheckLogin(store_.read(), typed)) {
            case LoginOutcome::Accepted:
            case LoginOutcome::Upgrade:
                question_ = Question::New;
                return LoginStep::NextEntry;
            case LoginOutcome::Damaged:
                dialogs.error(kPasswordStoreDamaged);
                return LoginStep::Cancel;
            default:
                dialogs.message(kInvalidPassword);
                return LoginStep::Cancel;
            }
        case Question::New:
            if (SecretTooLong(typed)) {
                dialogs.error(kPasswordTooLong);
                return LoginStep::StayOpen;
            }
            fresh_ = typed;
            question_ = Question::Repeat;
            return LoginStep::NextEntry;
        case Question::Repeat:
            if (typed != fresh_) {
                fresh_.clear();
                question_ = Question::New;
                dialogs.error(kPasswordsDiffer);
                return LoginStep::NextEntry;
            }
            store_.write(HashPassword(fresh_));
            fresh_.clear();
            return LoginStep::Close;
        }
    } catch (const std::exception& e) {
        dialogs.error(e.what());
    }
    return LoginStep::StayOpen;
}

} // namespace velmora::app
