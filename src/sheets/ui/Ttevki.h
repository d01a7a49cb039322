#pragma once
// The activity chooser "Tevékenységek kiválasztása": the eight activities
// of a visit day in a list with multiple selection. "Választás" leaves the
// chosen ones as an activity code in tevszov (each chosen activity's digit
// at its own position, a space for the others); "Kilépés" leaves tevszov
// empty. Closing clears the selection, so every opening starts from none.
#include <QDialog>
#include <QPointer>

#include "widgets/CommandGuard.h"

#include <string>

class QListWidget;
class QPushButton;

namespace velmora::ui {

class Ttevki : public QDialog {
    Q_OBJECT
public:
    Ttevki(QWidget* parent, const CommandGuard& guard);

    // The entry window it opens over: from its left edge plus half its
    // width and its top plus half its height and 5 pixels.
    void setSheetEntry(QWidget* window) { sheetEntry_ = window; }

    std::string tevszov;

    QListWidget* LB1;
    QPushButton* BB2;  // "Választás"
    QPushButton* BB1;  // "Kilépés"

    void BB2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QPointer<QWidget> sheetEntry_;
};

} // namespace velmora::ui
