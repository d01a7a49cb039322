// "Szervíz → Napló": the last lines of the installation's log, read-only,
// the newest at the bottom and in view, closed with Escape, resizable.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "app/DiagnosticLog.h"
#include "shell/ui/LogCommand.h"
#include "shell/ui/TNaplo.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <memory>

using namespace velmora;

class LogWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> work;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::LogCommand> command;

private slots:
    void init() {
        work = std::make_unique<test::TempDir>();
        clock = std::make_unique<app::FixedClock>(app::Date{2026, 5, 12});
        session = std::make_unique<app::Session>(*clock);
        session->gdir = work->str();
        dialogs = std::make_unique<test::ScriptedDialogs>();
        owner = std::make_unique<test::MenuOwner>();
        command = std::make_unique<ui::LogCommand>(*owner, *session, *dialogs);
        owner->plug(command->commands());
    }
    void cleanup() {
        command.reset();
        owner.reset();
        dialogs.reset();
        session.reset();
        clock.reset();
        work.reset();
    }

    void showsTheLastLinesNewestAtTheBottomInView() {
        app::DiagnosticLog log(app::logFileIn(work->str()), 40 * 1024);
        for (int i = 1; i <= 800; ++i)
            log.write(app::LogLevel::Error, "Hiba a lefutásban! (" + std::to_string(i) + ")", "A(z) HLapa.dbf nem olvasható.");
        QStringList shown;
        bool readOnly = false, atBottom = false, resizable = false;
        test::onNextModal([&](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(command->window()));
            QCOMPARE(window->windowTitle(), QString("Napló"));
            window->resize(900, 500);
            QApplication::processEvents();
            QPlainTextEdit* lines = command->window()->Sorok;
            shown = lines->toPlainText().split('\n');
            readOnly = lines->isReadOnly();
            atBottom = lines->verticalScrollBar()->maximum() > 0 &&
                       lines->verticalScrollBar()->value() == lines->verticalScrollBar()->maximum();
            resizable = window->maximumWidth() > 2000 && window->width() == 900;
            QTest::keyClick(window, Qt::Key_Escape);
        });
        owner->menuItem("Naplo1")->trigger();
        QVERIFY(!command->window()->isVisible());  // Escape closed it
        QCOMPARE(shown.size(), int(ui::kLogLinesShown));
        QVERIFY2(shown.back().endsWith("HIBA Hiba a lefutásban! (800) | A(z) HLapa.dbf nem olvasható."),
                 qPrintable(shown.back()));
        QVERIFY2(shown.front().contains("(301)"), qPrintable(shown.front()));  // across the rotated file
        QVERIFY(readOnly);
        QVERIFY(atBottom);
        QVERIFY(resizable);
        QVERIFY(dialogs->errors().empty());
    }

    void anEmptyLogSaysSo() {
        QString shown;
        test::onNextModal([&](QWidget*) {
            shown = command->window()->Sorok->toPlainText();
            QTest::mouseClick(command->window()->Bezar, Qt::LeftButton);
        });
        owner->menuItem("Naplo1")->trigger();
        QCOMPARE(shown, QString("A napló üres."));
    }
};

VELMORA_UI_TEST(LogWindowTest);

#include "LogWindowTest.moc"
