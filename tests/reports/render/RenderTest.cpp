// The painter and the PDF writer: millimetres land where they should at any
// resolution, a band taller than the page stops above the footer, a text
// wider than its cell stays whole inside it, and a PDF is either whole in its
// place or not there at all.
#include "support/ui/UiTest.h"

#include "app/UserError.h"
#include "reports/PageBreaks.h"
#include "reports/render/PagePainter.h"
#include "reports/render/PdfFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <QImage>

#include <csignal>
#include <filesystem>
#include <map>
#include <regex>
#include <sys/resource.h>

namespace fs = std::filesystem;
using namespace velmora;
using reports::Band;
using reports::TextItem;

namespace {

TextItem shadedCell(double x, double y, double w, double h) {
    TextItem t;
    t.x = x, t.y = y, t.w = w, t.h = h;
    t.shaded = true;
    return t;
}

bool dark(const QImage& image, double xMm, double yMm, double dotsPerMm) {
    return qGray(image.pixel(int(xMm * dotsPerMm), int(yMm * dotsPerMm))) < 230;
}

// A report of `pages` pages, each row a band as tall as the body.
reports::Report pagesOf(int pages, const std::string& text) {
    reports::Report r;
    r.title = "Próba";
    r.pageFooter.text(0, 100, std::string("Oldal: ") + reports::kPageNumber);
    reports::Group g;
    for (int i = 0; i < pages; ++i) {
        Band b;
        b.text(0, 150, text + " " + std::to_string(i + 1));
        b.height = 250;
        g.rows.push_back(b);
    }
    r.groups.push_back(g);
    return r;
}

} // namespace

class RenderTest : public QObject {
    Q_OBJECT

private slots:
    // A shaded cell 20 mm from the left and 30 mm from the top of the body.
    void millimetresAtAnyResolution() {
        reports::Report r;
        r.pageHeader.height = 5;
        Band b;
        b.cell(shadedCell(20, 30, 10, 10));
        r.groups.push_back({std::nullopt, {b}, std::nullopt, false});
        const reports::PageBreaks breaks(r);
        for (const double dpm : {2.0, 3.8, 11.81}) {
            const QImage image = reports::pageImage(r, breaks.pages()[0], dpm);
            QCOMPARE(image.width(), int(std::lround(210 * dpm)));
            // Margin 10 + 20 across, margin 10 + header 5 + 30 down.
            QVERIFY(dark(image, 35, 50, dpm));
            QVERIFY(!dark(image, 29, 50, dpm));
            QVERIFY(!dark(image, 41, 50, dpm));
            QVERIFY(!dark(image, 35, 44, dpm));
        }
    }

    void aTallBandStopsAboveTheFooter() {
        reports::Report r;
        r.pageFooter.height = 20;  // from 267 mm
        Band giant;
        giant.cell(shadedCell(0, 0, 50, 400));
        r.groups.push_back({std::nullopt, {giant}, std::nullopt, false});
        const reports::PageBreaks breaks(r);
        QCOMPARE(breaks.pages().size(), size_t(1));
        const QImage image = reports::pageImage(r, breaks.pages()[0], 3);
        QVERIFY(dark(image, 20, 260, 3));
        QVERIFY(!dark(image, 20, 270, 3));
        QVERIFY(!dark(image, 20, 290, 3));
    }

    // The name is drawn whole inside its cell (smaller), not cut at its edge
    // nor running into the next column: every word's box in the PDF ends
    // within the cell, 10 + 30 mm from the paper's left edge.
    void aLongTextStaysWholeInItsCell() {
        reports::Report r;
        Band row;
        row.text(0, 30, "Árvácska Erzsébet Kunigunda");  // about 37 mm at 9 pt
        row.text(30, 60, "Szomszéd");
        r.groups.push_back({std::nullopt, {row}, std::nullopt, false});
        test::TempDir dir;
        const std::string path = dir.file("hosszu.pdf");
        reports::writePdf(r, path);
        const std::string boxes = test::runCommand("pdftotext -bbox '" + path + "' -");
        const std::regex word(R"re(xMax="([0-9.]+)"[^>]*>([^<]+)</word>)re");
        std::map<std::string, double> right;
        for (auto it = std::sregex_iterator(boxes.begin(), boxes.end(), word); it != std::sregex_iterator(); ++it)
            right[(*it)[2]] = std::stod((*it)[1]) / 72 * 25.4;
        QVERIFY2(right.count("Kunigunda"), boxes.c_str());
        QVERIFY(right["Kunigunda"] <= 40.2);
        QVERIFY(right["Szomszéd"] > 40.2);
    }

    void pdfWithEveryPageNumberedAndAccents() {
        test::TempDir dir;
        const std::string path = dir.file("Próba lista.pdf");
        reports::writePdf(pagesOf(2, "Árvíztűrő tükörfúrógép"), path);
        const std::string text = test::runCommand("pdftotext '" + path + "' -");
        for (const char* part : {"Árvíztűrő tükörfúrógép 1", "Árvíztűrő tükörfúrógép 2", "Oldal: 1", "Oldal: 2"})
            QVERIFY2(text.find(part) != std::string::npos, part);
        QVERIFY(!fs::exists(path + ".uj"));
    }

    // A write that stops half way (here a file size limit, as a full disk
    // would) leaves neither the PDF nor its part behind.
    void aFailedWriteLeavesNoFile() {
        test::TempDir dir;
        const std::string path = dir.file("lista.pdf");
        const reports::Report report = pagesOf(30, "Hosszú lista sok oldalon");
        reports::writePdf(report, path);
        const auto whole = fs::file_size(path);
        fs::remove(path);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = whole * 9 / 10;  // full just before the end
        setrlimit(RLIMIT_FSIZE, &small);
        std::string message;
        try {
            reports::writePdf(report, path);
        } catch (const app::UserError& e) {
            message = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(message.substr(0, message.find('\n')), "A(z) " + path + " állomány nem írható!");
        QVERIFY2(message.find("a fájl elérte a megengedett legnagyobb méretet") != std::string::npos, message.c_str());
        QVERIFY(fs::is_empty(dir.path()));

        QVERIFY_THROWS_EXCEPTION(app::UserError, reports::writePdf(pagesOf(1, "x"), dir.file("nincs/lista.pdf")));
        QVERIFY(fs::is_empty(dir.path()));
    }
};

VELMORA_UI_TEST(RenderTest);
#include "RenderTest.moc"
