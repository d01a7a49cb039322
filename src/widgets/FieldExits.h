#pragma once
// The small keyboard rules of the edit panels: a check that runs when the
// focus leaves a control and puts the focus back when it fails, and Enter
// in a control moving on (or acting as "Kész"). Switching to another
// window, a message box or a menu does not count as leaving.
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QLineEdit;
class QWidget;

namespace velmora::ui {

// A focus change the user made inside a window; another window (a message
// box, a choose window) or a pop-up coming and going is not one.
bool MovedByUser(Qt::FocusReason reason);

// A button that leaves or cancels ("Mégse", "Mégsem", "Kilépés"): a click
// on it does not run the check of the control it takes the focus from, so
// a field that cannot be left as it is never keeps the user from giving up.
void LeavesWithoutChecks(QWidget* button);

// What the user knows a control by: the text of the label that names it
// (its buddy), else its hint, else its name.
QString ControlCaption(const QWidget* control);

// A line edit of an edit panel: its name, at most maxLength characters
// (0: no limit) and its hint.
QLineEdit* PanelEdit(QWidget* parent, const char* name, int maxLength, const char* hint = nullptr);

// A control that only shows its value looks so: read only, on the window's
// grey instead of the white of a control that takes typing.
void SetReadOnly(QLineEdit* edit, bool readOnly);

class FieldExits : public QObject {
    Q_OBJECT
public:
    explicit FieldExits(QObject* parent = nullptr) : QObject(parent) {}

    // check runs when the focus leaves `control` for another control of its
    // window while `active` says so; false returns the focus to it.
    void onLeave(QWidget* control, std::function<bool()> check);
    void setActive(std::function<bool()> active) { active_ = std::move(active); }
    // Enter (either key) in `control` runs `action` instead of its own use.
    void onEnter(QWidget* control, std::function<void()> action);
    // Enter in `control` moves the focus to `next`.
    void enterMoves(QWidget* control, QWidget* next);

    // For a check that sends the focus elsewhere: once the focus change
    // under way has ended, `prepare` runs (it may show the page that holds
    // the control) and the focus goes to `control`; the control the focus
    // passed through is not checked.
    void focusLater(QWidget* control, std::function<void()> prepare = {});

    // The control whose check is running, while one runs (for a message
    // that names its field); nullptr otherwise.
    static QWidget* leaving();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::map<QObject*, std::function<bool()>> checks_;
    std::map<QObject*, std::function<void()>> enters_;
    std::function<bool()> active_;
    bool checking_ = false;
};

} // namespace velmora::ui
