#include "masterdata/ui/Tmaradfel.h"

#include "app/Session.h"
#include "db/Table.h"
#include "masterdata/ui/FrameSetups.h"
#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"
#include "widgets/FieldEdit.h"
#include "widgets/FieldExits.h"
#include "widgets/Hint.h"
#include "widgets/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora::ui {

Tmaradfel::Tmaradfel(QWidget* mainWindow, db::Table& maradv, const db::Table& part, const app::Session& session,
                     app::Dialogs& dialogs, const CommandGuard& guard)
    : EditWindow(mainWindow, QStringLiteral("Tmaradfel"), QString::fromUtf8("Maradvány megjelenítése"), guard),
      maradkep1(new BrowseFrame(Tmaradkep(), maradv, this)), maradv_(maradv), part_(part), session_(session),
      dialogs_(dialogs) {
    setHint(this, QString::fromUtf8("Maradványok megmutatása"));
    maradkep1->setObjectName(QStringLiteral("maradkep1"));
    setFrame(maradkep1);
    Panel1 = buildPanel();
    exits()->onEnter(mft, [this] { runKesz(); });
    resize(300, 200);
}

QWidget* Tmaradfel::buildPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    mido = FieldEdit(panel, "mido", store::schema::MARADV(), "Midoszak");
    SetReadOnly(mido, true);
    mft = FieldEdit(panel, "mft", store::schema::MARADV(), "Ft");
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QString::fromUtf8("Időszak"), panel), 0, 0);
    fields->addWidget(mido, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Ft"), panel), 1, 0);
    fields->addWidget(mft, 1, 1);
    auto* buttons = new QHBoxLayout;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setEditPanel(panel, buttons);
    return panel;
}

// A new residue belongs to the current billing period.
void Tmaradfel::ujClick() {
    openPanel(masterdata::EditMode::New);
    mido->setText(qs(session_.mIdoszak));
    mft->clear();
    mft->setFocus(Qt::OtherFocusReason);
}

void Tmaradfel::modosClick() {
    if (!maradv_.isOpen() || maradv_.position() < 0) return;
    openPanel(masterdata::EditMode::Modify);
    mido->setText(qs(maradv_.text("MIDOSZAK")));
    mft->setText(qs(maradv_.text("FT")));
    mft->setFocus(Qt::OtherFocusReason);
}

void Tmaradfel::torolClick() { masterdata::DeleteResidue(maradv_, dialogs_); }

void Tmaradfel::BB1Click() {
    const masterdata::SaveResult result =
        masterdata::SaveResidue(maradv_, part_, mode(), session_.mIdoszak, ss(mft->text()), dialogs_);
    if (result.kind == masterdata::SaveResult::Kind::Refused) {
        mft->setFocus(Qt::OtherFocusReason);
        return;
    }
    result.kind == masterdata::SaveResult::Kind::Saved ? closeSaved() : closePanel();
}

} // namespace velmora::ui
