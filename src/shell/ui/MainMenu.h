#pragma once
// The main window's menu: every item with its name, caption (with its "&"
// accelerator) and hint. Items whose commands are not wired stay disabled.
#include <QString>

#include <vector>

class QMenuBar;

namespace velmora::ui {

struct MenuItemDef {
    const char* name;
    const char* caption;
    const char* hint;
    const char* parent;  // "" for the menu bar
};

// In menu order; a submenu's items follow it.
const std::vector<MenuItemDef>& MainMenuItems();

// Fills the bar. Every item becomes a QAction named after the item; an item
// with items below it also gets a QMenu of the same name. Plain items start
// disabled.
void BuildMainMenu(QMenuBar* bar);

} // namespace velmora::ui
