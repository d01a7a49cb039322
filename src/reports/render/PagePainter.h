#pragma once
// Paints a report's pages with QPainter in device units worked out from
// millimetres here (the painter is never scaled: that would scale the
// fonts' point sizes as well), for the screen, the printer and PDF alike.
#include "reports/Bands.h"
#include "reports/PageBreaks.h"

#include <QImage>

class QPainter;

namespace velmora::reports {

// The report's font (metric-compatible with Arial).
inline constexpr const char* kFontFamily = "Liberation Sans";

// Paints `page` with the paper's top-left corner at the painter's origin;
// bands start `leftMm` from the left edge.
void paintPage(QPainter& painter, const Page& page, double dotsPerMm, double leftMm);

// The page as an image, white behind it, `dotsPerMm` dots to the millimetre.
QImage pageImage(const Report& report, const Page& page, double dotsPerMm);

} // namespace velmora::reports
