#pragma once
// "Összesítőhöz adatbekérés": the number of ordering sheets the monthly
// summary shows. Enter acts as "OK"; anything but a whole number is refused.
#include <QDialog>

#include "app/Dialogs.h"
#include "widgets/CommandGuard.h"

#include <optional>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

class FieldExits;

class Tobe : public QDialog {
    Q_OBJECT
public:
    Tobe(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard);

    // Shows the window modally; the number, or nothing when it was closed.
    std::optional<int> run();

    QLineEdit* Edit1;
    QPushButton* OK;

private:
    void OKClick();

    app::Dialogs& dialogs_;
    CommandGuard guard_;
    FieldExits* exits_;
    std::optional<int> oszam_;
};

} // namespace velmora::ui
