#include "reports/ui/Ttajido.h"

#include "widgets/Buttons.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmora::ui {

Ttajido::Ttajido(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard)
    : QDialog(parent), dialogs_(dialogs), guard_(guard) {
    setObjectName(QStringLiteral("Ttajido"));
    setWindowTitle(QString::fromUtf8("Időszak bekérése"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto* box = new QGroupBox(QString::fromUtf8("Időszak kiválasztása"), this);
    Teljes = new QRadioButton(QString::fromUtf8("Teljes lista"), box);
    Teljes->setObjectName(QStringLiteral("Teljes"));
    Aktualis = new QRadioButton(QString::fromUtf8("Aktuális időszak listája"), box);
    Aktualis->setObjectName(QStringLiteral("Aktualis"));
    Valasztott = new QRadioButton(QString::fromUtf8("Választott időszaktól"), box);
    Valasztott->setObjectName(QStringLiteral("Valasztott"));
    auto* group = new QButtonGroup(this);
    auto* items = new QVBoxLayout(box);
    for (QRadioButton* r : {Teljes, Aktualis, Valasztott}) {
        group->addButton(r);
        items->addWidget(r);
    }
    auto* label = new QLabel(QString::fromUtf8("Választott időszak megadása"), this);
    ID1 = PanelEdit(this, "ID1", 6, "A lekérdezés kezdeti időszakának megadása ÉÉÉÉHH formában");
    label->setBuddy(ID1);
    OK = NamedButton(this, "OK", "OK");
    OK->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(ID1);
    row->addWidget(OK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(row);

    connect(Valasztott, &QRadioButton::toggled, this, [this](bool on) {
        ID1->setEnabled(on);
        if (on) ID1->setFocus(Qt::OtherFocusReason);
    });
    for (QRadioButton* r : {Teljes, Aktualis})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) OK->setFocus(Qt::OtherFocusReason);
        });
    guard_.onClick(OK, this, [this] { OKClick(); });
    InstallHelpKey(this);
    setFixedSize(sizeHint());
}

std::optional<reports::TajSelection> Ttajido::run(const std::string& currentPeriod) {
    choice_.reset();
    current_ = currentPeriod;
    auto* group = Teljes->group();
    group->setExclusive(false);
    for (QRadioButton* r : {Teljes, Aktualis, Valasztott}) r->setChecked(false);
    group->setExclusive(true);
    ID1->clear();
    ID1->setEnabled(false);
    exec();
    return choice_;
}

void Ttajido::OKClick() {
    reports::TajSelection s;
    if (Teljes->isChecked()) {
        s.scope = reports::TajScope::All;
    } else if (Aktualis->isChecked()) {
        s.scope = reports::TajScope::CurrentPeriod;
    } else if (Valasztott->isChecked()) {
        const std::string typed = ID1->text().trimmed().toStdString();
        std::optional<std::string> problem = reports::startPeriodProblem(typed);
        if (!problem) problem = reports::periodRangeProblem(reports::periodOfTyped(typed), current_);
        if (problem) {
            dialogs_.error(*problem);
            ID1->setFocus(Qt::OtherFocusReason);
            return;
        }
        s.scope = reports::TajScope::FromPeriod;
        s.from = reports::periodOfTyped(typed);
    } else {
        dialogs_.error(reports::kNoPeriodChosen);
        return;
    }
    choice_ = s;
    accept();
}

} // namespace velmora::ui
