#pragma once
// The program's messages and questions on standard error. A question is
// answered Yes only when the command line says so (--yes, or the option
// that stands for it); otherwise it is answered No, which every command
// takes as "change nothing", and the question is remembered as the
// refusal the tool exits with.
#include "app/Dialogs.h"
#include "app/Progress.h"

#include <functional>
#include <optional>
#include <string>

namespace velmora::batch {

class ConsoleDialogs final : public app::Dialogs {
public:
    // `answer` may decide a question itself (nothing when it does not
    // know it); the rest are Yes with `yes`, refused without.
    ConsoleDialogs(bool yes, std::function<std::optional<bool>(const std::string&)> answer = {});

    void error(const std::string& text) override;
    void error(const std::string& text, const std::string& detail) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    void message(const std::string& text) override;
    bool ask(const std::string& text, app::QuestionKind kind) override;
    void status(int panel, const std::string& text) override;
    std::optional<std::string> chooseDirectory(const std::string& caption, const std::string& start) override;

    void setAnswer(std::function<std::optional<bool>(const std::string&)> answer) { answer_ = std::move(answer); }
    const std::optional<std::string>& refused() const { return refused_; }

private:
    void say(const std::string& text);

    bool yes_;
    std::function<std::optional<bool>(const std::string&)> answer_;
    std::optional<std::string> refused_;
    std::string lastSaid_;
};

// Progress as lines "title: step (done/total)".
class ConsoleProgress final : public app::Progress {
public:
    void begin(const std::string& title, int total, bool cancellable) override;
    void step(const std::string& text, int done) override;
    bool cancelled() const override { return false; }
    void end() override {}

private:
    std::string title_;
    int total_ = 0;
};

} // namespace velmora::batch
