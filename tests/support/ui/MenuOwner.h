#pragma once
// A stand-in for the main window in the tests of a layer's windows: it owns
// them, and carries their menu commands as actions named after the menu
// items, so a test chooses a command as the user would.
#include "widgets/MenuCommand.h"

#include <QAction>
#include <QMainWindow>

namespace velmora::test {

class MenuOwner : public QMainWindow {
public:
    MenuOwner();
    void plug(const ui::MenuCommands& commands);
    // The item's action; fails the test when no command was plugged in.
    QAction* menuItem(const QString& name) const;
};

} // namespace velmora::test
