#include "Tbetegfel.h"

#include "BrowseFrame.h"
#include "FieldExits.h"
#include "PatientFrame.h"
#include "app/Schemas.h"
#include "app/Session.h"
#include "app/TextHelpers.h"
#include "app/ui/Hint.h"
#include "app/ui/QtText.h"
#include "db/Database.h"

#include <QApplication>
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

db::Table& tableOf(db::Database& dbs, const app::schema::TableDef& def) { return dbs.table(def.name, def.fileName); }

// The width of a BETEG field: the most a control for it takes.
int fieldWidth(const char* field) {
    const auto& fields = app::schema::BETEG().fields;
    const int i = db::findField(fields, field);
    return i < 0 ? 0 : fields[static_cast<size_t>(i)].width;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength, const char* hint = nullptr) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    if (hint) setHint(e, QString::fromUtf8(hint));
    return e;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretch = false) {
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets) r->addWidget(w);
    if (stretch) r->addStretch(1);
    return r;
}

// Focus changes that are not the user moving between controls: another
// window (a message box, the settlement chooser) or a popup coming and going.
bool movedByUser(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

Tbetegfel::Tbetegfel(QWidget* mainWindow, app::Session& session, db::Database& dbs, app::Dialogs& dialogs)
    : EditWindow(mainWindow, QStringLiteral("Tbetegfel"), QString::fromUtf8("Betegek megjelenítése")),
      session_(session), dialogs_(dialogs), beteg_(tableOf(dbs, app::schema::BETEG())),
      telepul_(tableOf(dbs, app::schema::TELEPUL())), hlapa_(tableOf(dbs, app::schema::HLAPA())) {
    auto* frame = new BrowseFrame(PatientHostFrame(91), beteg_, this);
    frame->setObjectName(QStringLiteral("Betegkep1"));
    setFrame(frame);
    buildGroup();
    wireKeys();
    resize(540, 222);
    connect(qApp, &QApplication::focusChanged, this, &Tbetegfel::focusMoved);
}

void Tbetegfel::buildGroup() {
    GBox1 = new QGroupBox(QString::fromUtf8("A beteg adatai"), this);
    GBox1->setObjectName(QStringLiteral("GBox1"));
    azt = lineEdit(GBox1, "azt", 1, "Azonosító kód (Alapértelmezés: 1)");
    btaj = lineEdit(GBox1, "btaj", 9, "A beteg TAJ száma");
    Bnev = lineEdit(GBox1, "Bnev", fieldWidth("Nev"));
    bnem = new QComboBox(GBox1);
    bnem->setObjectName(QStringLiteral("bnem"));
    bnem->addItems({QString::fromUtf8("Férfi"), QString::fromUtf8("Nő")});
    bnem->setCurrentIndex(-1);
    bkod = lineEdit(GBox1, "bkod", 7, "Közigazgatási kód");
    bvaros = lineEdit(GBox1, "bvaros", fieldWidth("Cime1"), "Város megnevezése");
    bcim = lineEdit(GBox1, "bcim", fieldWidth("Cime2"), "Utca, házszám. stb");
    Bszhely = lineEdit(GBox1, "Bszhely", fieldWidth("Szulh"), "Születési hely");
    bszido = lineEdit(GBox1, "bszido", 0, "Születési idő");
    bszido->setInputMask(QStringLiteral("9999.99.99"));

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
    // A control the save puts the focus on was not left by the user: its
    // neighbour's exit check would only repeat what the save said.
    exits()->setActive([this] { return panelOpen() && !focusingAfterSave_; });
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
    exits()->onEnter(bszido, [this] { BB1Click(); });

    bkod->installEventFilter(this);
    bvaros->installEventFilter(this);
}

bool Tbetegfel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bkod && event->type() == QEvent::MouseButtonDblClick && panelOpen()) {
        bkodDblClick();
        return true;
    }
    if (watched == bvaros && event->type() == QEvent::FocusIn && panelOpen() &&
        movedByUser(static_cast<QFocusEvent*>(event)->reason()))
        bvarosEnter();
    return EditWindow::eventFilter(watched, event);
}

// The group is entered when the focus comes in from another control of this
// window; coming back from a message box does not count.
void Tbetegfel::focusMoved(QWidget* old, QWidget* now) {
    if (!old || !now || !panelOpen() || old->window() != this) return;
    if (GBox1->isAncestorOf(now) && !GBox1->isAncestorOf(old)) GBox1Enter();
}

void Tbetegfel::GBox1Enter() {
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
    btaj->setReadOnly(generated);
}

void Tbetegfel::ujClick() {
    openPanel(masterdata::EditMode::New);
    azt->setReadOnly(false);
    btaj->setReadOnly(false);
    azt->setText(QStringLiteral("1"));
    azt->setFocus(Qt::OtherFocusReason);
}

void Tbetegfel::modosClick() {
    if (!beteg_.isOpen() || beteg_.recNo() < 0) return;  // no patient to change
    openPanel(masterdata::EditMode::Modify);
    azt->setReadOnly(true);
    btaj->setReadOnly(true);
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
    const masterdata::SaveResult result = masterdata::SavePatient(beteg_, mode(), input(), dialogs_);
    if (result.kind == masterdata::SaveResult::Kind::Refused) {
        focusControl(result.focus);
        return;
    }
    closePanel();
}

void Tbetegfel::focusControl(const std::string& name) {
    auto* control = findChild<QWidget*>(qs(name));
    if (!control) return;
    focusingAfterSave_ = true;
    control->setFocus(Qt::OtherFocusReason);
    focusingAfterSave_ = false;
}

void Tbetegfel::torolClick() {
    masterdata::DeletePatient(beteg_, hlapa_, dialogs_);
    frame()->Bookmark();
    frame()->grid()->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
