#pragma once
// The report of "Adatok ellenőrzése": read-only text in a fixed-width font,
// so that the lines of a long report can be scrolled, selected and copied.
#include "widgets/TextWindow.h"


class QPlainTextEdit;

namespace velmora::ui {

class CheckWindow : public TextWindow {
    Q_OBJECT
public:
    explicit CheckWindow(QWidget* parent = nullptr);
    void setReport(const QString& text);

    QPlainTextEdit* Report;
};

} // namespace velmora::ui
