// The shipment through its windows: the menu command opens the real
// register in sending mode, a sheet is marked from the popup, "Adatküldés"
// asks, writes, and the location window takes the copy; the refusals stop
// before the register opens or keep it open.
#include "support/programs/RegisterProgram.h"

#include "db/Sql.h"
#include "exchange/Shipment.h"
#include "exchange/EReport.h"
#include "exchange/ui/ExchangeWindows.h"
#include "exchange/ui/Tejcim.h"
#include "exchange/ui/Tszweb.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "shell/ui/TAlapkeres.h"
#include "support/Files.h"
#include "support/ui/ModalWatcher.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

class ShipmentWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::RegisterProgram> p;
    std::unique_ptr<test::TempDir> work;
    std::unique_ptr<ui::TAlapkeres> location;
    std::unique_ptr<ui::ExchangeWindows> exchange;

    fs::path kuld() const { return work->path() / "KULD"; }

    std::string sheetState(const std::string& sorsz) {
        const auto r = db::Sql(p->db()).run("select elkuldve,modtipus,jeloles from hlapa where sorsz=?", {sorsz});
        return r.rows.at(0)[0].asString() + "/" + r.rows.at(0)[1].asString() + "/" + r.rows.at(0)[2].asString();
    }

    // Chooses "Floppy-küldemény RUV-számára"; `act` runs in the register
    // when it opens. The objectName of the window that opened ("" none).
    QString fromMenu(const std::function<void(ui::Tlapok&)>& act) {
        return test::windowFrom([&] { p->owner->menuItem("FloppykldemnyRUVszmra1")->trigger(); },
                                [&](QWidget* w) {
                                    QVERIFY(QTest::qWaitForWindowActive(w));
                                    test::settle();
                                    act(p->lapok());
                                });
    }

