#include "check/ui/CheckWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

CheckWindow::CheckWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("Tellenor");
    setWindowTitle("Adatok ellenőrzése");
    resize(720, 420);
    Report = new QPlainTextEdit(this);
    Report->setObjectName("Report");
    Report->setReadOnly(true);
    Report->setLineWrapMode(QPlainTextEdit::NoWrap);
    Report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Bezar = new QPushButton("&Bezárás", this);
    Bezar->setObjectName("Bezar");
    Bezar->setDefault(true);
    connect(Bezar, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bezar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Report);
    layout->addLayout(buttons);
}

void CheckWindow::setReport(const QString& text) { Report->setPlainText(text); }

} // namespace velmora::ui
