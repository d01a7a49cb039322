#include "support/ui/MenuOwner.h"

#include <QTest>

namespace velmora::test {

MenuOwner::MenuOwner() { resize(800, 600); }

void MenuOwner::plug(const ui::MenuCommands& commands) {
    for (const ui::MenuCommand& command : commands) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromStdString(command.item));
        connect(action, &QAction::triggered, this, [run = command.run] { run(); });
        addAction(action);
    }
}

QAction* MenuOwner::menuItem(const QString& name) const {
    auto* action = findChild<QAction*>(name);
    if (!action) QTest::qFail(("no menu command " + name.toStdString()).c_str(), __FILE__, __LINE__);
    return action;
}

} // namespace velmora::test
