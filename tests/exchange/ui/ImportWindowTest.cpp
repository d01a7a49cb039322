// The fund's answers through their windows: each menu command asks, the
// location window (with the import's caption) takes the folder of files
// written by python3-dbf, and the tables show the result.
#include "support/programs/RegisterProgram.h"

#include "db/Sql.h"
#include "exchange/BilledImport.h"
#include "exchange/ContractImport.h"
#include "exchange/FullImport.h"
#include "exchange/ui/ExchangeWindows.h"
#include "exchange/ui/FullImportCommand.h"
#include "register/ui/RegisterWindows.h"
#include "shell/ui/TAlapkeres.h"
#include "support/Files.h"
#include "support/FundFiles.h"

#include <QAction>
#include <QPushButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

class ImportWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::RegisterProgram> p;
    std::unique_ptr<test::TempDir> work;
    std::unique_ptr<ui::TAlapkeres> location;
    std::unique_ptr<ui::ExchangeWindows> exchange;
    std::unique_ptr<ui::FullImportCommand> fullImport;

    fs::path incoming() const { return work->path() / "floppy"; }

    std::string query(const std::string& sql) {
        std::string out;
        for (const auto& row : db::Sql(p->db()).run(sql).rows)
            for (const auto& v : row) out += v.asString() + "|";
        return out;
    }

    // Chooses the menu item, says Yes (to the first question the command
    // asks), and picks the folder in the
    // location window; the caption the window had comes back.
    void fromMenu(const char* item) {
        location->setWindowTitle("Eredeti");
        p->dialogs().answerYes();
        QString caption;
        const QString opened = test::windowFrom([&] { p->owner->menuItem(item)->trigger(); },
                                                [&](QWidget* chooser) {
                                                    caption = chooser->windowTitle();
                                                    location->setDirectory(incoming().string());
                                                    QTest::mouseClick(location->Igen, Qt::LeftButton);
                                                });
        QCOMPARE(opened, QString("Alapkeres"));
        QCOMPARE(caption, QString::fromUtf8(exchange::kImportCaption));
        QCOMPARE(location->windowTitle(), QString("Eredeti"));
        QVERIFY(p->dialogs().problems().empty());
    }

