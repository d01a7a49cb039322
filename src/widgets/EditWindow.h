#pragma once
// The frame of the master-data edit windows (patients, doctors, nurses,
// residues): a browse frame with "Kilépés", "Új felvitel", "Módosítás" and
// "Törlés" above an edit panel that is hidden until "Új felvitel" or
// "Módosítás" opens it. While the panel is open the grid, the navigator and
// the four buttons are off, so the current row cannot change under an edit.
// The window has two heights, collapsed and expanded, set by its menu
// command: its first heights; the user may make it larger, or maximize it,
// and it opens again as she left it. Its buttons, and Enter where it acts
// as "Kész", run through the command guard.
#include <QDialog>

#include "app/Dialogs.h"
#include "app/EditMode.h"
#include "widgets/CommandGuard.h"

#include <string>

class QBoxLayout;
class QHBoxLayout;
class QPushButton;

namespace velmora::ui {

class BrowseFrame;
class FieldExits;

class EditWindow : public QDialog {
    Q_OBJECT
public:
    EditWindow(QWidget* mainWindow, const QString& objectName, const QString& caption, const CommandGuard& guard);

    BrowseFrame* frame() const { return frame_; }
    QWidget* editPanel() const { return panel_; }
    app::EditMode mode() const { return mode_; }

    // The menu command: pending events run, the status text shows in the
    // main window's first panel, the grid becomes the active control, the
    // heights are stored and the collapsed one set; then the window runs
    // modally.
    void runFromMenu(app::Dialogs& dialogs, const std::string& statusText, int expanded, int collapsed);

    int expandedHeight() const { return expanded_; }
    int collapsedHeight() const { return collapsed_; }

protected:
    // Called by the subclass's constructor, in this order.
    void setFrame(BrowseFrame* frame);
    // The panel holds the fields; "Kész" and "Mégse" are added to `buttons`.
    void setEditPanel(QWidget* panel, QBoxLayout* buttons);

    // "Új felvitel" / "Módosítás": the panel opens; the subclass fills and
    // focuses its fields afterwards.
    void openPanel(app::EditMode mode);
    // Step after every save or cancel: panel hidden, controls back on, grid
    // focused, collapsed height.
    void closePanel();
    // The same after a save: the saved row stays under the cursor instead
    // of the one the grid was left on.
    void closeSaved();
    bool panelOpen() const;
    // The focus came into the panel from another control of this window;
    // coming back from a message box is no entry.
    virtual void panelEntered() {}
    // A refused "Kész" puts the focus on the named control; the field the
    // focus leaves is not checked, as the refusal has already spoken.
    void focusRefused(const std::string& control);

    // "Kész" as Enter in a field gives it: through the guard, like the button.
    void runKesz();
    const CommandGuard& guard() const { return guard_; }

    virtual void ujClick() = 0;
    virtual void modosClick() = 0;
    virtual void torolClick() = 0;
    virtual void BB1Click() = 0;
    virtual void BB2Click() { closePanel(); }

    void setHeight(int h);
    void showEvent(QShowEvent* event) override;
    void reject() override;  // Escape closes only when "Kilépés" could

    FieldExits* exits() const { return exits_; }

    QPushButton* kilep;
    QPushButton* uj;
    QPushButton* modos;
    QPushButton* torol;
    QPushButton* BB1 = nullptr;
    QPushButton* BB2 = nullptr;

private:
    void enableBrowsing(bool on);
    void focusMoved(QWidget* old, QWidget* now);

    QWidget* mainWindow_;
    CommandGuard guard_;
    BrowseFrame* frame_ = nullptr;
    QWidget* panel_ = nullptr;
    QBoxLayout* layout_;
    QHBoxLayout* buttonRow_;
    FieldExits* exits_;
    app::EditMode mode_ = app::EditMode::New;
    int expanded_ = 0, collapsed_ = 0;
    int extra_ = 0;  // the user's own height above the collapsed one
    bool refocusing_ = false;
};

} // namespace velmora::ui
