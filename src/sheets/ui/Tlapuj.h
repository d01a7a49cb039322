#pragma once
// The sheet entry window: one billing sheet on three pages ("1.oldal" the
// patient, the diagnoses and the doctors; "2.oldal" the order and the
// activity nurses; "3.oldal" the visit grid), for a new sheet, a change or
// a look. It is made once and reused for every sheet.
//
// The window holds no rule. When the focus leaves one of its controls for
// another, after a choose window and on "Mentés" it copies its controls into
// a SheetForm, calls the sheet logic, copies the form back and moves the
// focus where the logic says, showing the page that holds the control.
// Every button, exit and double click runs through the command guard.
#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "sheets/SheetEntry.h"
#include "widgets/CommandGuard.h"

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velmora::ui {

class FieldExits;
struct MasterDataWindows;
class Ttevki;

class Tlapuj : public QDialog {
    Q_OBJECT
public:
    Tlapuj(QWidget* parent, const sheets::SheetContext& ctx, const CommandGuard& guard, MasterDataWindows& masterData,
           Ttevki& tevki);

    // Shows the sheet modally, placed from `opener` (50 pixels below and 10
    // to the right of its top left corner); true when it was saved.
    bool run(const sheets::SheetForm& form, QWidget* opener);

    const sheets::SheetForm& form() const { return form_; }
    // The control bound to the form's text or flag of that name; nullptr
    // for a name the window does not have.
    QWidget* control(const std::string& name) const;

    QLabel* m_sorsz;
    QLabel* m_idosz;
    QTabWidget* PC1;
    QWidget* TS1;
    QWidget* TS2;
    QWidget* TS3;
    QPushButton* BB1;   // "Kilépés"
    QPushButton* ment;  // "Mentés"

    // "Kilépés", Escape and the close box: the window closes without the
    // field checks; when anything was typed since it opened, the user is
    // asked first whether to throw it away.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- the controls (TlapujPages.cpp) ---------------------------------
    QWidget* buildTopPanel();
    QWidget* buildPatientPage();
    QWidget* buildOrderPage();
    QWidget* buildVisitPage();
    QGroupBox* buildPatientGroup(QWidget* page);
    QGroupBox* buildDiagnosisGroup(QWidget* page);
    QGroupBox* buildDoctorGroup(QWidget* page);
    QGroupBox* buildOrderGroup(QWidget* page);
    QGroupBox* buildCareGroup(QWidget* page);
    QGroupBox* buildVisitGroup(QWidget* page);
    // A control bound to the form, in the tab order.
    template <class W>
    W* bind(W* widget);
    QLineEdit* edit(QWidget* parent, const char* name, const char* hint = nullptr);
    QLineEdit* dateEdit(QWidget* parent, const char* name, const char* hint);
    QLabel* display(QWidget* parent, const char* name);

    // --- the form (Tlapuj.cpp) --------------------------------------------
    void readControls();
    // What the controls show, to tell whether anything was typed.
    QStringList shownTexts() const;
    void showForm();
    void setEditable(bool editable);
    const char* caption() const;

    // --- the fields (TlapujFields.cpp) -------------------------------------
    void wireFields();
    bool leave(const std::string& control);
    void doubleClicked(const std::string& control);
    // Shows what an exit found, applies its answers; where the focus goes.
    sheets::FocusMove shown(const sheets::FieldExit& exit);
    sheets::FocusMove choosePatient();
    sheets::FocusMove chooseSettlement();
    sheets::FocusMove chooseDiagnosis(const std::string& control);
    sheets::FocusMove chooseDoctor(char which);
    sheets::FocusMove chooseNurse(const std::string& control);
    sheets::FocusMove chooseActivities(int day);
    void copyVisitNurse(const std::string& control);
    void mentClick();
    // The focus as the logic moves it: now (after a choose window or
    // "Mentés"), or after the focus change under way (on leaving a control).
    void focusNow(const sheets::FocusMove& move);
    void followChoice(const std::string& origin, const sheets::FocusMove& move);
    void focusAfterLeaving(const sheets::FocusMove& move);
    void showPageOf(QWidget* control);
    void pageChosen();

    sheets::SheetContext ctx_;
    CommandGuard guard_;
    MasterDataWindows& masterData_;
    Ttevki& tevki_;
    FieldExits* exits_;

    sheets::SheetForm form_;
    QPointer<QWidget> opener_;
    bool saved_ = false;
    QStringList opened_;  // the controls as the window opened
    bool quiet_ = false;  // no exit runs: the window is being filled, or the focus parked

    std::vector<std::pair<std::string, QWidget*>> controls_;  // in tab order
    QComboBox* bnem = nullptr;
    QCheckBox* CB1 = nullptr;
    QWidget* P1 = nullptr;
    QLabel* Lv2 = nullptr;
    QLabel* vszame = nullptr;
};

} // namespace velmora::ui
