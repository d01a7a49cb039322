#include "widgets/DateEdit.h"

#include "app/Date.h"
#include "widgets/FieldExits.h"
#include "widgets/MaskedEdit.h"

#include <QLineEdit>

#include <algorithm>

namespace velmora::ui {

namespace {

constexpr QChar kBlank = u'_';

// The number in `n` positions from `from`; -1 while any of them is empty.
int part(const QString& text, int from, int n) {
    int value = 0;
    for (int i = from; i < from + n; ++i) {
        if (i >= text.size() || !text.at(i).isDigit()) return -1;
        value = value * 10 + text.at(i).digitValue();
    }
    return value;
}

} // namespace

QValidator::State DateCharacters::validate(QString& input, int&) const {
    const int year = part(input, 0, 4), month = part(input, 5, 2), day = part(input, 8, 2);
    if (month == 0 || month > 12 || day == 0) return Invalid;
    if (day > 0) {
        // February of a year not yet typed may still have 29 days.
        const int most = month < 0 ? 31 : year < 0 && month == 2 ? 29 : app::DaysInMonth(year, month);
        if (day > most) return Invalid;
    }
    return year >= 0 && month > 0 && day > 0 ? Acceptable : Intermediate;
}

QLineEdit* DateEdit(QWidget* parent, const char* name, const char* hint) {
    QLineEdit* edit = PanelEdit(parent, name, 0, hint);
    SetEditMask(edit, QStringLiteral("0000.00.00;") + kBlank);
    edit->setValidator(new DateCharacters(edit));
    return edit;
}

QString DateEditText(const QLineEdit* edit) {
    QString text = edit->displayText();
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); })) return {};
    return text.replace(kBlank, u' ');
}

} // namespace velmora::ui