private slots:
    void init() {
        p = std::make_unique<test::RegisterProgram>("2024.05");
        work = std::make_unique<test::TempDir>();
        fs::create_directories(incoming());
        fs::create_directories(work->path() / "TEMP");
        app::Session& session = p->start->session;
        session.ktemp = (work->path() / "TEMP").string();
        location = std::make_unique<ui::TAlapkeres>(session, p->dialogs(), ui::CommandGuard(p->dialogs()),
                                                    p->owner.get());
        exchange = std::make_unique<ui::ExchangeWindows>(*p->owner, session, p->db(), p->dialogs(),
                                                         *p->registerWindows, *location);
        p->owner->plug(exchange->commands());
        fullImport = std::make_unique<ui::FullImportCommand>(*p->owner, session, p->db(), p->dialogs(), *location);
        p->owner->plug(fullImport->commands());
        p->dialogs().clearLog();
    }
    void cleanup() {
        fullImport.reset();
        exchange.reset();
        location.reset();
        p.reset();
        work.reset();
    }

    // Both visit days of the sheet billed: it is paid in full.
    void billedSheetsFromTheMenu() {
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        test::writeFundFile(incoming() / "HEa1234.dbf", "KABKOD C(4)", R"([["1234"]])");
        test::writeFundFile(incoming() / "HEc1234.dbf", "KABKOD C(4)", R"([["1234"]])");
        test::writeFundFile(incoming() / "HEb1234.dbf",
                            "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)",
                            R"([["1234",1,"202405",null,"2024-05-02","E1"],["1234",1,"202405",null,"2024-05-03","E1"]])");
        test::writeFundFile(incoming() / "HRuv1234.dbf", "IDOSZAK C(6); ALAPDIJ N(10,2); ELOLEG N(10,1)",
                            R"([["202405",7150.25,1000]])");
        p->dialogs().clearLog();
        fromMenu("ElszmolsilapokbeolvassaRUVtl1");
        QCOMPARE(query("select allapot from hlapa where sorsz='00001'"), std::string("ű|"));
        QCOMPARE(query("select eli2, eli3 from hlapb where sorsz='00001'"), std::string("E1|E1|"));
        QCOMPARE(p->dialogs().statusText(0), std::string(exchange::kBilledDone));
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Information).size(), size_t(1));
    }

    // The four contract files replace their tables; PART stays.
    void contractsFromTheMenu() {
        test::writeFundFile(incoming() / "has1234.DBF",
                            "INTKOD C(4); SZSZAM C(10); FINKOD C(9); OSSZNAP N(5,0); SZKEZD D; SZVEG D; ORVOS N(3,0); "
                            "GYOGYT N(3,0); DIPL N(3,0); DIET N(3,0); PSZICH N(3,0); MENTAL N(3,0); SZOCM N(3,0); "
                            "HOSPSZ N(3,0); SZAKAP N(3,0); FIZIO N(3,0); OSSZD N(3,0); NORMNAP N(3,0); POTNAP N(3,0)",
                            R"([["1234","SZ-2025","555555555",4000,"2025-01-01",null,1,1,1,1,1,1,1,1,1,1,10,300,0]])");
        test::writeFundFile(incoming() / "HAr1234.dbf",
                            "KOZIGKOD C(7); HELYNEV C(30); KEZD D; VEG D; TSORSZAM N(5,0); LETSZAM N(6,0)",
                            R"([["0300003","Gödöllő","2025-01-01",null,1,30000]])");
        test::writeFundFile(incoming() / "HAd1234.dbf",
                            "TAJ C(9); NEV C(30); KEZD D; VEG D; SSORSZAM N(5,0); ORASZ N(5,1); ORAK N(5,1)",
                            R"([["123456788","Új Ápoló","2025-01-01",null,1,40,0]])");
        test::writeFundFile(incoming() / "HAt1234.dbf",
                            "TSORSZAM N(5,0); KOZIGKOD C(7); HELYNEV C(30); CIM C(40); KEZD D; VEG D; NAP N(3,0)",
                            R"([[1,"0300003","Gödöllő","Szőlő utca 2.","2025-01-01",null,5]])");
        fromMenu("SzerzdsekbeolvassaRUVtl1");
        QCOMPARE(query("select szszam, finkod from hszerz"), std::string("SZ-2025|555555555|"));
        QCOMPARE(query("select nev from hszolgsz"), std::string("Új Ápoló|"));
        QCOMPARE(p->start->session.v_finkod, std::string("555555555"));
        QCOMPARE(p->dialogs().statusText(0), std::string(exchange::kContractIndexDone));
    }

    // The fund's complete set, written by python3-dbf and packed by the
    // archiver, replaces the local sheet; Yes to the question that counts them.
    void fullDataSetFromTheMenu() {
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        const std::string tool = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/full_data_set.py";
        const std::string out = test::runCommand("/usr/bin/python3 " + tool + " '" + incoming().string() + "' good 2>&1");
        QVERIFY2(fs::exists(incoming() / "Telj1234.arj"), out.c_str());
        p->dialogs().clearLog();
        fromMenu("Teljesadatllomnybeolvassa1");
        const auto questions = p->dialogs().texts(test::ScriptedDialogs::Kind::Question);
        QCOMPARE(questions.size(), size_t(1));
        QVERIFY(questions[0].find("a helyi 1 lap helyére") != std::string::npos);
        QCOMPARE(query("select count(*) from hlapa where sorsz='00001'"), std::string("0|"));
        QCOMPARE(query("select count(*) from hlapa"), std::string("9|"));
        QCOMPARE(p->dialogs().statusText(0), std::string(exchange::kFullImportDone));
    }
};

VELMORA_UI_TEST(ImportWindowTest);
#include "ImportWindowTest.moc"
