#pragma once
// A read-only text in a fixed-width font above a "Bezárás" button, so that
// the lines of a report or a log can be scrolled, selected and copied.
// Escape or "Bezárás" closes it.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace velmora::ui {

class TextWindow : public QDialog {
    Q_OBJECT
public:
    // `textName`: the objectName of the text control.
    TextWindow(QWidget* parent, const QString& textName);

protected:
    QPlainTextEdit* textControl() const { return text_; }

public:
    QPushButton* Bezar;

private:
    QPlainTextEdit* text_;
};

} // namespace velmora::ui
