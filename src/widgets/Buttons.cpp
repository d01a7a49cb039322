#include "widgets/Buttons.h"

#include "widgets/Hint.h"

namespace velmora::ui {

QPushButton* NamedButton(QWidget* parent, const char* name, const char* text, const char* hint) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    if (hint) setHint(b, QString::fromUtf8(hint));
    b->setAutoDefault(false);
    return b;
}

} // namespace velmora::ui
