#include "check/ui/CheckWindow.h"

#include <QPlainTextEdit>

namespace velmora::ui {

CheckWindow::CheckWindow(QWidget* parent) : TextWindow(parent, "Report"), Report(textControl()) {
    setObjectName("Tellenor");
    setWindowTitle("Adatok ellenőrzése");
    resize(720, 420);
}

void CheckWindow::setReport(const QString& text) { Report->setPlainText(text); }

} // namespace velmora::ui
