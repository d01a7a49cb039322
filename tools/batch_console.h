#pragma once
// The program's messages and questions on standard error. A question is
// answered by its identity: the command's own answer when it has one
// (answerFor), otherwise Yes only with --yes; without it the answer is No,
// which every command takes as "change nothing", and the question is
// remembered as the refusal the tool exits with. Its words are only shown.
#include "app/Dialogs.h"
#include "batch_commands.h"
#include "app/Progress.h"

#include <functional>
#include <optional>
#include <string>

namespace velmora::batch {

class ConsoleDialogs final : public app::Dialogs {
public:
    // `answer` may decide a question itself (nothing when it does not
    // know it); the rest are Yes with `yes`, refused without.
    using Answer = std::function<std::optional<bool>(app::Msg)>;
    ConsoleDialogs(bool yes, Answer answer = {});

    void error(const std::string& text) override;
    void error(const std::string& text, const std::string& detail) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    void message(const std::string& text) override;
    bool ask(const app::Question& question) override;
    void status(int panel, const std::string& text) override;
    std::optional<std::string> chooseDirectory(const std::string& caption, const std::string& start) override;

    void setAnswer(Answer answer) { answer_ = std::move(answer); }
    const std::optional<std::string>& refused() const { return refused_; }

private:
    void say(const std::string& text);

    bool yes_;
    Answer answer_;
    std::optional<std::string> refused_;
    std::string lastSaid_;
};

// The command's own answer to a question, by its identity; nothing for a
// question the command leaves to --yes.
std::optional<bool> answerFor(const Options& options, app::Msg question);

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
