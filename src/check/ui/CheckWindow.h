#pragma once
// The report of "Adatok ellenőrzése": read-only text in a fixed-width font,
// so that the lines of a long report can be scrolled, selected and copied.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace velmora::ui {

class CheckWindow : public QDialog {
    Q_OBJECT
public:
    explicit CheckWindow(QWidget* parent = nullptr);
    void setReport(const QString& text);

    QPlainTextEdit* Report;
    QPushButton* Bezar;
};

} // namespace velmora::ui
