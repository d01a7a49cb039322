#pragma once
// Line edits with an input mask (dates, diagnosis codes, periods). Qt puts
// the cursor where the mouse is, so a click on the right-hand part of an
// empty mask left it behind the empty positions, and what was typed then
// had nowhere to go. Here a click or the focus coming in puts the cursor
// no further than the first empty position, and a key typed where no empty
// position follows goes to the first one.
#include <QString>

class QLineEdit;

namespace velmora::ui {

void SetEditMask(QLineEdit* edit, const QString& mask);

// The first position of the mask still empty; -1 when every one is filled.
int FirstEmptyPosition(const QLineEdit* edit);

} // namespace velmora::ui
