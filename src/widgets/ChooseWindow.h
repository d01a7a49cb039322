#pragma once
// The frame of the choose windows (patients, doctors, nurses, settlements,
// BNO codes): a browse frame with "Választ" and "Mégse". "Választ", or
// Enter in the grid once the grid has handled it, copies the row under the
// cursor into the window's result fields and closes; "Mégse" and Escape
// close with the result left empty. "Választ" runs through the command
// guard.
#include <QDialog>

#include "widgets/CommandGuard.h"

class QPushButton;

namespace velmora::ui {

class BrowseFrame;

class ChooseWindow : public QDialog {
    Q_OBJECT
public:
    ChooseWindow(QWidget* parent, const QString& objectName, const QString& caption, const CommandGuard& guard);

    BrowseFrame* frame() const { return frame_; }
    void choose();  // "Választ"

    QPushButton* BB1;
    QPushButton* BB2;

protected:
    void setFrame(BrowseFrame* frame);
    // On activation: the result is cleared and the window placed.
    virtual void clearResult() = 0;
    virtual void takeRow() = 0;
    virtual void cancelled() {}
    virtual void place() {}

    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    CommandGuard guard_;
    BrowseFrame* frame_ = nullptr;
};

} // namespace velmora::ui
