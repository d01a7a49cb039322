#include "batch_console.h"

#include <iostream>

namespace velmora::batch {

ConsoleDialogs::ConsoleDialogs(bool yes, Answer answer)
    : yes_(yes), answer_(std::move(answer)) {}

void ConsoleDialogs::error(const std::string& text) {
    std::cerr << "Hiba: " << text << "\n";
}

void ConsoleDialogs::error(const std::string& text, const std::string& detail) {
    std::cerr << "Hiba: " << text << "\n  " << detail << "\n";
}

void ConsoleDialogs::warning(const std::string& text) { std::cerr << "Figyelem: " << text << "\n"; }

void ConsoleDialogs::information(const std::string& text) { say(text); }

void ConsoleDialogs::message(const std::string& text) { say(text); }

// The windows show a text in the status bar and then in a box; on the
// console it is one line.
void ConsoleDialogs::say(const std::string& text) {
    if (text != lastSaid_) std::cerr << text << "\n";
    lastSaid_ = text;
}

bool ConsoleDialogs::ask(const app::Question& question) {
    const std::string& text = question.text;
    if (answer_)
        if (const std::optional<bool> decided = answer_(question.id)) {
            std::cerr << text << " " << (*decided ? "Igen" : "Nem") << "\n";
            return *decided;
        }
    if (yes_) {
        std::cerr << text << " Igen (--yes)\n";
        return true;
    }
    // The first refusal is the one the user has to answer.
    if (!refused_) refused_ = text;
    return false;
}

void ConsoleDialogs::status(int panel, const std::string& text) {
    if (panel == 0 && !text.empty()) say(text);
}

std::optional<std::string> ConsoleDialogs::chooseDirectory(const std::string&, const std::string&) {
    return std::nullopt;
}

void ConsoleProgress::begin(const std::string& title, int total, bool) {
    title_ = title;
    total_ = total;
    if (!title.empty()) std::cerr << title << "\n";
}

void ConsoleProgress::step(const std::string& text, int done) {
    std::cerr << "  " << text;
    if (total_ > 0) std::cerr << " (" << done << "/" << total_ << ")";
    std::cerr << "\n";
}

} // namespace velmora::batch

namespace velmora::batch {

std::optional<bool> answerFor(const Options& options, app::Msg question) {
    const std::string& c = options.command;
    using app::Msg;
    // The reports and the history change nothing, whatever the period.
    if (question == Msg::ClosedPeriodQuestion && (c == "report" || c == "history")) return true;
    if (c == "backup" && question == Msg::OutsideCopyQuestion) return options.archive.has_value();
    if (c == "backup" && question == Msg::EncryptQuestion) return options.encrypt;
    // The e-report page is for a person at a window.
    if (c == "ship" && question == Msg::EReportQuestion) return false;
    return std::nullopt;
}

} // namespace velmora::batch
