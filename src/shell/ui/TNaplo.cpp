#include "shell/ui/TNaplo.h"

#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace velmora::ui {

TNaplo::TNaplo(QWidget* parent) : TextWindow(parent, "Sorok"), Sorok(textControl()) {
    setObjectName("Tnaplo");
    setWindowTitle("Napló");
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
