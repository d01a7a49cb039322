#include "reports/Bands.h"

namespace velmora::reports {

Band& Band::text(double x, double w, std::string t, Align align, double sizePt, bool bold) {
    // A line of text is as tall as its font with a little air.
    const double lineHeight = sizePt * 0.3528 * 1.25;
    TextItem item;
    item.x = x;
    item.w = w;
    item.h = height > 0 ? height : lineHeight;
    item.text = std::move(t);
    item.align = align;
    item.sizePt = sizePt;
    item.bold = bold;
    return cell(std::move(item));
}

Band& Band::cell(TextItem item) {
    if (item.y + item.h > height) height = item.y + item.h;
    texts.push_back(std::move(item));
    return *this;
}

Band& Band::fill(double x, double y, double w, double h, int grey) {
    fills.push_back({x, y, w, h, grey});
    return *this;
}

Band& Band::line(double x1, double y1, double x2, double y2, double widthMm) {
    lines.push_back({x1, y1, x2, y2, widthMm});
    return *this;
}

Band& Band::underline(double width, double widthMm) { return line(0, height, width, height, widthMm); }

bool Report::noRows() const {
    for (const Group& g : groups)
        if (!g.rows.empty()) return false;
    return true;
}

} // namespace velmora::reports
