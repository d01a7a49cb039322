#pragma once
// "TAJ-szám bekérése": the patient whose TAJ check list prints. The number
// is tested when the field is left; a double click opens the patient
// choose window below; Enter acts as "OK".
#include <QDialog>

#include "app/Dialogs.h"
#include "widgets/CommandGuard.h"

#include <string>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

class FieldExits;
class Tbetegval;

class Ttajsz : public QDialog {
    Q_OBJECT
public:
    Ttajsz(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard, Tbetegval* chooser);

    // Shows the window modally; the TAJ to list, "" when none was given.
    std::string run();

    QLineEdit* E1;
    QPushButton* OK;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OKClick();

    app::Dialogs& dialogs_;
    CommandGuard guard_;
    Tbetegval* chooser_;
    FieldExits* exits_;
    std::string taj_;
};

} // namespace velmora::ui
