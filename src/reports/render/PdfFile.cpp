#include "reports/render/PdfFile.h"

#include "app/UserError.h"
#include "reports/PageBreaks.h"
#include "reports/render/PagePainter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace velmora::reports {

namespace {

constexpr int kDotsPerInch = 600;

// The whole PDF in memory: QPdfWriter does not report a failed write to
// its file, so the file itself is written below where every write is seen.
bool paintAll(const Report& report, QByteArray& pdf) {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
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
    return painter.end() && !pdf.isEmpty();
}

// Every byte on the disk, or false (a full disk, a size limit, an I/O error).
bool writeAll(const std::string& path, const QByteArray& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f) == static_cast<size_t>(bytes.size());
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok;
    return std::fclose(f) == 0 && ok;
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
    QByteArray pdf;
    if (!paintAll(report, pdf) || !writeAll(part, pdf)) refuse();
    std::error_code ec;
    fs::rename(part, path, ec);
    if (ec) refuse();
}

} // namespace velmora::reports
