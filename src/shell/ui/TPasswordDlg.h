#pragma once
// "Bejelentkezési ablak": asks for the installation's password at start-up;
// as "Jelszó módosítása" it asks for the current password, then for the new
// one twice, in the same entry under a changing prompt. The table work and
// the judgement are the login logic's; the window reads its entry and
// closes as told.
#include "app/Dialogs.h"
#include "app/Login.h"
#include "app/PasswordStore.h"
#include "app/Session.h"
#include "widgets/CommandGuard.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    // Opens (creating when missing) the password table; it is closed again
    // with the window.
    TPasswordDlg(app::Session& session, app::PasswordStore& store, app::Dialogs& dialogs, const CommandGuard& guard,
                 QWidget* parent = nullptr);
    ~TPasswordDlg() override;

    // The password change from the menu: its own caption, and the prompt
    // of each of its questions.
    void asPasswordChange();

    enum class Outcome {
        Cancelled,      // "Mégsem", Escape, the close box or an empty entry
        Accepted,       // right password, or a new one stored
        WrongPassword,  // the program must end at once
    };
    Outcome outcome() const { return outcome_; }
    // A wrong password always ends the program; a cancelled login ends it
    // unless the window runs as password change (jels2).
    bool endsProgram() const;
    // False when the password table could not be opened (another copy of
    // the program holds the data directory): the message was shown and the
    // window has nothing to check against.
    bool ready() const { return ready_; }

    QLabel* Label1;
    QLineEdit* Password;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void reject() override;

private:
    app::Session& session_;
    app::PasswordStore& store_;
    app::Dialogs& dialogs_;
    std::optional<app::PasswordChange> change_;
    Outcome outcome_ = Outcome::Cancelled;
    bool ready_ = false;
};

} // namespace velmora::ui
