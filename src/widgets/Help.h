#pragma once
// The program's help: an HTML file installed in the help folder beside the
// program, opened in whatever the desktop uses for such files.
#include <QString>

class QWidget;

namespace velmora::ui {

QString HelpFilePath();

// Asks the desktop to open the help file. Like a shell "open" it reports
// nothing: false when there was no file or the desktop refused.
bool Helphelp();

// F1 in `window` opens the help file instead of any help of its own.
void InstallHelpKey(QWidget* window);

} // namespace velmora::ui
