#pragma once
// "Az e-jelentés oldalának címe": the address of the fund's e-report page
// as the fund gave it to the provider. Asked for when the page is first
// wanted, and changed from Szervíz → "E-jelentés oldalának címe". What is
// typed is checked and kept by the exchange logic (exchange/EReport.h).
#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace velmora::app { class Dialogs; }

namespace velmora::ui {

class Tejcim : public QDialog {
    Q_OBJECT
public:
    Tejcim(QWidget* parent, app::Dialogs& dialogs, std::string dataDir);

    // Shows the window with the address kept so far; the address kept when
    // the user left with "OK", nothing with "Mégsem" or Escape.
    std::optional<std::string> run();

    QLineEdit* cim;
    QPushButton* OK;
    QPushButton* megsem;

private:
    void okClick();

    app::Dialogs& dialogs_;
    std::string dataDir_;
    std::optional<std::string> kept_;
};

} // namespace velmora::ui
