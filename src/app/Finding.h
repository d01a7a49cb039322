#pragma once
// What a check found, in the order it found it: the control it points at,
// whether it refuses or only warns (or asks), and the message by identity
// with its words. A check returns findings and changes nothing; the window
// that ran it shows them with present() and puts the focus where the first
// refusal points.
#include "app/Dialogs.h"
#include "app/Messages.h"

#include <string>
#include <utility>
#include <vector>

namespace velmora::app {

enum class Severity {
    Refusal,  // the check fails
    Warning,  // shown, the outcome stays
    Question  // asked; a Yes sets `field` to `onYes`
};
// The box a finding is shown in: a refusal is an error box unless the
// system shows that one as a warning.
enum class Box { Error, Warning };

struct Finding {
    Severity severity = Severity::Refusal;
    Msg id = Msg::QueryFailed;
    std::string text;    // the catalogue's text with its values
    std::string field;   // the control it points at; empty for none
    std::string detail;  // a failed step's cause (the engine's message)
    Box box = Box::Error;
    std::string onYes;   // Question: the value `field` takes on Yes

    static Finding refusal(std::string field, Msg id, const std::vector<std::string>& values = {});
    static Finding warning(std::string field, Msg id, const std::vector<std::string>& values = {});
    // A refusal the system shows in a warning box.
    static Finding refusalAsWarning(std::string field, Msg id);
    static Finding failure(std::string field, Msg id, std::string detail);
    static Finding question(std::string field, Msg id, std::string onYes);
};

using Findings = std::vector<Finding>;

bool refuses(const Findings& findings);
// The control the first refusal points at; empty when none does.
std::string firstRefusalField(const Findings& findings);
// The refusals and warnings by identity, in order (what a test compares).
std::vector<Msg> ids(const Findings& findings);
void append(Findings& to, Findings more);

// The changes a Yes made: control and value, in the order asked.
using Answers = std::vector<std::pair<std::string, std::string>>;
// Shows every finding in order (error or warning box, the question asked)
// and returns the changes the answers make.
Answers present(Dialogs& dialogs, const Findings& findings);
// present(), and true when nothing was refused: for the callers that still
// take a check's outcome as a yes or no.
bool presented(Dialogs& dialogs, const Findings& findings);

} // namespace velmora::app
