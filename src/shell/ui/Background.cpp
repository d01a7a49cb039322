#include "shell/ui/Background.h"

#include "app/Version.h"

#include <QLinearGradient>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velmora::ui {

Background::Background(QWidget* parent) : QWidget(parent) {
    setObjectName("Image1");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Background::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();

    // Calm sky: deep blue at the top fading into warm light at the bottom.
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(46, 84, 140));
    sky.setColorAt(0.55, QColor(130, 168, 208));
    sky.setColorAt(1.0, QColor(246, 226, 196));
    p.fillRect(r, sky);

    // A low sun behind the hills.
    const QPointF sun(r.width() * 0.72, r.height() * 0.70);
    QRadialGradient glow(sun, r.height() * 0.45);
    glow.setColorAt(0.0, QColor(255, 240, 200, 220));
    glow.setColorAt(0.12, QColor(255, 222, 160, 160));
    glow.setColorAt(1.0, QColor(255, 222, 160, 0));
    p.fillRect(r, glow);

    // Two rolling hills, the nearer one darker.
    auto hill = [&](double base, double amplitude, double phase, QColor color) {
        QPainterPath path(QPointF(0, r.height()));
        const int steps = 48;
        for (int i = 0; i <= steps; ++i) {
            const double x = r.width() * i / steps;
            const double t = static_cast<double>(i) / steps;
            const double y = r.height() * (base - amplitude * std::sin(3.14159 * (t * 1.6 + phase)));
            path.lineTo(x, y);
        }
        path.lineTo(r.width(), r.height());
        path.closeSubpath();
        p.fillPath(path, color);
    };
    hill(0.78, 0.06, 0.15, QColor(104, 140, 112, 200));
    hill(0.88, 0.05, 0.70, QColor(72, 108, 84, 230));

    // The program title, large and quiet, in the upper left.
    QFont title = font();
    title.setPointSizeF(qMax(18.0, r.height() / 14.0));
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 120));
    p.drawText(r.adjusted(r.width() * 0.05, r.height() * 0.06, 0, 0), Qt::AlignLeft | Qt::AlignTop,
               app::kProgramTitle);
}

} // namespace velmora::ui
