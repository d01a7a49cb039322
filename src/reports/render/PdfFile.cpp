#include "reports/render/PdfFile.h"

#include "app/UserError.h"
#include "reports/PageBreaks.h"
#include "reports/render/PagePainter.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <filesystem>
#include <memory>

namespace velmora::reports {

namespace {

constexpr int kDotsPerInch = 600;

bool paintAll(const Report& report, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(kDotsPerInch);
    writer.setTitle(QString::fromStdString(report.title));
    writer.setCreator(QStringLiteral("Velmora"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     report.orientation == Orientation::Portrait ? QPageLayout::Portrait
                                                                                 : QPageLayout::Landscape,
                                     QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const double dotsPerMm = kDotsPerInch / 25.4;
    bool first = true;
    const PageBreaks breaks(report);
    for (const Page& page : breaks.pages()) {
        if (!first && !writer.newPage()) return false;
        first = false;
        paintPage(painter, page, dotsPerMm, report.marginMm);
    }
    return painter.end();
}

} // namespace

void writePdf(const Report& report, const std::string& path) {
    namespace fs = std::filesystem;
    const std::string part = path + ".keszul";
    const auto refuse = [&] {
        std::error_code ec;
        fs::remove(part, ec);
        throw app::UserError("A(z) " + path + " állomány nem írható!");
    };
    // QPdfWriter says nothing when its file cannot be opened: try first.
    {
        QFile probe(QString::fromStdString(part));
        if (!probe.open(QIODevice::WriteOnly)) refuse();
    }
    if (!paintAll(report, QString::fromStdString(part))) refuse();
    std::error_code ec;
    if (fs::file_size(part, ec) == 0 || ec) refuse();
    fs::rename(part, path, ec);
    if (ec) refuse();
}

} // namespace velmora::reports
