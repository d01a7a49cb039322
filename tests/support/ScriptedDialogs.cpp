#include "support/ScriptedDialogs.h"

namespace velmora::test {

ScriptedDialogs& ScriptedDialogs::answer(bool yes) {
    answers_.push_back(yes);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::chooseDirectory(std::optional<std::string> dir) {
    directories_.push_back(std::move(dir));
    return *this;
}

std::vector<std::string> ScriptedDialogs::texts(Kind kind) const {
    std::vector<std::string> out;
    for (const Entry& e : log_)
        if (e.kind == kind) out.push_back(e.text);
    return out;
}

std::vector<std::string> ScriptedDialogs::problems() const {
    std::vector<std::string> out;
    for (const Entry& e : log_)
        if (e.kind == Kind::Error || e.kind == Kind::Warning) out.push_back(e.text);
    return out;
}

std::vector<std::string> ScriptedDialogs::errorDetails() const {
    std::vector<std::string> out;
    for (const Entry& e : log_)
        if (e.kind == Kind::Error) out.push_back(e.detail);
    return out;
}

std::string ScriptedDialogs::statusText(int panel) const {
    auto it = status_.find(panel);
    return it == status_.end() ? std::string() : it->second;
}

bool ScriptedDialogs::ask(const app::Question& question) {
    log_.push_back({Kind::Question, question.text, question.kind});
    asked_.push_back(question.id);
    if (answers_.empty()) throw Unscripted("unscripted question: " + question.text);
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedDialogs::status(int panel, const std::string& text) {
    log_.push_back({Kind::Status, text});
    status_[panel] = text;
}

std::optional<std::string> ScriptedDialogs::chooseDirectory(const std::string& caption, const std::string&) {
    log_.push_back({Kind::ChooseDirectory, caption});
    if (directories_.empty()) throw Unscripted("unscripted directory choice: " + caption);
    auto dir = directories_.front();
    directories_.pop_front();
    return dir;
}

} // namespace velmora::test
