#pragma once
// Dialogs for tests: answers come from a script given in advance, and every
// box, question and status text is logged in order. A question the script
// has no answer for throws, so a test never passes on an answer it did not
// choose.
#include "app/Dialogs.h"

#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::test {

class ScriptedDialogs : public app::Dialogs {
public:
    enum class Kind { Error, Warning, Information, Message, Question, Status, ChooseDirectory };
    struct Entry {
        Kind kind;
        std::string text;
        std::optional<app::QuestionKind> question = std::nullopt;  // icon of a question
        std::string detail = {};  // the detail under an error's text
        bool operator==(const Entry&) const = default;
    };

    // Thrown for a question with no scripted answer.
    struct Unscripted : std::logic_error {
        using std::logic_error::logic_error;
    };

    // Answers, consumed in order.
    ScriptedDialogs& answerYes() { return answer(true); }
    ScriptedDialogs& answerNo() { return answer(false); }
    ScriptedDialogs& answer(bool yes);
    ScriptedDialogs& chooseDirectory(std::optional<std::string> dir);  // nullopt = cancel

    const std::vector<Entry>& log() const { return log_; }
    // Texts of one kind of entry, in order.
    std::vector<std::string> texts(Kind kind) const;
    std::vector<std::string> errors() const { return texts(Kind::Error); }
    // Errors and warnings together, in the order they were shown.
    std::vector<std::string> problems() const;
    // The details of the error boxes, in order ("" for one without).
    std::vector<std::string> errorDetails() const;
    std::string statusText(int panel) const;
    bool scriptUsedUp() const { return answers_.empty() && directories_.empty(); }
    void clearLog() { log_.clear(); }

    void error(const std::string& text) override { log_.push_back({Kind::Error, text}); }
    void error(const std::string& text, const std::string& detail) override {
        log_.push_back({Kind::Error, text, std::nullopt, detail});
    }
    void warning(const std::string& text) override { log_.push_back({Kind::Warning, text}); }
    void information(const std::string& text) override { log_.push_back({Kind::Information, text}); }
    void message(const std::string& text) override { log_.push_back({Kind::Message, text}); }
    bool ask(const app::Question& question) override;
    // The identities of the questions asked, in order.
    const std::vector<app::Msg>& asked() const { return asked_; }
    void status(int panel, const std::string& text) override;
    std::optional<std::string> chooseDirectory(const std::string& caption, const std::string& start) override;

private:
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> directories_;
    std::vector<Entry> log_;
    std::vector<app::Msg> asked_;
    std::map<int, std::string> status_;
};

} // namespace velmora::test
