#include "widgets/FieldEdit.h"

#include "db/Codepage.h"
#include "store/Schemas.h"
#include "widgets/FieldExits.h"

#include <QApplication>
#include <QLineEdit>
#include <QStatusTipEvent>

#include <stdexcept>

namespace velmora::ui {

namespace {

bool holdable(const QString& text) { return db::cp852::fromUtf8(text.toStdString()).has_value(); }

} // namespace

QValidator::State FieldCharacters::validate(QString& input, int& pos) const {
    if (holdable(input)) return Acceptable;
    QString kept, left;
    int keptBeforeCursor = 0;
    for (int i = 0; i < input.size();) {
        // A character beyond the BMP comes as two halves; both go.
        const int n = input.at(i).isHighSurrogate() && i + 1 < input.size() ? 2 : 1;
        const QString c = input.mid(i, n);
        if (holdable(c)) {
            kept += c;
            if (i < pos) keptBeforeCursor += n;
        } else {
            left += c;
        }
        i += n;
    }
    input = kept;
    pos = keptBeforeCursor;
    emit refused(left);
    return Acceptable;
}

QString RefusedCharactersText(const QString& characters) {
    return QString::fromUtf8("Nem tárolható karakter: ") + characters;
}

QLineEdit* CodePageEdit(QWidget* parent, const char* name, int width, const char* hint) {
    QLineEdit* edit = PanelEdit(parent, name, width, hint);
    auto* characters = new FieldCharacters(edit);
    edit->setValidator(characters);
    QObject::connect(characters, &FieldCharacters::refused, edit, [edit](const QString& left) {
        // The hint's way into the status bar.
        QStatusTipEvent tip(RefusedCharactersText(left));
        QApplication::sendEvent(edit, &tip);
    });
    return edit;
}

QLineEdit* FieldEdit(QWidget* parent, const char* name, const store::schema::TableDef& table, const char* field,
                     const char* hint) {
    const int width = table.fieldWidth(field);
    if (width <= 0) throw std::logic_error(table.name + " has no field " + field);
    return CodePageEdit(parent, name, width, hint);
}

} // namespace velmora::ui
