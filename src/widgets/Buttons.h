#pragma once
// A push button of the windows: named as the system names it, with its
// hint. Enter in a field never presses it: the windows say what Enter does.
#include <QPushButton>

namespace velmora::ui {

QPushButton* NamedButton(QWidget* parent, const char* name, const char* text, const char* hint = nullptr);

} // namespace velmora::ui
