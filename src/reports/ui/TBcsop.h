#pragma once
// "Betegségcsoport": the disease chapter whose BNO codes the chapter list
// prints. "OK" without a chapter says so and stays; "Mégsem" or closing the
// window chooses nothing.
#include <QDialog>

#include "app/Dialogs.h"
#include "reports/MasterLists.h"
#include "widgets/CommandGuard.h"

#include <optional>
#include <string>

class QComboBox;
class QPushButton;

namespace velmora::ui {

class TBcsop : public QDialog {
    Q_OBJECT
public:
    TBcsop(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard);

    // Shows the window modally; the chosen chapter, or nothing.
    std::optional<reports::BnoChapter> run();

    bool bnfigy = false;   // a chapter was chosen
    std::string bncs1;     // its lowest code
    std::string bncs2;     // its highest code
    std::string cimszov;   // its text

    QComboBox* CB1;
    QPushButton* OK;
    QPushButton* Megsem;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OKClick();

    app::Dialogs& dialogs_;
    CommandGuard guard_;
};

} // namespace velmora::ui
