// The command guard and the application's last guard on a real table: a
// failure is shown with its detail, the pending edit is cancelled, and the
// program goes on.
#include "support/ui/UiTest.h"

#include "app/UserError.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "widgets/CommandGuard.h"
#include "widgets/GuardedApplication.h"

#include <QMessageBox>
#include <QPushButton>

#include <memory>

using namespace velmora;

namespace {

// A widget whose key handler fails the way a command can.
class FailingWidget : public QWidget {
public:
    std::function<void()> onKey;

protected:
    void keyPressEvent(QKeyEvent*) override { onKey(); }
};

ui::GuardedApplication& application() { return *static_cast<ui::GuardedApplication*>(qApp); }

} // namespace

class CommandGuardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    db::Table* beteg = nullptr;

    // Starts writing a row the way a save does, then fails like the engine.
    void halfWrittenRow() {
        beteg->append();
        beteg->setField("TAJ", db::Value("123456788"));
        beteg->setField("NEV", db::Value("Kiss € Anna"));  // throws
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        dbs = std::make_unique<db::Database>(data->path());
        dialogs = std::make_unique<test::ScriptedDialogs>();
        beteg = &dbs->table("BETEG", "Beteg.dbf");
        beteg->create({db::FieldDef::character("TAJ", 9), db::FieldDef::character("NEV", 25)});
        beteg->open();
        // A second table in edit, which a failure elsewhere cancels too.
        db::Table& other = dbs->table("APOL", "Apol.dbf");
        other.create({db::FieldDef::character("APTAJ", 9)});
        other.open();
        other.append();
    }
    void cleanup() {
        test::restoreLastGuard();
        beteg = nullptr;
        dbs.reset();
        dialogs.reset();
        data.reset();
    }

    void aFailedCommandIsShownAndEveryPendingEditCancelled() {
        const ui::CommandGuard guard(*dialogs, dbs.get());
        QVERIFY(!guard.run([this] { halfWrittenRow(); }));
        QCOMPARE(dialogs->errors(), std::vector<std::string>{"Hiba a lefutásban!"});
        const std::string detail = dialogs->errorDetails().at(0);
        QVERIFY2(detail.find("Beteg.dbf") != std::string::npos && detail.find("NEV") != std::string::npos,
                 detail.c_str());
        for (db::Table* t : dbs->tables()) QCOMPARE(int(t->state()), int(db::TableState::Browse));
        QCOMPARE(beteg->recordCount(), 0);

        // Any failure, not only the engine's; a command that runs through
        // shows nothing.
        dialogs->clearLog();
        QVERIFY(!guard.run([] { throw std::out_of_range("vector::at"); }));
        QVERIFY(!guard.run([] { throw 42; }));
        QCOMPARE(dialogs->errorDetails(), (std::vector<std::string>{"vector::at", "Ismeretlen hiba."}));
        // A refusal worded for the user is shown as it stands.
        dialogs->clearLog();
        QVERIFY(!guard.run([this] {
            beteg->append();
            throw app::UserError("Ilyen sorszámú lap már van!");
        }));
        QCOMPARE(dialogs->errors(), std::vector<std::string>{"Ilyen sorszámú lap már van!"});
        QCOMPARE(int(beteg->state()), int(db::TableState::Browse));
        dialogs->clearLog();
        QVERIFY(guard.run([] {}));
        QVERIFY(dialogs->log().empty());
    }

    void aButtonRunsItsCommandThroughTheGuard() {
        const ui::CommandGuard guard(*dialogs, dbs.get());
        QPushButton button;
        int clicks = 0;
        guard.onClick(&button, &button, [&] {
            ++clicks;
            halfWrittenRow();
        });
        button.click();
        button.click();
        QCOMPARE(clicks, 2);
        QCOMPARE(dialogs->errors().size(), size_t(2));
        QCOMPARE(int(beteg->state()), int(db::TableState::Browse));
    }

    // What escapes an event handler is shown, the edits are cancelled and
    // the event loop goes on.
    void theLastGuardCatchesWhatEscapesAnEventHandler() {
        const ui::CommandGuard guard(*dialogs, dbs.get());
        application().setGuard(&guard);
        FailingWidget w;
        w.onKey = [this] { halfWrittenRow(); };
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(dialogs->errors(), std::vector<std::string>{"Hiba a lefutásban!"});
        QVERIFY(dialogs->errorDetails()[0].find("Beteg.dbf") != std::string::npos);
        for (db::Table* t : dbs->tables()) QCOMPARE(int(t->state()), int(db::TableState::Browse));

        int later = 0;
        w.onKey = [&] { ++later; };
        QTest::keyClick(&w, Qt::Key_B);
        QCOMPARE(later, 1);
        QCOMPARE(dialogs->errors().size(), size_t(1));
    }

    // Before the program has its guard, the failure gets a plain error box.
    void withoutAGuardTheFailureGetsABoxOfItsOwn() {
        application().setGuard(nullptr);
        FailingWidget w;
        w.onKey = [] { throw db::DbError("A(z) Beteg.dbf állomány nem olvasható."); };
        QString text, detail;
        test::onNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            text = box->text();
            detail = box->informativeText();
            box->accept();
        });
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(text, QString::fromUtf8("Hiba a lefutásban!"));
        QCOMPARE(detail, QString::fromUtf8("A(z) Beteg.dbf állomány nem olvasható."));
    }

    // The shipment's page was still loading when the register behind it took
    // a click: a second shipment ran inside the first. A command started
    // from a window that was open before the running command is refused;
    // one started from a window the running command opened runs.
    void oneCommandRunsAtATime() {
        const ui::CommandGuard guard(*dialogs, dbs.get());
        QDialog registerWindow;
        QPushButton send(&registerWindow);
        int shipments = 0, inner = 0;
        guard.onClick(&send, &registerWindow, [&] {
            ++shipments;
            if (shipments > 1) return;
            // The page opens; before it is modal, a click reaches the
            // register behind it.
            QTest::mouseClick(&send, Qt::LeftButton);
            QDialog page(&registerWindow);
            QPushButton pageButton(&page);
            guard.onClick(&pageButton, &page, [&] { ++inner; });
            test::onNextModal([&](QWidget*) { QTest::mouseClick(&pageButton, Qt::LeftButton); });
            page.exec();
        });
        test::onNextModal([&](QWidget*) { QTest::mouseClick(&send, Qt::LeftButton); });
        registerWindow.exec();
        QCOMPARE(shipments, 1);
        QCOMPARE(inner, 1);
        QCOMPARE(dialogs->texts(test::ScriptedDialogs::Kind::Warning), std::vector<std::string>{ui::kBusy});
        // Over, the next command runs.
        QVERIFY(guard.run([&] { ++shipments; }));
        QCOMPARE(shipments, 2);
    }
};

VELMORA_UI_TEST(CommandGuardTest);

#include "CommandGuardTest.moc"
