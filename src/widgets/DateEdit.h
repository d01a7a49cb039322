#pragma once
// Date controls: the text "YYYY.MM.DD" typed into a mask, and no day the
// calendar lacks. A keystroke or a paste that would complete an impossible
// day ("2024.02.30", month 13, day 00) is not taken; whether the date is
// in the range a field allows is the logic's check.
#include <QValidator>

class QLineEdit;
class QWidget;

namespace velmora::ui {

// Refuses the mask's text once a complete month or day cannot be.
class DateCharacters : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// A date edit named `name`, with its hint.
QLineEdit* DateEdit(QWidget* parent, const char* name, const char* hint = nullptr);

// The date as the logic reads it: "" when no digit is typed, otherwise the
// ten characters with a space for each position left empty.
QString DateEditText(const QLineEdit* edit);

} // namespace velmora::ui
