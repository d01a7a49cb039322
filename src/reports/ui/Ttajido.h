#pragma once
// "Időszak bekérése": which sheets the provider-wide TAJ check list
// covers — all, the current period's, or those from a typed period on.
#include <QDialog>

#include "app/Dialogs.h"
#include "reports/TajLists.h"
#include "widgets/CommandGuard.h"

#include <optional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora::ui {

class Ttajido : public QDialog {
    Q_OBJECT
public:
    Ttajido(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard);

    // Shows the window modally; the choice (scope, and `from` for the third
    // item), or nothing when the window was closed without one.
    std::optional<reports::TajSelection> run(const std::string& currentPeriod);

    QRadioButton* Teljes;
    QRadioButton* Aktualis;
    QRadioButton* Valasztott;
    QLineEdit* ID1;
    QPushButton* OK;

private:
    void OKClick();

    app::Dialogs& dialogs_;
    CommandGuard guard_;
    std::optional<reports::TajSelection> choice_;
    std::string current_;
};

} // namespace velmora::ui
