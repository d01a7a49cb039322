#include "masterdata/ui/StaffWindow.h"

#include "masterdata/ui/StaffFrame.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"
#include "widgets/FieldEdit.h"
#include "widgets/FieldExits.h"
#include "widgets/QtText.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

using masterdata::EditMode;
using masterdata::SaveResult;

const StaffWindowSetup& DoctorWindowSetup() {
    static const StaffWindowSetup s{"TOrvosfel",
                                   "Orvosok megjelenítése",
                                   &TOrvoskep,
                                   "Orvoskep1",
                                   &masterdata::Doctors,
                                   "Orvos pecsétszáma és neve",
                                   "Onev",
                                   "Az orvos pecsétszáma",
                                   "Az orvos neve",
                                   false,
                                   300,
                                   227,
                                   "Új orvos rögzítése"};
    return s;
}

const StaffWindowSetup& NurseWindowSetup() {
    static const StaffWindowSetup s{"TApolfel",
                                   "Szakápolók megjelenítése",
                                   &TApolkep,
                                   "Apolkep1",
                                   &masterdata::Nurses,
                                   "Szakápoló TAJ száma és neve",
                                   "Enev",
                                   "Az ápoló TAJ-száma",
                                   "Az ápoló neve",
                                   true,
                                   298,
                                   225,
                                   "Új szakápoló rögzítése"};
    return s;
}

StaffWindow::StaffWindow(const StaffWindowSetup& setup, QWidget* mainWindow, db::Database& dbs, app::Dialogs& dialogs,
                         const CommandGuard& guard)
    : EditWindow(mainWindow, QString::fromLatin1(setup.className), QString::fromUtf8(setup.caption), guard),
      setup_(setup),
      reg_(setup.reg()), table_(store::tableOf(dbs, *setup.frame().table)), hlapa_(store::tableOf(dbs, store::schema::HLAPA())),
      hlapb_(store::tableOf(dbs, store::schema::HLAPB())), dialogs_(dialogs) {
    setFrame(MakeStaffFrame(setup.frame(), table_, this, QString::fromLatin1(setup.frameName)));
    buildPanel();

    exits()->enterMoves(code_, name_);
    exits()->onEnter(name_, [this] { runKesz(); });
    if (setup.tajCheck)
        exits()->onLeave(code_, [this] { return masterdata::CheckNurseTaj(ss(code_->text()), dialogs_); });
}

void StaffWindow::buildPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* label = new QLabel(QString::fromUtf8(setup_.panelLabel), panel);
    label->setObjectName(QStringLiteral("Label2"));
    const auto& def = *setup_.frame().table;
    code_ = FieldEdit(panel, reg_.codeControl.c_str(), def, reg_.codeField.c_str(), setup_.codeHint);
    name_ = FieldEdit(panel, setup_.nameControl, def, reg_.nameField.c_str(), setup_.nameHint);
    // Room for the longest code, the rest for the name.
    code_->setFixedWidth(code_->fontMetrics().horizontalAdvance(QString(code_->maxLength() + 2, QChar('0'))) + 12);

    auto* fields = new QHBoxLayout;
    fields->addWidget(code_);
    fields->addWidget(name_, 1);
    auto* buttons = new QHBoxLayout;
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(label);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setEditPanel(panel, buttons);
}

void StaffWindow::run() {
    runFromMenu(dialogs_, setup_.statusText, setup_.expanded, setup_.collapsed);
}

void StaffWindow::panelEntered() {
    if (mode() != EditMode::New) return;
    code_->clear();
    name_->clear();
}

void StaffWindow::ujClick() {
    openPanel(EditMode::New);
    SetReadOnly(code_, false);
    code_->setFocus(Qt::OtherFocusReason);
}

void StaffWindow::modosClick() {
    // Nothing to change in an empty register.
    if (!table_.isOpen() || table_.recNo() < 0) return;
    openPanel(EditMode::Modify);
    SetReadOnly(code_, true);
    code_->setText(qs(table_.text(reg_.codeField)));
    name_->setText(qs(table_.text(reg_.nameField)));
    name_->setFocus(Qt::OtherFocusReason);
}

void StaffWindow::BB1Click() {
    const SaveResult r = masterdata::SaveStaff(table_, reg_, mode(), ss(code_->text()), ss(name_->text()), dialogs_);
    if (r.kind == SaveResult::Kind::Refused) {
        focusRefused(r.focus);
        return;
    }
    r.kind == SaveResult::Kind::Saved ? closeSaved() : closePanel();
}

void StaffWindow::torolClick() {
    masterdata::DeleteStaff(table_, reg_, hlapa_, hlapb_, dialogs_);
    frame()->Bookmark();
    frame()->grid()->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
