#include "support/programs/SheetProgram.h"

#include "masterdata/ui/MasterDataWindows.h"
#include "sheets/ui/SheetWindows.h"
#include "sheets/ui/Tlapuj.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/DateEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace velmora::test {

using db::FieldDef;
using db::Value;

namespace {

// The contracted employees with their weekly hours.
void writeEmployees(const std::string& dir) {
    writeTable(dir, "HSZOLGSZ.DBF",
               {FieldDef::character("TAJ", 9), FieldDef::character("NEV", 30), FieldDef::date("KEZD"),
                FieldDef::date("VEG"), FieldDef::numeric("SSORSZAM", 5), FieldDef::numeric("ORASZ", 4, 1),
                FieldDef::numeric("ORAK", 4, 1)},
               {{kNurseTaj, "Ápoló Éva", "2024.01.01", Value(), 1, 40, 0}}, 3);
}

void addMasterData(db::Database& dbs) {
    using store::tableOf;
    namespace schema = store::schema;
    tableOf(dbs, schema::BETEG())
        .appendValues({kPatientTaj, "Kovács Ágnes", "N", "1", "0100001", "Budapest", "Fő utca 2.", "Szeged",
                       "1940.03.04"});
    db::Table& apol = tableOf(dbs, schema::APOL());
    apol.appendValues({kNurseTaj, "Ápoló Éva"});
    apol.appendValues({kNurse2Taj, "Szabó Mária"});
    tableOf(dbs, schema::ORVOS()).appendValues({kDoctor, "Dr. Orvos Anna"});
}

} // namespace

SheetProgram::SheetProgram(const std::string& period) {
    writeFundTables(dir.str());
    writeEmployees(dir.str());
    start = std::make_unique<Start>(dir.str(), testToday());
    if (!start->run()) QTest::qFail("start-up failed", __FILE__, __LINE__);
    start->session.acceptPeriod(period, false);
    start->session.dataDir = dir.str() + "/";
    start->session.ktemp = work.str();
    addMasterData(start->db);
    owner = std::make_unique<MenuOwner>();
    owner->move(40, 30);
    masterData = std::make_unique<ui::MasterDataWindows>(*owner, start->session, start->db, start->dialogs);
    windows = std::make_unique<ui::SheetWindows>(*owner, start->session, start->db, start->dialogs, *masterData);
    owner->show();
    start->dialogs.clearLog();
}

SheetProgram::~SheetProgram() {
    // The windows belong to the main window; the tables outlive them.
    windows.reset();
    masterData.reset();
    owner.reset();
}

ui::Tlapuj& SheetProgram::lapuj() const { return *windows->lapuj(); }

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QWidget* enter(ui::Tlapuj& window, const char* name) {
    QWidget* c = window.control(name);
    if (!c) {
        QTest::qFail((std::string("no control ") + name).c_str(), __FILE__, __LINE__);
        return nullptr;
    }
    for (QWidget* p = c; p; p = p->parentWidget())
        if (p == window.TS1 || p == window.TS2 || p == window.TS3) window.PC1->setCurrentWidget(p);
    settle();
    c->setFocus(Qt::MouseFocusReason);
    settle();
    return c;
}

void typeInto(ui::Tlapuj& window, const char* name, const QString& text) {
    auto* e = qobject_cast<QLineEdit*>(enter(window, name));
    if (!e) return;
    e->clear();
    e->setCursorPosition(0);
    typeText(e, text);
}

void tabOut() {
    if (QWidget* f = QApplication::focusWidget()) QTest::keyClick(f, Qt::Key_Tab);
    settle();
}

void fill(ui::Tlapuj& window, const char* name, const QString& text) {
    typeInto(window, name, text);
    tabOut();
}

QString shown(ui::Tlapuj& window, const char* name) {
    QWidget* c = window.control(name);
    if (auto* e = qobject_cast<QLineEdit*>(c)) return e->inputMask().startsWith("0000") ? ui::DateEditText(e) : e->text();
    if (auto* l = qobject_cast<QLabel*>(c)) return l->text();
    if (auto* b = qobject_cast<QComboBox*>(c)) return b->currentText();
    if (auto* b = qobject_cast<QCheckBox*>(c)) return b->isChecked() ? "1" : "0";
    QTest::qFail((std::string("no control ") + name).c_str(), __FILE__, __LINE__);
    return {};
}

QString focused() {
    QWidget* f = QApplication::focusWidget();
    return f ? f->objectName() : QString();
}

} // namespace velmora::test
