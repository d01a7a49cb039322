#include "widgets/FieldEdit.h"

#include "app/TextHelpers.h"
#include "db/Codepage.h"
#include "store/Schemas.h"
#include "widgets/FieldExits.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusTipEvent>

#include <algorithm>
#include <stdexcept>

namespace velmora::ui {

namespace {

bool holdable(const QString& text) { return db::cp852::fromUtf8(text.toStdString()).has_value(); }

bool hasControl(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return app::cleanTypedChar(c.unicode()) != c.unicode(); });
}

// The character at `i` as the field takes it: a space for a tab or a line
// break (CR LF as one), nothing for another control character; `n` is the
// number of code units it used.
QString cleaned(const QString& input, int i, int& n) {
    // A character beyond the BMP comes as two halves.
    n = input.at(i).isHighSurrogate() && i + 1 < input.size() ? 2 : 1;
    if (n == 2) return input.mid(i, 2);
    if (input.at(i) == u'\r' && i + 1 < input.size() && input.at(i + 1) == u'\n') n = 2;
    const char32_t c = app::cleanTypedChar(input.at(i).unicode());
    return c == 0 ? QString() : QString(QChar(static_cast<char16_t>(c)));
}

} // namespace

QValidator::State FieldCharacters::validate(QString& input, int& pos) const {
    if (holdable(input) && !hasControl(input)) return Acceptable;
    QString kept, left;
    int keptBeforeCursor = 0;
    for (int i = 0, n = 1; i < input.size(); i += n) {
        const QString c = cleaned(input, i, n);
        if (holdable(c)) {
            kept += c;
            if (i < pos) keptBeforeCursor += static_cast<int>(c.size());
        } else {
            left += c;
        }
    }
    input = kept;
    pos = keptBeforeCursor;
    if (!left.isEmpty()) emit refused(left);
    return Acceptable;
}

namespace {

// Pastes and drops go through the validator before the edit cuts them to
// its width: otherwise the width would be counted with the characters that
// are then dropped, and a name would lose its end for nothing.
class CleanPaste : public QObject {
public:
    CleanPaste(QLineEdit* edit, FieldCharacters* characters) : QObject(edit), edit_(edit), characters_(characters) {
        edit->installEventFilter(this);
    }

    void paste(QString text) {
        if (edit_->isReadOnly() || text.isEmpty()) return;
        int end = static_cast<int>(text.size());
        characters_->validate(text, end);
        edit_->insert(text);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
                paste(QApplication::clipboard()->text());
                return true;
            }
            break;
        case QEvent::ContextMenu: {
            contextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText() || edit_->isReadOnly()) return false;
            edit_->setCursorPosition(edit_->cursorPositionAt(drop->position().toPoint()));
            paste(drop->mimeData()->text());
            drop->acceptProposedAction();
            return true;
        }
        case QEvent::MouseButtonRelease:
            // The X11 selection pasted by the middle button.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
                QApplication::clipboard()->supportsSelection()) {
                edit_->setCursorPosition(edit_->cursorPositionAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
                paste(QApplication::clipboard()->text(QClipboard::Selection));
                return true;
            }
            break;
        default: break;
        }
        return false;
    }

private:
    // The edit's own menu, its "Paste" cleaned like the key.
    void contextMenu(const QPoint& at) {
        QPointer<QMenu> menu = edit_->createStandardContextMenu();
        for (QAction* a : menu->actions()) {
            if (a->objectName() != QLatin1String("edit-paste")) continue;
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            connect(a, &QAction::triggered, this, [this] { paste(QApplication::clipboard()->text()); });
        }
        menu->exec(at);
        delete menu;
    }

    QLineEdit* edit_;
    FieldCharacters* characters_;
};

} // namespace

QString RefusedCharactersText(const QString& characters) {
    return QString::fromUtf8("Nem tárolható karakter: ") + characters;
}

QLineEdit* CodePageEdit(QWidget* parent, const char* name, int width, const char* hint) {
    QLineEdit* edit = PanelEdit(parent, name, width, hint);
    auto* characters = new FieldCharacters(edit);
    edit->setValidator(characters);
    new CleanPaste(edit, characters);
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
