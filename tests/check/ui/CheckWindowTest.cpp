// "Adatok ellenőrzése" chosen from the menu: the report of the open data
// directory in its window, a fault made in this run named under its table,
// and the tables open again afterwards.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "check/ui/CheckCommand.h"
#include "check/ui/CheckWindow.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/TableFixture.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

using namespace velmora;

class CheckWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> data;
    std::unique_ptr<test::Start> start;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::CheckCommand> command;

    // The report the window shows when the command is chosen; the window is
    // closed with its button.
    QString shownReport() {
        QString text;
        test::onNextModal([this, &text](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(command->window()));
            QCOMPARE(window->windowTitle(), QString("Adatok ellenőrzése"));
            text = command->window()->Report->toPlainText();
            QVERIFY(command->window()->Report->isReadOnly());
            QTest::mouseClick(command->window()->Bezar, Qt::LeftButton);
        });
        owner->menuItem("Adatokellenrzse1")->trigger();
        return text;
    }

private slots:
    void init() {
        data = std::make_unique<test::TempDir>();
        test::writeFundTables(data->str());
        test::writeTable(data->str(), "Apol.dbf", store::schema::APOL().fields, {{"111111111", "Első Ápoló"}});
        start = std::make_unique<test::Start>(data->str());
        QVERIFY(start->run());
        owner = std::make_unique<test::MenuOwner>();
        command = std::make_unique<ui::CheckCommand>(*owner, start->db, start->dialogs);
        owner->plug(command->commands());
    }
    void cleanup() {
        command.reset();
        owner.reset();
        start.reset();
        data.reset();
    }

    void aSoundDirectoryGivesOneLine() {
        const QString text = shownReport();
        QVERIFY2(text.startsWith("Az adatok rendben vannak"), qPrintable(text));
        QCOMPARE(text.count('\n'), 1);
        QVERIFY(start->dialogs.problems().empty());
    }

    // A sheet entered without its visits and with an unknown patient, the
    // tables still open: both faults under HLapa.dbf, and the nurse entered
    // in this run is no fault.
    void faultsOfThisRunAreNamedUnderTheirTable() {
        db::Table& apol = store::tableOf(start->db, store::schema::APOL());
        apol.append();
        apol.setField("Aptaj", db::Value("222222222"));
        apol.setField("Anev", db::Value("Második Ápoló"));
        apol.post();
        db::Table& hlapa = store::tableOf(start->db, store::schema::HLAPA());
        hlapa.append();
        hlapa.setField("Idoszak", db::Value("2024.05"));
        hlapa.setField("Sorsz", db::Value("00001"));
        hlapa.setField("Taj", db::Value("999999999"));
        hlapa.setField("Aptaj1", db::Value("222222222"));
        hlapa.post();

        const QString text = shownReport();
        QVERIFY2(text.contains("HLapa.dbf:\n"), qPrintable(text));
        QVERIFY2(text.contains("2024.05/00001 lapnak nincs látogatási sora"), qPrintable(text));
        QVERIFY2(text.contains("999999999) nincs a betegek között"), qPrintable(text));
        QVERIFY2(!text.contains("222222222"), qPrintable(text));
        QVERIFY2(!text.contains("Apol"), qPrintable(text));
        QVERIFY(apol.isOpen() && hlapa.isOpen());
        QCOMPARE(hlapa.recordCount(), 1);
    }
};

VELMORA_UI_TEST(CheckWindowTest);
#include "CheckWindowTest.moc"
