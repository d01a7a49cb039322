#include "reports/render/OffscreenPainting.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace velmora::reports {

namespace {

char kName[] = "velmora-batch";
QtMessageHandler previousHandler = nullptr;

// A script run by cron or as root has no XDG_RUNTIME_DIR; Qt's remark about
// it would come with every report and says nothing about the report.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (previousHandler) previousHandler(type, context, text);
}

} // namespace

OffscreenPainting::OffscreenPainting() : argv_{kName, nullptr} {
    if (QCoreApplication::instance()) return;
    // No display is needed, nor looked for: a script may run without one,
    // or with a platform set for the user's desktop that is not there.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietHandler);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenPainting::~OffscreenPainting() {
    if (!app_) return;
    app_.reset();
    qInstallMessageHandler(previousHandler);
}

} // namespace velmora::reports
