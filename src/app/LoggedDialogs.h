#pragma once
// The Dialogs of the program and of velmora-batch with the diagnostic log
// in front: every error and warning is written to the log (with the
// detail under an error as its cause) before it is shown. Everything else
// passes through unchanged.
#include "app/DiagnosticLog.h"
#include "app/Dialogs.h"

namespace velmora::app {

class LoggedDialogs final : public Dialogs {
public:
    LoggedDialogs(Dialogs& shown, DiagnosticLog& log) : shown_(shown), log_(log) {}

    void error(const std::string& text) override;
    void error(const std::string& text, const std::string& detail) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override { shown_.information(text); }
    void message(const std::string& text) override { shown_.message(text); }
    bool ask(const Question& question) override { return shown_.ask(question); }
    void status(int panel, const std::string& text) override { shown_.status(panel, text); }
    std::optional<std::string> chooseDirectory(const std::string& caption, const std::string& start) override {
        return shown_.chooseDirectory(caption, start);
    }

private:
    Dialogs& shown_;
    DiagnosticLog& log_;
};

} // namespace velmora::app
