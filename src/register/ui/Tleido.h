#pragma once
// The window "Lezárás ideje": the date a care episode ended, entered after
// the fact for the sheet under the register's cursor. The date is checked
// when the field is left and again on "OK", which asks before it stores.
#include <QDialog>

#include "sheets/Sheet.h"
#include "sheets/SheetEntry.h"
#include "widgets/CommandGuard.h"

#include <string>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

class FieldExits;

class Tleido : public QDialog {
    Q_OBJECT
public:
    Tleido(QWidget* registerWindow, const sheets::SheetContext& ctx, const CommandGuard& guard);

    // Shows the window modally for the sheet `key` whose start of care is
    // `szakvet`.
    void run(const sheets::SheetKey& key, const std::string& szakvet);

    QLineEdit* ME1;        // "Lezárás vége"
    QPushButton* Button1;  // "OK"
    std::string lkezd;     // the sheet's start of care

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool fits(bool forOk);
    void Button1Click();

    QWidget* registerWindow_;
    sheets::SheetContext ctx_;
    CommandGuard guard_;
    FieldExits* exits_;
    sheets::SheetKey key_;
};

} // namespace velmora::ui
