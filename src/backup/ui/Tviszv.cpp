#include "backup/ui/Tviszv.h"

#include "backup/Restore.h"
#include "shell/ui/TAlapkeres.h"
#include "widgets/Buttons.h"
#include "widgets/Help.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
std::string withSeparator(std::string dir) { return dir.empty() || dir.back() == '/' ? dir : dir + "/"; }
} // namespace

Tviszv::Tviszv(QWidget* parent, app::Session& session, app::Dialogs& dialogs, TAlapkeres& location,
               const CommandGuard& guard)
    : QDialog(parent), session_(session), dialogs_(dialogs), location_(location), guard_(guard) {
    setObjectName(QStringLiteral("Tviszv"));
    setWindowTitle(QString::fromUtf8("Visszatöltés"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    RG1 = new QGroupBox(QString::fromUtf8("Válassza ki a visszatöltés helyét!"), this);
    RG1->setObjectName(QStringLiteral("RG1"));
    RG1Ment = new QRadioButton(QString::fromUtf8("MENT könyvtár"), RG1);
    RG1Ment->setObjectName(QStringLiteral("RG1Ment"));
    RG1Utvonal = new QRadioButton(QString::fromUtf8("Választott útvonal"), RG1);
    RG1Utvonal->setObjectName(QStringLiteral("RG1Utvonal"));
    // One group, so that "no item selected" can be shown again each time.
    auto* group = new QButtonGroup(this);
    group->addButton(RG1Ment);
    group->addButton(RG1Utvonal);
    auto* items = new QVBoxLayout(RG1);
    items->addWidget(RG1Ment);
    items->addWidget(RG1Utvonal);

    B1 = NamedButton(this, "B1", "OK");
    B1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(B1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RG1);
    layout->addLayout(buttons);

    guard_.onClick(B1, this, [this] { B1Click(); });
    InstallHelpKey(this);
    setFixedSize(sizeHint());
}

void Tviszv::run() {
    vhonnan.clear();
    vv = false;
    // A radio group cannot be emptied while its buttons are exclusive.
    auto* group = RG1Ment->group();
    group->setExclusive(false);
    RG1Ment->setChecked(false);
    RG1Utvonal->setChecked(false);
    group->setExclusive(true);
    move(25, 50);
    RG1Ment->setFocus(Qt::OtherFocusReason);
    exec();
}

void Tviszv::B1Click() {
    if (RG1Ment->isChecked()) {
        vhonnan = withSeparator(session_.mentdir);
        vv = true;
    } else if (RG1Utvonal->isChecked()) {
        location_.restoreWindow = this;
        // "Mégsem" in the location window means no restore at all.
        vhonnan = withSeparator(location_.choose("V", backup::kSourceCaption).value_or(std::string()));
        vv = false;
    } else {
        dialogs_.error(backup::kNoSourceChosen);
    }
    accept();
}

} // namespace velmora::ui