private slots:
    void init() {
        p = std::make_unique<test::RegisterProgram>("2024.05");
        work = std::make_unique<test::TempDir>();
        fs::create_directories(kuld());
        fs::create_directories(work->path() / "LISTA");
        app::Session& session = p->start->session;
        session.kkuld = kuld().string() + "/";
        session.klista = (work->path() / "LISTA").string();
        location = std::make_unique<ui::TAlapkeres>(session, p->dialogs(), ui::CommandGuard(p->dialogs()),
                                                    p->owner.get());
        exchange = std::make_unique<ui::ExchangeWindows>(*p->owner, session, p->db(), p->dialogs(),
                                                         *p->registerWindows, *location);
        p->owner->plug(exchange->commands());
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        p->store({{"00002", "", "2024.01"}, {5}});
        p->store({{"00003", "", "2023.12"}, {6}});  // five months back: not offered
        p->dialogs().clearLog();
    }
    void cleanup() {
        exchange.reset();
        location.reset();
        p.reset();
        work.reset();
    }

    // Mark one sheet, "Adatküldés", Yes, no e-report, a folder chosen:
    // the sheet is sent, the copy made, the register closed.
    void markSendAndCopy() {
        const fs::path floppy = work->path() / "floppy";
        fs::create_directories(floppy);
        QString copyWindow;
        const QString opened = fromMenu([&](ui::Tlapok& w) {
            QCOMPARE(p->grid()->model()->rowCount(), 2);
            QVERIFY(w.kuld->isVisible() && w.kuld->isEnabled());
            p->pointAt("00002");
            w.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
            p->dialogs().answerYes().answerNo();
            copyWindow = test::windowFrom([&] { QTest::mouseClick(w.kuld, Qt::LeftButton); },
                                          [&](QWidget* chooser) {
                                              QCOMPARE(chooser->windowTitle(), QString::fromUtf8(exchange::kCopyCaption));
                                              location->setDirectory(floppy.string());
                                              QTest::mouseClick(location->Igen, Qt::LeftButton);
                                          });
            QVERIFY(!w.isVisible());  // closed by the shipment
        });
        QCOMPARE(opened, QString("Tlapok"));
        QCOMPARE(copyWindow, QString("Alapkeres"));
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Question),
                 (std::vector<std::string>{"Elküldhető 1 db elszámolási lap?", app::text(app::Msg::EReportQuestion)}));
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Information),
                 std::vector<std::string>{exchange::kShipmentDone});
        QCOMPARE(p->dialogs().statusText(0), std::string(exchange::kShipmentDone));
        QVERIFY(p->dialogs().problems().empty());
        QCOMPARE(sheetState("00002"), std::string("2024.05/P/"));  // late
        QCOMPARE(sheetState("00001"), std::string("//"));
        for (const char* name : {"hosa1234.dbf", "hosb1234.dbf", "hosc1234.dbf"}) QVERIFY(fs::exists(floppy / name));
        QCOMPARE(test::fileBytes(floppy / "hosa1234.dbf"), test::fileBytes(kuld() / "Hosa1234.Dbf"));
        QVERIFY(!p->hlapa().filtered());
    }

    // The first e-report asks for the address the fund gave (no address is
    // built in); the page opens in front of the register, modal over it; a
    // page that never loads shows our message, the report is not claimed,
    // and the copy is offered instead.
    void aFirstEReportAsksForItsAddressAndAPageNotLoadedIsNotClaimed() {
        const fs::path floppy = work->path() / "floppy";
        fs::create_directories(floppy);
        const std::string address = "http://127.0.0.1:9/e-jelentes";  // nothing listens there
        test::ModalWatcher watcher;
        watcher.onWindow("Tejcim", [&](QWidget* w) {
            auto* window = static_cast<ui::Tejcim*>(w);
            QCOMPARE(window->cim->text(), QString());
            window->cim->setText("neak.hu");
            QTest::mouseClick(window->OK, Qt::LeftButton);
            QVERIFY(window->isVisible());
            window->cim->setText(QString::fromStdString(address));
            QTest::mouseClick(window->OK, Qt::LeftButton);
        });
        watcher.onWindow("Tszweb", [&](QWidget* w) {
            auto* page = static_cast<ui::Tszweb*>(w);
            QCOMPARE(page->parentWidget(), static_cast<QWidget*>(&p->lapok()));
            QCOMPARE(page->windowModality(), Qt::ApplicationModal);
            QTRY_VERIFY_WITH_TIMEOUT(page->hiba->isVisible(), 30000);
            QVERIFY2(page->hiba->text().contains(QString::fromUtf8("nem tölthető be")), qPrintable(page->hiba->text()));
            page->reject();
        });
        watcher.onWindow("Alapkeres", [&](QWidget*) {
            location->setDirectory(floppy.string());
            QTest::mouseClick(location->Igen, Qt::LeftButton);
        });
        fromMenu([&](ui::Tlapok& w) {
            p->pointAt("00002");
            w.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
            p->dialogs().answerYes().answerYes();
            QTest::mouseClick(w.kuld, Qt::LeftButton);
        });
        QVERIFY2(watcher.failures().isEmpty(), qPrintable(watcher.failures().join('\n')));
        QVERIFY(watcher.done());
        QCOMPARE(exchange::eReportAddress(p->start->session.dataDir), std::optional<std::string>(address));
        QCOMPARE(p->dialogs().errors(),
                 std::vector<std::string>{exchange::eReportAddressProblem("neak.hu")});
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Warning),
                 std::vector<std::string>{exchange::kEReportNotDone});
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Information),
                 std::vector<std::string>{exchange::kShipmentDone});
        QVERIFY(fs::exists(floppy / "hosa1234.dbf"));
    }

    // A period before the last closed one: the register does not open.
    void anEarlierPeriodIsRefused() {
        db::Sql(p->db()).run("insert into zaras (idoszak,zaras,lapoksz) values ('2024.06','2024.07.03',4)");
        QCOMPARE(fromMenu([](ui::Tlapok&) {}), QString());
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{exchange::kEarlierThanClosed});
    }

    // Nothing marked: the warning, and the register stays open.
    void nothingMarkedKeepsTheRegisterOpen() {
        fromMenu([&](ui::Tlapok& w) {
            QTest::mouseClick(w.kuld, Qt::LeftButton);
            QVERIFY(w.isVisible());
        });
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{exchange::kNothingMarked});
        QVERIFY(fs::is_empty(kuld()));
    }
};

VELMORA_UI_TEST(ShipmentWindowTest);
#include "ShipmentWindowTest.moc"
