#pragma once
// A command a layer's windows hand up to the main menu: the menu item's name
// ("Betegek1") and what choosing it does. The layers never reach for the
// main window; the program plugs their commands into its menu.
#include <functional>
#include <string>
#include <vector>

namespace velmora::ui {

struct MenuCommand {
    std::string item;
    std::function<void()> run;
};

using MenuCommands = std::vector<MenuCommand>;

} // namespace velmora::ui
