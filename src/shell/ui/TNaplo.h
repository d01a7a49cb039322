#pragma once
// "Napló": the last entries of the diagnostic log, read-only, the newest at
// the bottom and in view, in a fixed-width font so that the times line up.
// Escape or "Bezárás" closes it; it may be resized like the other windows.
#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace velmora::ui {

class TNaplo : public QDialog {
    Q_OBJECT
public:
    explicit TNaplo(QWidget* parent = nullptr);
    // The lines, oldest first; an empty log says so.
    void setLines(const std::vector<std::string>& lines);

    QPlainTextEdit* Sorok;
    QPushButton* Bezar;
};

} // namespace velmora::ui
