#include "masterdata/ui/Tbetegfel.h"

#include "app/Session.h"
#include "app/TextHelpers.h"
#include "db/Database.h"
#include "masterdata/ui/PatientFrame.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"
#include "widgets/FieldEdit.h"
#include "widgets/FieldExits.h"
#include "widgets/MaskedEdit.h"
#include "widgets/QtText.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

using store::tableOf;

// An edit of the group for a BETEG field.
QLineEdit* betegEdit(QWidget* parent, const char* name, const char* field, const char* hint = nullptr) {
    return FieldEdit(parent, name, store::schema::BETEG(), field, hint);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretch = false) {
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets) r->addWidget(w);
    if (stretch) r->addStretch(1);
    return r;
}

} // namespace

Tbetegfel::Tbetegfel(QWidget* mainWindow, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                     const CommandGuard& guard)
    : EditWindow(mainWindow, QStringLiteral("Tbetegfel"), QString::fromUtf8("Betegek megjelenítése"), guard),
      session_(session), dialogs_(dialogs), beteg_(tableOf(dbs, store::schema::BETEG())),
      telepul_(tableOf(dbs, store::schema::TELEPUL())), hlapa_(tableOf(dbs, store::schema::HLAPA())) {
    auto* frame = new BrowseFrame(PatientHostFrame(91), beteg_, this);
    frame->setObjectName(QStringLiteral("Betegkep1"));
    setFrame(frame);
    buildGroup();
    wireKeys();
    resize(540, 222);
}

void Tbetegfel::buildGroup() {
    GBox1 = new QGroupBox(QString::fromUtf8("A beteg adatai"), this);
    GBox1->setObjectName(QStringLiteral("GBox1"));
    azt = betegEdit(GBox1, "azt", "Aztip", "Azonosító kód (Alapértelmezés: 1)");
    btaj = betegEdit(GBox1, "btaj", "TAJ", "A beteg TAJ száma");
    Bnev = betegEdit(GBox1, "Bnev", "Nev");
    bnem = new QComboBox(GBox1);
    bnem->setObjectName(QStringLiteral("bnem"));
    bnem->addItems({QString::fromUtf8("Férfi"), QString::fromUtf8("Nő")});
    bnem->setCurrentIndex(-1);
    bkod = betegEdit(GBox1, "bkod", "Kozigkod", "Közigazgatási kód");
    bvaros = betegEdit(GBox1, "bvaros", "Cime1", "Város megnevezése");
    bcim = betegEdit(GBox1, "bcim", "Cime2", "Utca, házszám. stb");
    Bszhely = betegEdit(GBox1, "Bszhely", "Szulh", "Születési hely");
    bszido = PanelEdit(GBox1, "bszido", 0, "Születési idő");
    SetEditMask(bszido, QStringLiteral("9999.99.99"));

    // Short fields as wide as their contents need.
    const QFontMetrics fm(font());
    azt->setFixedWidth(fm.horizontalAdvance(QStringLiteral("00")) + 14);
    btaj->setFixedWidth(fm.horizontalAdvance(QStringLiteral("000000000")) + 16);
    bkod->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000000")) + 16);
    bszido->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000.00.00")) + 16);

    // Four rows, the buttons at the end of the last, so that the grid keeps
    // a few rows in the expanded height.
    auto* grid = new QGridLayout(GBox1);
    const auto label = [this](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(text), GBox1);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("Azonosító típus", azt), 0, 0);
    grid->addLayout(row({azt, label("TAJ / Azonosító", btaj), btaj}, true), 0, 1);
    grid->addWidget(label("Név", Bnev), 1, 0);
    grid->addLayout(row({Bnev, label("Neme", bnem), bnem}), 1, 1);
    grid->addWidget(label("Címe", bkod), 2, 0);
    QHBoxLayout* address = row({bkod, bvaros, bcim});
    address->setStretchFactor(bvaros, 2);
    address->setStretchFactor(bcim, 3);
    grid->addLayout(address, 2, 1);
    grid->addWidget(label("Születési hely és idő", Bszhely), 3, 0);
    QHBoxLayout* last = row({Bszhely, bszido});
    grid->addLayout(last, 3, 1);
    grid->setColumnStretch(1, 1);
    setEditPanel(GBox1, last);

    QWidget* order[] = {azt, btaj, Bnev, bnem, bkod, bvaros, bcim, Bszhely, bszido, BB1, BB2};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void Tbetegfel::wireKeys() {
    exits()->onLeave(azt, [this] {
        aztExit();
        return true;
    });
    exits()->onLeave(btaj, [this] { return masterdata::CheckPatientTaj(ss(azt->text()), ss(btaj->text()), dialogs_); });
    exits()->onLeave(bnem, [this] { return masterdata::CheckPatientSex(sexCode(), dialogs_); });
    exits()->onLeave(bkod, [this] { return masterdata::CheckPatientSettlement(telepul_, ss(bkod->text()), dialogs_); });
    exits()->onLeave(bszido,
                     [this] { return app::CheckDateFrom1895(ss(bszido->displayText()), session_.mIdoszak, dialogs_); });

    QWidget* chain[] = {azt, btaj, Bnev, bnem, bkod, bvaros, bcim, Bszhely, bszido};
    for (size_t i = 0; i + 1 < std::size(chain); ++i) exits()->enterMoves(chain[i], chain[i + 1]);
    exits()->onEnter(bszido, [this] { runKesz(); });

    bkod->installEventFilter(this);
    bvaros->installEventFilter(this);
}

