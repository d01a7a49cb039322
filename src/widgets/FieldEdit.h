#pragma once
// Line edits bound to a field of a table take only what the field can hold:
// at most its width, and only characters of code page 852, typed or pasted.
// A tab or a line break becomes a space and other control characters are
// dropped, since a stored text is one line of the fund's files. A refused
// character is not taken (the rest of a pasted text is), and the first panel
// of the main window's status bar says which character it was. A paste is
// cleaned before the width is counted, so what is dropped leaves room.
#include <QValidator>

class QLineEdit;
class QWidget;

namespace velmora::store::schema { struct TableDef; }

namespace velmora::ui {

// Turns tabs and line breaks into spaces, drops other control characters,
// and drops every character that code page 852 lacks and says so.
class FieldCharacters : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;

signals:
    // The characters just left out, in their order.
    void refused(const QString& characters) const;
};

// The status text for characters left out.
QString RefusedCharactersText(const QString& characters);

// A line edit named `name` that takes at most `width` characters (0: no
// limit) of code page 852, with its hint: for controls whose width is known
// without a table layout at hand.
QLineEdit* CodePageEdit(QWidget* parent, const char* name, int width, const char* hint = nullptr);

// A line edit of an edit panel for `field` of `table`: named `name`, at most
// the field's width, code page 852 only, with its hint. The field must be
// in the layout.
QLineEdit* FieldEdit(QWidget* parent, const char* name, const store::schema::TableDef& table, const char* field,
                     const char* hint = nullptr);

} // namespace velmora::ui
