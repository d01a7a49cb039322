#pragma once
// "Elszámolási időszak": the user enters the billing period to work in.
// The window only reads its entry and hands it to the period logic; it
// closes when that logic has decided.
#include "app/Dialogs.h"
#include "app/PeriodChoice.h"
#include "app/Session.h"
#include "widgets/CommandGuard.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

class TZarasbe : public QDialog {
    Q_OBJECT
public:
    TZarasbe(app::Session& session, app::PeriodTable& periods, app::Dialogs& dialogs, const CommandGuard& guard,
             QWidget* parent = nullptr);

    enum class Outcome {
        Cancelled,  // "Mégsem", Escape or the close box
        Accepted,   // the session works in the entered period now
        Declined,   // a closed period the user did not want
    };
    Outcome outcome() const { return outcome_; }
    // Opened at start-up (idobe clear), anything but an accepted period ends
    // the program; opened from the menu it only closes the window.
    bool endsProgram() const;

    // The entry as typed: seven characters, unfilled places as blanks.
    QString enteredText() const;

    QLabel* Label1;
    QLineEdit* ME1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void reject() override;

private:
    app::Session& session_;
    app::PeriodTable& periods_;
    app::Dialogs& dialogs_;
    Outcome outcome_ = Outcome::Cancelled;
};

} // namespace velmora::ui