bool Tbetegfel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bkod && event->type() == QEvent::MouseButtonDblClick && panelOpen()) {
        bkodDblClick();
        return true;
    }
    if (watched == bvaros && event->type() == QEvent::FocusIn && panelOpen() &&
        MovedByUser(static_cast<QFocusEvent*>(event)->reason()))
        bvarosEnter();
    return EditWindow::eventFilter(watched, event);
}

// Entering the group of a new patient starts from empty fields.
void Tbetegfel::panelEntered() {
    if (mode() != masterdata::EditMode::New) return;
    for (QLineEdit* e : {btaj, Bnev, bkod, bvaros, bcim, Bszhely, bszido}) e->clear();
    bnem->setCurrentIndex(-1);
}

void Tbetegfel::bvarosEnter() { bvaros->setText(qs(masterdata::SettlementName(telepul_, ss(bkod->text())))); }

void Tbetegfel::bkodDblClick() {
    const auto chosen = chooseSettlement ? chooseSettlement() : std::nullopt;
    if (!chosen) {
        bkod->setFocus(Qt::OtherFocusReason);
        return;
    }
    bkod->setText(qs(chosen->first));
    bvaros->setText(qs(chosen->second));
    bcim->setFocus(Qt::OtherFocusReason);
}

void Tbetegfel::aztExit() {
    if (mode() != masterdata::EditMode::New) return;
    const bool generated = azt->text() == QLatin1String("0");
    if (generated) btaj->setText(qs(masterdata::GeneratedPatientId(beteg_)));
    SetReadOnly(btaj, generated);
}

void Tbetegfel::ujClick() {
    openPanel(masterdata::EditMode::New);
    SetReadOnly(azt, false);
    SetReadOnly(btaj, false);
    azt->setText(QStringLiteral("1"));
    azt->setFocus(Qt::OtherFocusReason);
}

void Tbetegfel::modosClick() {
    if (!beteg_.isOpen() || beteg_.recNo() < 0) return;  // no patient to change
    openPanel(masterdata::EditMode::Modify);
    SetReadOnly(azt, true);
    SetReadOnly(btaj, true);
    fillFromRow();
    Bnev->setFocus(Qt::OtherFocusReason);
}

void Tbetegfel::fillFromRow() {
    const auto text = [this](const char* field) { return qs(beteg_.text(field)); };
    azt->setText(text("AZTIP"));
    btaj->setText(text("TAJ"));
    Bnev->setText(text("NEV"));
    const QString neme = text("NEME");
    bnem->setCurrentIndex(neme == QLatin1String("F") ? 0 : neme == QLatin1String("N") ? 1 : -1);
    bkod->setText(text("KOZIGKOD"));
    bvaros->setText(text("CIME1"));
    bcim->setText(text("CIME2"));
    Bszhely->setText(text("SZULH"));
    bszido->setText(text("SZULI"));
}

std::string Tbetegfel::sexCode() const {
    switch (bnem->currentIndex()) {
    case 0: return "F";
    case 1: return "N";
    default: return {};
    }
}

masterdata::PatientInput Tbetegfel::input() const {
    return {ss(azt->text()),    ss(btaj->text()),   ss(Bnev->text()),    sexCode(),
            ss(bkod->text()),   ss(bvaros->text()), ss(bcim->text()),    ss(Bszhely->text()),
            ss(bszido->displayText())};
}

void Tbetegfel::BB1Click() {
    const masterdata::SaveResult result =
        masterdata::SavePatient(beteg_, {telepul_, session_.mIdoszak}, mode(), input(), dialogs_);
    if (result.kind == masterdata::SaveResult::Kind::Refused) {
        focusRefused(result.focus);
        return;
    }
    result.kind == masterdata::SaveResult::Kind::Saved ? closeSaved() : closePanel();
}

void Tbetegfel::torolClick() {
    masterdata::DeletePatient(beteg_, hlapa_, dialogs_);
    frame()->Bookmark();
    frame()->grid()->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
