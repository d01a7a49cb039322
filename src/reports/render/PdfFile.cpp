#include "reports/render/PdfFile.h"

#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Os.h"
#include "reports/PageBreaks.h"
#include "reports/render/PagePainter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>


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

} // namespace

void writePdf(const Report& report, const std::string& path) {
    const std::string refused = "A(z) " + path + " állomány nem írható!";
    QByteArray pdf;
    if (!paintAll(report, pdf)) throw app::UserError(refused);
    try {
        db::os::writeFileReplacing(path, std::string(pdf.constData(), static_cast<size_t>(pdf.size())));
    } catch (const db::DbError& e) {
        throw app::UserError(refused + "\n" + e.what());
    }
}

} // namespace velmora::reports
