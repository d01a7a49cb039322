#pragma once
// The program's help: an HTML file in the help folder beside the program,
// shown in the program's own help window (no browser needed). Each window
// has its chapter, an anchor of the help file; F1 opens the help there.
#include <QString>

class QWidget;

namespace velmora::ui {

class HelpWindow;

QString HelpFilePath();
// The package and the tests keep the help elsewhere; empty puts back the
// folder beside the program.
void SetHelpFilePath(const QString& path);

// The chapter (anchor) of the window with that object name; "" for the
// beginning of the help.
QString HelpChapter(const QString& windowName);

// Opens the help window at `chapter`, over `from`. A help file that is
// missing or cannot be read is told in a message box; returns the window,
// or null when the help could not be opened.
HelpWindow* Helphelp(const QString& chapter = {}, QWidget* from = nullptr);

// F1 in `window` opens the help at the window's chapter.
void InstallHelpKey(QWidget* window);

} // namespace velmora::ui
