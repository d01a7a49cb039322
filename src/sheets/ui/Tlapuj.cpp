#include "sheets/ui/Tlapuj.h"

#include "widgets/Buttons.h"
#include "widgets/DateEdit.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

bool isDateEdit(const QLineEdit* e) { return qobject_cast<const DateCharacters*>(e->validator()) != nullptr; }

QString shownText(const QLineEdit* e) { return isDateEdit(e) ? DateEditText(e) : e->text(); }

} // namespace

Tlapuj::Tlapuj(QWidget* parent, const sheets::SheetContext& ctx, const CommandGuard& guard,
               MasterDataWindows& masterData, Ttevki& tevki)
    : QDialog(parent), ctx_(ctx), guard_(guard), masterData_(masterData), tevki_(tevki),
      exits_(new FieldExits(this)) {
    setObjectName(QStringLiteral("Tlapuj"));
    setWindowTitle(QString::fromUtf8("Elszámolási lap rögzítése"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    QWidget* top = buildTopPanel();
    PC1 = new QTabWidget(this);
    PC1->setObjectName(QStringLiteral("PC1"));
    PC1->setTabPosition(QTabWidget::South);
    TS1 = buildPatientPage();
    TS2 = buildOrderPage();
    TS3 = buildVisitPage();
    PC1->addTab(TS1, QStringLiteral("1.oldal"));
    PC1->addTab(TS2, QStringLiteral("2.oldal"));
    PC1->addTab(TS3, QStringLiteral("3.oldal"));
    BB1 = NamedButton(this, "BB1", "Kilépés", "Kilépés a rögzítésből");
    ment = NamedButton(this, "ment", "Mentés", "Adatok elmentése");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BB1);
    buttons->addWidget(ment);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(top);
    layout->addWidget(PC1, 1);
    layout->addLayout(buttons);

    // The controls in the form's order, then the buttons.
    QWidget* previous = nullptr;
    for (const auto& [name, w] : controls_) {
        if (w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, BB1);
    setTabOrder(BB1, ment);

    connect(PC1, &QTabWidget::currentChanged, this, [this] { pageChosen(); });
    LeavesWithoutChecks(BB1);
    guard_.onClick(BB1, this, [this] { reject(); });
    guard_.onClick(ment, this, [this] { mentClick(); });
    wireFields();
    InstallHelpKey(this);
    // Fixed single border: the size every page and every day needs.
    setFixedSize(sizeHint());
}

bool Tlapuj::run(const sheets::SheetForm& form, QWidget* opener) {
    opener_ = opener;
    saved_ = false;
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        form_ = form;
        setWindowTitle(QString::fromUtf8(caption()));
        setEditable(form_.editable());
        showForm();
        PC1->setCurrentWidget(TS1);
        opened_ = shownTexts();
    }
    exec();
    return saved_;
}

const char* Tlapuj::caption() const {
    switch (form_.mode) {
    case sheets::EntryMode::Modify: return "Elszámolási lap módosítása";
    case sheets::EntryMode::View: return "Elszámolási lap megtekintése";
    case sheets::EntryMode::New: break;
    }
    return "Elszámolási lap rögzítése";
}

QWidget* Tlapuj::control(const std::string& name) const {
    for (const auto& [n, w] : controls_)
        if (n == name) return w;
    return nullptr;
}

// Activation: the place beside the opener, the payment-category panel by
// the period, the first control.
void Tlapuj::showEvent(QShowEvent* event) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    PlaceFrom(this, opener_);
    P1->setVisible(sheets::showsPatientCategory(ctx_.session));
    if (QWidget* first = control(sheets::firstControl(form_, ctx_.session))) first->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void Tlapuj::reject() {
    if (form_.editable() && shownTexts() != opened_ &&
        !ctx_.dialogs.ask(app::question(app::Msg::LeaveEntryQuestion)))
        return;
    QDialog::reject();
}

QStringList Tlapuj::shownTexts() const {
    QStringList texts;
    for (const auto& [name, w] : controls_)
        if (auto* e = qobject_cast<QLineEdit*>(w)) texts << e->displayText();
    texts << QString::number(bnem->currentIndex()) << QString::number(CB1->isChecked());
    return texts;
}

void Tlapuj::readControls() {
    for (const auto& [name, w] : controls_) {
        auto* e = qobject_cast<QLineEdit*>(w);
        if (!e) continue;
        if (std::string* text = form_.text(name)) *text = ss(shownText(e));
    }
    form_.bnem = bnem->currentIndex() < 0 ? std::string() : ss(bnem->currentText());
    form_.CB1 = CB1->isChecked();
}

void Tlapuj::showForm() {
    for (const auto& [name, w] : controls_) {
        const std::string* text = form_.text(name);
        if (!text) continue;
        const QString value = qs(*text);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (shownText(e) != value) e->setText(value);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(value);
            l->setToolTip(value);
        }
    }
    bnem->setCurrentIndex(form_.bnem == "Férfi" ? 0 : form_.bnem == "Nő" ? 1 : -1);
    CB1->setChecked(form_.CB1);
    for (int d = 1; d <= sheets::kMaxDays; ++d)
        for (const char* name : {"apdat", "tev", "aptaj"}) control(name + std::to_string(d))->setVisible(d <= form_.tnap);
    const bool earlierParts = !form_.vszame.empty() && form_.vszame != "0";
    Lv2->setVisible(earlierParts);
    vszame->setVisible(earlierParts);
    P1->setVisible(sheets::showsPatientCategory(ctx_.session));
}

// View mode: every control read only, "Mentés" off.
void Tlapuj::setEditable(bool editable) {
    for (const auto& [name, w] : controls_) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            SetReadOnly(e, !editable);
        else if (!qobject_cast<QLabel*>(w))
            w->setEnabled(editable);
    }
    ment->setEnabled(editable);
}

} // namespace velmora::ui
