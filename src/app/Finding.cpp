#include "app/Finding.h"

namespace velmora::app {

Finding Finding::refusal(std::string field, Msg id, const std::vector<std::string>& values) {
    Finding f;
    f.severity = Severity::Refusal;
    f.id = id;
    f.text = app::text(id, values);
    f.field = std::move(field);
    return f;
}

Finding Finding::warning(std::string field, Msg id, const std::vector<std::string>& values) {
    Finding f = refusal(std::move(field), id, values);
    f.severity = Severity::Warning;
    f.box = Box::Warning;
    return f;
}

Finding Finding::refusalAsWarning(std::string field, Msg id) {
    Finding f = refusal(std::move(field), id);
    f.box = Box::Warning;
    return f;
}

Finding Finding::failure(std::string field, Msg id, std::string detail) {
    Finding f = refusal(std::move(field), id);
    f.detail = std::move(detail);
    return f;
}

Finding Finding::question(std::string field, Msg id, std::string onYes) {
    Finding f = refusal(std::move(field), id);
    f.severity = Severity::Question;
    f.onYes = std::move(onYes);
    return f;
}

bool refuses(const Findings& findings) {
    for (const Finding& f : findings)
        if (f.severity == Severity::Refusal) return true;
    return false;
}

std::string firstRefusalField(const Findings& findings) {
    for (const Finding& f : findings)
        if (f.severity == Severity::Refusal) return f.field;
    return {};
}

std::vector<Msg> ids(const Findings& findings) {
    std::vector<Msg> out;
    for (const Finding& f : findings) out.push_back(f.id);
    return out;
}

void append(Findings& to, Findings more) {
    for (Finding& f : more) to.push_back(std::move(f));
}

Answers present(Dialogs& dialogs, const Findings& findings) {
    Answers answers;
    for (const Finding& f : findings) {
        if (f.text.empty()) continue;  // a refusal the system makes without a word
        if (f.severity == Severity::Question) {
            if (dialogs.ask(Question{f.id, f.text, QuestionKind::Confirmation})) answers.emplace_back(f.field, f.onYes);
        } else if (!f.detail.empty()) {
            dialogs.error(f.text, f.detail);
        } else if (f.box == Box::Warning) {
            dialogs.warning(f.text);
        } else {
            dialogs.error(f.text);
        }
    }
    return answers;
}

bool presented(Dialogs& dialogs, const Findings& findings) {
    present(dialogs, findings);
    return !refuses(findings);
}

} // namespace velmora::app
