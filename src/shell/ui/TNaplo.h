#pragma once
// "Napló": the last entries of the diagnostic log, read-only, the newest at
// the bottom and in view, in a fixed-width font so that the times line up.
// Escape or "Bezárás" closes it; it may be resized like the other windows.
#include "widgets/TextWindow.h"

#include <string>
#include <vector>

class QPlainTextEdit;

namespace velmora::ui {

class TNaplo : public TextWindow {
    Q_OBJECT
public:
    explicit TNaplo(QWidget* parent = nullptr);
    // The lines, oldest first; an empty log says so.
    void setLines(const std::vector<std::string>& lines);

    QPlainTextEdit* Sorok;
};

} // namespace velmora::ui
