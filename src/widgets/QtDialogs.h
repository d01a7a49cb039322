#pragma once
// The program's way of talking to the user: modal message boxes titled with
// the program title, Yes/No questions with Hungarian buttons, the main
// window's status panels and a directory chooser.
#include "app/Dialogs.h"

#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace velmora::ui {

class QtDialogs : public app::Dialogs {
public:
    QtDialogs() = default;

    // The window boxes are centred on, and where the status bar texts go
    // (the main window's panels). Both may be unset (before the main window
    // exists).
    void setParentWindow(QWidget* window) { parent_ = window; }
    using StatusSink = std::function<void(int panel, const QString& text)>;
    void setStatusSink(StatusSink sink) { status_ = std::move(sink); }

    void error(const std::string& text) override;
    // The detail goes into the box's informative text, under the text.
    void error(const std::string& text, const std::string& detail) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    void message(const std::string& text) override;
    bool ask(const app::Question& question) override;
    void status(int panel, const std::string& text) override;
    std::optional<std::string> chooseDirectory(const std::string& caption, const std::string& start) override;

private:
    QWidget* boxParent() const;

    QPointer<QWidget> parent_;
    StatusSink status_;
};

} // namespace velmora::ui
