#pragma once
// How logic talks to the user. Logic never opens a window: it calls this
// interface, which the program implements with modal message boxes and the
// main window's status bar, and a test implements with a script of answers.
// Texts are passed exactly as the user is to read them; a question carries
// its identity from the catalogue beside its text.
#include "app/Messages.h"

#include <optional>
#include <string>

namespace velmora::app {

// The icon a question box carries.
enum class QuestionKind { Confirmation, Warning, Plain };

// A question the logic asks: who it is, and its words with their values.
struct Question {
    Msg id;
    std::string text;
    QuestionKind kind = QuestionKind::Confirmation;
};
Question question(Msg id, QuestionKind kind = QuestionKind::Confirmation);
Question question(Msg id, const std::vector<std::string>& values,
                  QuestionKind kind = QuestionKind::Confirmation);

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Message boxes with an OK button; each returns when the user closed it.
    virtual void error(const std::string& text) = 0;
    // An error box with the system's own text and, below it, the detail the
    // engine gave (which file, which field).
    virtual void error(const std::string& text, const std::string& detail) = 0;
    virtual void warning(const std::string& text) = 0;
    virtual void information(const std::string& text) = 0;
    virtual void message(const std::string& text) = 0;  // plain box, no icon

    // Yes/No question with its kind's icon; true for Yes.
    virtual bool ask(const Question& question) = 0;

    // Text of one panel of the main window's status bar (0 = commands and
    // hints, 1 = provider line, 2 = today's date).
    virtual void status(int panel, const std::string& text) = 0;

    // Lets the user pick a directory, starting at `start`; nothing when the
    // user cancelled.
    virtual std::optional<std::string> chooseDirectory(const std::string& caption,
                                                       const std::string& start) = 0;
};

} // namespace velmora::app
