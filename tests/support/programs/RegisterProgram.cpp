#include "support/programs/RegisterProgram.h"

#include "db/Table.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "sheets/SheetStore.h"
#include "sheets/SheetTables.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"

#include <QPointer>
#include <QTableView>
#include <QTimer>

#include <cstdio>

namespace velmora::test {

RegisterProgram::RegisterProgram(const std::string& period) : SheetProgram(period) {
    sheets::addPatientNameLookup(db());  // as the program's start-up adds it
    registerWindows = std::make_unique<ui::RegisterWindows>(*owner, start->session, start->db, start->dialogs, *windows);
    owner->plug(registerWindows->commands());
}

RegisterProgram::~RegisterProgram() { registerWindows.reset(); }

void RegisterProgram::store(const SheetRow& row) {
    sheets::Sheet s;
    s.key = row.key;
    s.intkod = "1234";  // as the entry window stores it, from PART
    s.taj = kPatientTaj;
    s.kozigkod = "0100001";
    s.tpotl = "N";
    s.bnoab = "C3490";
    s.bnofo = "C5000";
    s.orvkode = kDoctor;
    s.orvkodj = "0";
    s.elrend = row.key.idoszak + ".01";
    s.szakvet = row.szakvet.empty() ? row.key.idoszak + ".01" : row.szakvet;
    s.elvizdb = 31;
    s.elszam = 1;
    s.aptaj[0] = kNurseTaj;
    s.aztip = "1";
    s.terkat = "01";
    s.allamp = "HUN";
    s.elkuldve = row.elkuldve;
    s.modtipus = row.modtipus;
    for (int d : row.days) {
        char date[3];
        std::snprintf(date, sizeof date, "%02d", d);
        s.visits.at(static_cast<size_t>(d - 1)) = {"1", kNurseTaj, row.key.idoszak + "." + date, ""};
    }
    s.sznap = static_cast<int>(row.days.size());
    sheets::appendSheet(db(), s);
}

ui::Tlapok& RegisterProgram::lapok() const { return *registerWindows->lapok(); }

QTableView* RegisterProgram::grid() const { return lapok().Lapkep1->grid(); }

db::Table& RegisterProgram::hlapa() { return store::tableOf(db(), store::schema::HLAPA()); }

void RegisterProgram::pointAt(const std::string& sorsz, const std::string& resz) {
    if (!hlapa().locate("SORSZ;RESZ", {db::Value(sorsz), db::Value(resz)}))
        QTest::qFail(("no sheet " + sorsz + resz).c_str(), __FILE__, __LINE__);
}

void inRegister(RegisterProgram& p, reg::RegisterMode mode, const std::function<void(ui::Tlapok&)>& act) {
    onNextModal([&](QWidget* modal) {
        if (modal != &p.lapok()) {
            QTest::qFail("the register is not the modal window", __FILE__, __LINE__);
            return;
        }
        if (!QTest::qWaitForWindowActive(modal)) QTest::qFail("the register is not active", __FILE__, __LINE__);
        settle();
        act(p.lapok());
    });
    switch (mode) {
    case reg::RegisterMode::Recording: p.owner->menuItem("Elszmolsilapokrgztse1")->trigger(); break;
    case reg::RegisterMode::Sending: p.registerWindows->sending(reg::yearFilter(p.start->session.mIdoszak)); break;
    case reg::RegisterMode::Printing: p.registerWindows->printing(); break;
    }
}

QString windowFrom(const std::function<void()>& act, const std::function<void(QWidget*)>& inside) {
    QWidget* base = QApplication::activeModalWidget();
    QString opened;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == base) return;
        watch.stop();
        opened = modal->objectName();
        QPointer<QWidget> window(modal);
        if (inside) inside(modal);
        if (window && window->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(window.data())) dialog->reject();
    });
    watch.start();
    act();
    settle();
    return opened;
}

} // namespace velmora::test
