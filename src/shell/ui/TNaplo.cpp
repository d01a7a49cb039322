#include "shell/ui/TNaplo.h"

#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace velmora::ui {

TNaplo::TNaplo(QWidget* parent) : QDialog(parent) {
    setObjectName("Tnaplo");
    setWindowTitle("Napló");
    Sorok = new QPlainTextEdit(this);
    Sorok->setObjectName("Sorok");
    Sorok->setReadOnly(true);
    Sorok->setLineWrapMode(QPlainTextEdit::NoWrap);
    Sorok->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Bezar = new QPushButton("&Bezárás", this);
    Bezar->setObjectName("Bezar");
    Bezar->setDefault(true);
    connect(Bezar, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bezar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Sorok);
    layout->addLayout(buttons);
    MakeResizable(this, QSize(820, 460));
}

void TNaplo::setLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) text << qs(line);
    Sorok->setPlainText(text.isEmpty() ? QString("A napló üres.") : text.join('\n'));
    Sorok->moveCursor(QTextCursor::End);
    Sorok->verticalScrollBar()->setValue(Sorok->verticalScrollBar()->maximum());
}

} // namespace velmora::ui
