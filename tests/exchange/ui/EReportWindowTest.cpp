// The e-report window on a local page: loaded once a showing whatever the
// activations, a page that opens a new window kept in the view, a download
// saved into KULD.
#include "support/ui/UiTest.h"

#include "exchange/ui/Tszweb.h"
#include "support/Files.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

class EReportWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> tmp;

    fs::path site() const { return tmp->path() / "site"; }
    void page(const std::string& name, const std::string& body) {
        std::ofstream(site() / name) << "<html><body>" << body << "</body></html>";
    }

private slots:
    void init() {
        tmp = std::make_unique<test::TempDir>();
        fs::create_directories(site());
        fs::create_directories(tmp->path() / "KULD");
        page("jelentes.html", "<p>E-jelentés</p>");
        page("masodik.html", "<p>Második</p>");
        std::ofstream(site() / "visszaigazolas.txt") << "rendben";
    }
    void cleanup() { tmp.reset(); }

    void loadsOnceEachShowing() {
        const QUrl address = QUrl::fromLocalFile(QString::fromStdString((site() / "jelentes.html").string()));
        ui::Tszweb window(nullptr, {address.toString().toStdString(), (tmp->path() / "WEB").string(),
                                    (tmp->path() / "KULD").string()});
        window.etipus = std::string("E");
        QWebEnginePage* page = window.WB1->page();
        QSignalSpy started(page, &QWebEnginePage::loadStarted);
        QSignalSpy finished(page, &QWebEnginePage::loadFinished);

        test::onNextModal([&](QWidget* w) {
            QVERIFY(w->windowState() & Qt::WindowMaximized);
            QTRY_COMPARE(finished.size(), 1);
            QCOMPARE(page->url(), address);

            // Another window comes to the front and goes: no new load.
            QWidget other;
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            other.close();
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w));
            QTest::qWait(200);
            QCOMPARE(started.size(), 1);

            // A new window the page opens comes into the same view.
            page->runJavaScript("window.open('masodik.html', '_blank');");
            QTRY_VERIFY(page->url().fileName() == "masodik.html");

            // A download is saved into KULD.
            page->download(QUrl::fromLocalFile(QString::fromStdString((site() / "visszaigazolas.txt").string())));
            QTRY_COMPARE(test::fileBytes(tmp->path() / "KULD" / "visszaigazolas.txt"), std::string("rendben"));
        });
        QVERIFY(window.run());

        // Shown again: the page is loaded afresh, once.
        const qsizetype before = started.size();
        test::onNextModal([&](QWidget*) {
            QTRY_COMPARE(started.size(), before + 1);
            QTRY_COMPARE(page->url(), address);
        });
        window.run();
    }

    // Without network the page shows our message instead of the browser's
    // English error, offers to try again, and run() says it never loaded.
    void aPageThatDoesNotLoadIsCoveredByOurMessage() {
        ui::Tszweb window(nullptr, {"http://127.0.0.1:9/e-jelentes", (tmp->path() / "WEB").string(),
                                    (tmp->path() / "KULD").string()});
        window.etipus = std::string("E");
        QSignalSpy finished(window.WB1->page(), &QWebEnginePage::loadFinished);
        test::onNextModal([&](QWidget*) {
            QTRY_VERIFY_WITH_TIMEOUT(window.hiba->isVisible(), 30000);
            QVERIFY(!window.WB1->isVisible());
            QVERIFY(window.hiba->text().contains("http://127.0.0.1:9/e-jelentes"));
            const qsizetype before = finished.size();
            QTest::mouseClick(window.ujra, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(finished.size() > before, 30000);
            QTRY_VERIFY(window.hiba->isVisible());
        });
        QVERIFY(!window.run());
    }
};

VELMORA_UI_TEST(EReportWindowTest);
#include "EReportWindowTest.moc"
