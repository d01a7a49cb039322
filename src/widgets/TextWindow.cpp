#include "widgets/TextWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TextWindow::TextWindow(QWidget* parent, const QString& textName) : QDialog(parent) {
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(textName);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Bezar = new QPushButton("&Bezárás", this);
    Bezar->setObjectName("Bezar");
    Bezar->setDefault(true);
    connect(Bezar, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bezar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
}

} // namespace velmora::ui
