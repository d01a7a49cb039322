// What the entry window's fields do: their exits, their double clicks (the
// choose windows) and "Mentés", each a call into the sheet logic.
#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/StaffChooseWindow.h"
#include "masterdata/ui/Tbetegval.h"
#include "masterdata/ui/Tbnoval.h"
#include "masterdata/ui/Ttelepval.h"
#include "sheets/SheetCheck.h"
#include "sheets/ui/Tlapuj.h"
#include "sheets/ui/Ttevki.h"
#include "widgets/FieldExits.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QTabWidget>

namespace velmora::ui {

namespace {

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The day of "tev17" or "aptaj17"; 0 for any other control.
int dayOf(const std::string& control) {
    for (const char* prefix : {"tev", "aptaj"}) {
        const std::string p(prefix);
        if (startsWith(control, prefix) && control.size() > p.size() &&
            control.find_first_not_of("0123456789", p.size()) == std::string::npos)
            return std::stoi(control.substr(p.size()));
    }
    return 0;
}

bool isDiagnosis(const std::string& c) { return c == "m_fekvd" || c == "m_alapb" || c == "m_kiserd" || c == "m_fodiag"; }
bool isOrderingDoctor(const std::string& c) { return c == "m_eorv" || c == "m_eorvtip" || c == "orv1"; }
bool isProposingDoctor(const std::string& c) { return c == "m_jorv" || c == "orv2"; }
bool isNurse(const std::string& c) { return startsWith(c, "aptev") || startsWith(c, "aptaj"); }
bool isActivities(const std::string& c) { return startsWith(c, "tev") && dayOf(c) > 0; }

// The controls a double click opens a choose window for.
bool opensChooser(const std::string& c) {
    return c == "m_taj" || c == "m_kozigkod" || isDiagnosis(c) || isOrderingDoctor(c) || isProposingDoctor(c) ||
           isNurse(c) || isActivities(c);
}

} // namespace

void Tlapuj::wireFields() {
    exits_->setActive([this] { return form_.editable() && !quiet_; });
    for (const auto& [name, w] : controls_) {
        if (qobject_cast<QLabel*>(w)) continue;
        exits_->onLeave(w, [this, name = name] { return leave(name); });
        w->installEventFilter(this);
    }
}

bool Tlapuj::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && form_.editable()) {
        for (const auto& [name, w] : controls_) {
            if (w != watched || !opensChooser(name)) continue;
            guard_.run([this, name = name] { doubleClicked(name); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The check of the control left. Its focus move waits until the move the
// user made has ended; the control passed through is not checked.
bool Tlapuj::leave(const std::string& control) {
    sheets::FocusMove move;
    guard_.run([&] {
        readControls();
        move = shown(sheets::leaveField(form_, control, ctx_));
        showForm();
        copyVisitNurse(control);
    });
    focusAfterLeaving(move);
    return true;
}

sheets::FocusMove Tlapuj::shown(const sheets::FieldExit& exit) {
    sheets::applyAnswers(form_, app::present(ctx_.dialogs, exit.findings));
    return exit.focus();
}

// A visit day's nurse left with the day complete goes to the clipboard, to
// be pasted into the next day.
void Tlapuj::copyVisitNurse(const std::string& control) {
    const int day = startsWith(control, "aptaj") ? dayOf(control) : 0;
    if (day < 1 || day > form_.tnap) return;
    const std::string& nurse = form_.aptaj[day - 1];
    const std::string& code = form_.tev[day - 1];
    const auto blank = [](const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; };
    if (blank(nurse) || blank(code)) return;
    if (auto* e = qobject_cast<QLineEdit*>(this->control(control))) e->selectAll();
    QApplication::clipboard()->setText(qs(nurse));
}

void Tlapuj::doubleClicked(const std::string& control) {
    sheets::FocusMove move;
    if (control == "m_taj") {
        move = choosePatient();
    } else if (control == "m_kozigkod") {
        move = chooseSettlement();
    } else if (isDiagnosis(control)) {
        move = chooseDiagnosis(control);
    } else if (isOrderingDoctor(control)) {
        move = chooseDoctor('E');
    } else if (isProposingDoctor(control)) {
        move = chooseDoctor('J');
    } else if (isNurse(control)) {
        move = chooseNurse(control);
    } else {
        move = chooseActivities(dayOf(control));
    }
    showForm();
    activateWindow();  // the choose windows belong to the main window
    followChoice(control, move);
}

// The focus goes where the choice sends it; when that is another control,
// the exit of the one the choice came from runs, as leaving it by hand
// would run it.
void Tlapuj::followChoice(const std::string& origin, const sheets::FocusMove& move) {
    QWidget* target = control(move.control);
    if (!target) return;
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        focusNow(move);
    }
    if (target != control(origin)) leave(origin);
}

// Each chooser reads the controls once it has closed: what the user typed
// so far is the form the choice lands in.
sheets::FocusMove Tlapuj::choosePatient() {
    Tbetegval& w = *masterData_.betegval;
    w.bhol = true;
    w.exec();
    readControls();
    if (w.btaj.empty()) return sheets::FocusMove::stay();
    const sheets::PatientChoice choice{w.btaj, w.baztip, w.bnev, w.bnem, w.bkozig, w.bvaros, w.bcim, w.bszhely, w.bszido};
    return shown(sheets::patientChosen(form_, choice, ctx_));
}

sheets::FocusMove Tlapuj::chooseSettlement() {
    Ttelepval& w = *masterData_.telepval;
    w.honnan.assign(1, 'L');  // assign: g++ 12 warns falsely on = "L"
    w.exec();
    readControls();
    return sheets::settlementChosen(form_, w.vkod, w.vnev);
}

sheets::FocusMove Tlapuj::chooseDiagnosis(const std::string& control) {
    Tbnoval& w = *masterData_.bnoval;
    w.exec();
    readControls();
    return sheets::diagnosisChosen(form_, control, w.bnkod, w.bnnev);
}

sheets::FocusMove Tlapuj::chooseDoctor(char which) {
    Torvval& w = *masterData_.orvval;
    w.exec();
    readControls();
    return sheets::doctorChosen(form_, which, w.okod(), w.onev());
}

sheets::FocusMove Tlapuj::chooseNurse(const std::string& control) {
    TApolf& w = *masterData_.apolf;
    w.exec();
    readControls();
    if (w.akod().empty()) return sheets::FocusMove::stay();
    return sheets::nurseChosen(form_, control, w.akod());
}

sheets::FocusMove Tlapuj::chooseActivities(int day) {
    tevki_.exec();
    readControls();
    return sheets::activitiesChosen(form_, day, tevki_.tevszov);
}

// "Mentés": saved, the window closes; declined, it closes too; refused, it
// stays with the focus where the check sends it.
void Tlapuj::mentClick() {
    readControls();
    const sheets::SheetCheckResult checked = sheets::checkForSave(form_, ctx_);
    sheets::takeCheck(form_, checked, app::present(ctx_.dialogs, checked.findings));
    showForm();
    if (!checked.passed()) return focusNow(sheets::refusedFocus(checked.findings));
    if (!ctx_.dialogs.ask(app::question(app::Msg::SaveSheetQuestion)))
        return QDialog::reject();  // declined is no typing to ask about
    const app::Findings stored = sheets::storeSheet(form_, ctx_);
    app::present(ctx_.dialogs, stored);
    showForm();
    if (app::refuses(stored)) return;  // the window stays, the focus where it was
    saved_ = true;
    accept();
}

void Tlapuj::showPageOf(QWidget* control) {
    for (QWidget* w = control; w; w = w->parentWidget())
        if (w == TS1 || w == TS2 || w == TS3) {
            PC1->setCurrentWidget(w);
            return;
        }
}

// A page chosen by its tab keeps the focus on the tabs. Otherwise the focus
// would land on the page's first control, and leaving it, which the user
// never entered, would run its exit.
void Tlapuj::pageChosen() {
    QWidget* focused = focusWidget();
    if (!focused || !PC1->currentWidget()->isAncestorOf(focused)) return;
    const QScopedValueRollback<bool> quiet(quiet_, true);
    PC1->tabBar()->setFocus(Qt::TabFocusReason);
}

// A move the window makes itself, after a choose window or "Mentés".
void Tlapuj::focusNow(const sheets::FocusMove& move) {
    QWidget* target = control(move.control);
    if (!target) return;
    showPageOf(target);
    target->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(target)) e->selectAll();
}

void Tlapuj::focusAfterLeaving(const sheets::FocusMove& move) {
    QWidget* target = control(move.control);
    if (!target) return;
    exits_->focusLater(target, [this, target] {
        showPageOf(target);
        if (auto* e = qobject_cast<QLineEdit*>(target)) e->selectAll();
    });
}

} // namespace velmora::ui
