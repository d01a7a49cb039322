#include "widgets/MaskedEdit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <vector>

namespace velmora::ui {

namespace {

// For each shown position of the mask: whether it takes input (a literal,
// such as the dots of a date, does not).
std::vector<bool> inputPositions(const QString& mask) {
    static const QString inputs = QStringLiteral("AaNnXx90Dd#HhBb");
    std::vector<bool> out;
    const qsizetype end = mask.lastIndexOf(u';');
    const QString m = end < 0 ? mask : mask.left(end);
    for (qsizetype i = 0; i < m.size(); ++i) {
        const QChar c = m.at(i);
        if (c == u'<' || c == u'>' || c == u'!') continue;
        if (c == u'\\') {
            ++i;
            out.push_back(false);
            continue;
        }
        out.push_back(inputs.contains(c));
    }
    return out;
}

QChar blankOf(const QString& mask) {
    const qsizetype at = mask.lastIndexOf(u';');
    return at >= 0 && at + 1 < mask.size() ? mask.at(at + 1) : QChar(u' ');
}

// The first empty position at or after `from`; -1 when there is none.
int firstEmptyFrom(const QLineEdit* edit, int from) {
    const std::vector<bool> inputs = inputPositions(edit->inputMask());
    const QString shown = edit->displayText();
    const QChar blank = blankOf(edit->inputMask());
    for (int i = from; i < static_cast<int>(inputs.size()); ++i)
        if (inputs[static_cast<size_t>(i)] && (i >= shown.size() || shown.at(i) == blank)) return i;
    return -1;
}

void keepOnFirstEmpty(QLineEdit* edit) {
    const int first = FirstEmptyPosition(edit);
    if (first >= 0 && !edit->hasSelectedText() && edit->cursorPosition() > first) edit->setCursorPosition(first);
}

class MaskCursor : public QObject {
public:
    explicit MaskCursor(QLineEdit* edit) : QObject(edit), edit_(edit) { edit->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::FocusIn: keepOnFirstEmpty(edit_); break;
        case QEvent::MouseButtonRelease:
            // The press has placed the cursor; the release moves nothing.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) keepOnFirstEmpty(edit_);
            break;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
            if (typed && !edit_->hasSelectedText() && firstEmptyFrom(edit_, edit_->cursorPosition()) < 0)
                keepOnFirstEmpty(edit_);
            break;
        }
        default: break;
        }
        return false;
    }

private:
    QLineEdit* edit_;
};

} // namespace

int FirstEmptyPosition(const QLineEdit* edit) { return firstEmptyFrom(edit, 0); }

void SetEditMask(QLineEdit* edit, const QString& mask) {
    edit->setInputMask(mask);
    new MaskCursor(edit);
}

} // namespace velmora::ui
