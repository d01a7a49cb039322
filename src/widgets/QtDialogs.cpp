#include "widgets/QtDialogs.h"

#include "app/TextHelpers.h"
#include "app/Version.h"
#include "widgets/FieldExits.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

namespace velmora::ui {

namespace {

// The control that had the focus gets it back when the box is gone: without
// a window manager nothing else gives it back, and the field checks, which
// wait for the user's next focus change, would be skipped until a click.
// Coming back from a box is no move of the user's, so no check runs for it.
class FocusReturn {
public:
    FocusReturn() : control_(QApplication::focusWidget()) {}
    ~FocusReturn() {
        if (!control_ || !control_->isVisible()) return;
        control_->activateWindow();
        control_->setFocus(Qt::ActiveWindowFocusReason);
    }

private:
    QPointer<QWidget> control_;
};

void showBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text, const std::string& detail = {}) {
    QMessageBox box(icon, app::kProgramTitle, qs(text), QMessageBox::Ok, parent);
    if (!detail.empty()) {
        box.setInformativeText(qs(detail));
        // Room for a file and field name on a line or two, not a narrow
        // column of words.
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
            const int width = box.fontMetrics().averageCharWidth() * 50;
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                          grid->columnCount());
        }
    }
    const FocusReturn back;
    box.exec();
}

} // namespace

QWidget* QtDialogs::boxParent() const {
    // A modal window that is open owns the box, so it stays on top of it;
    // a progress dialog steps aside for the box (QtProgress), so its owner
    // owns the box.
    QWidget* modal = QApplication::activeModalWidget();
    while (qobject_cast<QProgressDialog*>(modal)) modal = modal->parentWidget();
    return modal ? modal : parent_.data();
}

void QtDialogs::error(const std::string& text) {
    // The box cannot say which field; the status panel does.
    if (QWidget* field = FieldExits::leaving(); field && text == app::text(app::Msg::MandatoryField))
        status(0, "Kötelező mező: " + ss(ControlCaption(field)));
    showBox(boxParent(), QMessageBox::Critical, text);
}
void QtDialogs::error(const std::string& text, const std::string& detail) {
    showBox(boxParent(), QMessageBox::Critical, text, detail);
}
void QtDialogs::warning(const std::string& text) { showBox(boxParent(), QMessageBox::Warning, text); }
void QtDialogs::information(const std::string& text) { showBox(boxParent(), QMessageBox::Information, text); }
void QtDialogs::message(const std::string& text) { showBox(boxParent(), QMessageBox::NoIcon, text); }

bool QtDialogs::ask(const app::Question& question) {
    const app::QuestionKind kind = question.kind;
    const std::string& text = question.text;
    const QMessageBox::Icon icon = kind == app::QuestionKind::Warning        ? QMessageBox::Warning
                                   : kind == app::QuestionKind::Confirmation ? QMessageBox::Question
                                                                             : QMessageBox::NoIcon;
    QMessageBox box(icon, app::kProgramTitle, qs(text), QMessageBox::Yes | QMessageBox::No, boxParent());
    box.button(QMessageBox::Yes)->setText("Igen");
    box.button(QMessageBox::No)->setText("Nem");
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    const FocusReturn back;
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::status(int panel, const std::string& text) {
    if (status_) status_(panel, qs(text));
}

std::optional<std::string> QtDialogs::chooseDirectory(const std::string& caption, const std::string& start) {
    const QString dir = QFileDialog::getExistingDirectory(boxParent(), qs(caption), qs(start));
    if (dir.isEmpty()) return std::nullopt;
    return ss(dir);
}

} // namespace velmora::ui
