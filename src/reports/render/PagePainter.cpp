#include "reports/render/PagePainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace velmora::reports {

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

QString pageText(const std::string& text, int pageNumber) {
    QString out = QString::fromStdString(text);
    out.replace(QString::fromLatin1(kPageNumber), QString::number(pageNumber));
    return out;
}

int flagsOf(Align align) {
    switch (align) {
    case Align::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    case Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QFont fontOf(const TextItem& t, double pixels) {
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(t.bold);
    font.setItalic(t.italic);
    return font;
}

// The fonts of one page with their metrics, made once each: a page of a
// long list has hundreds of texts in two or three fonts.
class Fonts {
public:
    explicit Fonts(QPaintDevice* device) : device_(device) {}

    // The item's font, made smaller (to no less than 70 %) when its text is
    // wider than its cell: a long name or a large figure stays whole and
    // readable instead of running over the next column.
    QFont fitting(const TextItem& t, const QString& text, double width, double mm) {
        const double pixels = t.sizePt * kMmPerPoint * mm;
        const Entry& e = entry(t, pixels);
        // Most texts are short for their cells: no need to measure them.
        if (text.size() * e.metrics.maxWidth() <= width) return e.font;
        const double needed = e.metrics.horizontalAdvance(text);
        if (needed <= width || needed <= 0) return e.font;
        return fontOf(t, pixels * std::max(0.7, width / needed));
    }

private:
    struct Entry {
        QFont font;
        QFontMetricsF metrics;
    };
    const Entry& entry(const TextItem& t, double pixels) {
        const auto key = std::make_tuple(std::lround(pixels), t.bold, t.italic);
        auto it = entries_.find(key);
        if (it == entries_.end()) {
            QFont font = fontOf(t, pixels);
            it = entries_.emplace(key, Entry{font, QFontMetricsF(font, device_)}).first;
        }
        return it->second;
    }

    QPaintDevice* device_;
    std::map<std::tuple<long, bool, bool>, Entry> entries_;
};

void paintBand(QPainter& painter, Fonts& fonts, const Band& band, double left, double top, int pageNumber, double mm) {
    for (const FillItem& f : band.fills)
        painter.fillRect(QRectF((left + f.x) * mm, (top + f.y) * mm, f.w * mm, f.h * mm), QColor(f.grey, f.grey, f.grey));
    for (const LineItem& l : band.lines) {
        QPen pen(Qt::black);
        pen.setWidthF(std::max(l.widthMm * mm, 1.0));
        painter.setPen(pen);
        painter.drawLine(QPointF((left + l.x1) * mm, (top + l.y1) * mm), QPointF((left + l.x2) * mm, (top + l.y2) * mm));
    }
    for (const TextItem& t : band.texts) {
        const QRectF cell((left + t.x) * mm, (top + t.y) * mm, t.w * mm, t.h * mm);
        if (t.shaded) painter.fillRect(cell, QColor(192, 192, 192));  // silver
        QPen pen(Qt::black);
        pen.setWidthF(std::max(0.2 * mm, 1.0));
        painter.setPen(pen);
        if (t.box) painter.drawRect(cell);
        // A little room inside a framed cell.
        const double pad = t.box ? 0.8 * mm : 0;
        const QRectF room = cell.adjusted(pad, 0, -pad, 0);
        const QString text = pageText(t.text, pageNumber);
        painter.setFont(fonts.fitting(t, text, room.width(), mm));
        painter.drawText(room, flagsOf(t.align) | Qt::TextSingleLine, text);
    }
}

} // namespace

void paintPage(QPainter& painter, const Page& page, double dotsPerMm, double leftMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    Fonts fonts(painter.device());
    for (const PlacedBand& b : page.bands) {
        // A band taller than the body (on a page of its own) stops above the footer.
        const bool cut = b.y < page.bodyBottom && b.y + b.band->height > page.bodyBottom;
        painter.setClipping(cut);
        if (cut)
            painter.setClipRect(QRectF(0, b.y * dotsPerMm, painter.device()->width(),
                                       (page.bodyBottom - b.y) * dotsPerMm));
        paintBand(painter, fonts, *b.band, leftMm, b.y, page.number, dotsPerMm);
    }
    painter.setClipping(false);
    painter.restore();
}

QImage pageImage(const Report& report, const Page& page, double dotsPerMm) {
    QImage image(static_cast<int>(std::lround(report.pageWidth() * dotsPerMm)),
                 static_cast<int>(std::lround(report.pageHeight() * dotsPerMm)), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dotsPerMm * 1000));
    image.setDotsPerMeterY(static_cast<int>(dotsPerMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, page, dotsPerMm, report.marginMm);
    return image;
}

} // namespace velmora::reports
