#include "reports/ui/ReportPreview.h"

#include "app/UserError.h"
#include "reports/ReportFile.h"
#include "reports/render/PagePainter.h"
#include "reports/render/PdfFile.h"
#include "widgets/Buttons.h"
#include "widgets/Help.h"
#include "widgets/TableSave.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora::ui {

namespace {
// At zoom 1 a page shows about as large as on paper on a common screen.
constexpr double kScreenDotsPerMm = 3.8;
constexpr double kMinZoom = 0.5, kMaxZoom = 3.0;
} // namespace

ReportPreview::ReportPreview(QWidget* parent, const reports::Report& report, const app::Session& session,
                             app::Dialogs& dialogs, std::optional<reports::DataTable> table)
    : QDialog(parent), report_(report), table_(std::move(table)), breaks_(report_), session_(session),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QString::fromStdString(report_.title));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    choosePrinter_ = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    Elozo = NamedButton(this, "Elozo", "&Előző oldal");
    Kovetkezo = NamedButton(this, "Kovetkezo", "&Következő oldal");
    Nagyit = NamedButton(this, "Nagyit", "Na&gyítás");
    Kicsinyit = NamedButton(this, "Kicsinyit", "K&icsinyítés");
    Nyomtat = NamedButton(this, "Nyomtat", "&Nyomtatás");
    Pdf = NamedButton(this, "Pdf", "&PDF");
    if (table_) {
        Excel = NamedButton(this, "Excel", "&Excel", saveCommandText(reports::TableFormat::Xlsx));
        Csv = NamedButton(this, "Csv", "&CSV", saveCommandText(reports::TableFormat::Csv));
    }
    Bezar = NamedButton(this, "Bezar", "&Bezárás");
    Oldalszam = new QLabel(this);
    Oldalszam->setObjectName(QStringLiteral("Oldalszam"));
    Lap = new QLabel;
    Lap->setObjectName(QStringLiteral("Lap"));
    Lap->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(Lap);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Dark);

    auto* tools = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Elozo), static_cast<QWidget*>(Kovetkezo), static_cast<QWidget*>(Oldalszam),
                       static_cast<QWidget*>(Nagyit), static_cast<QWidget*>(Kicsinyit)})
        tools->addWidget(w);
    tools->addStretch(1);
    for (QPushButton* b : {Nyomtat, Pdf, Excel, Csv, Bezar})
        if (b) tools->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(scroll_, 1);

    connect(Elozo, &QPushButton::clicked, this, [this] { show(page_ - 1); });
    connect(Kovetkezo, &QPushButton::clicked, this, [this] { show(page_ + 1); });
    connect(Nagyit, &QPushButton::clicked, this, [this] { setZoom(zoom_ * 1.25); });
    connect(Kicsinyit, &QPushButton::clicked, this, [this] { setZoom(zoom_ / 1.25); });
    connect(Nyomtat, &QPushButton::clicked, this, [this] { print(); });
    connect(Pdf, &QPushButton::clicked, this, [this] {
        const std::string path = saveAsPdf();
        if (!path.empty()) dialogs_.information("A lista PDF állományba mentve:\n" + path);
    });
    if (table_) {
        connect(Excel, &QPushButton::clicked, this, [this] { saveAsTable(reports::TableFormat::Xlsx); });
        connect(Csv, &QPushButton::clicked, this, [this] { saveAsTable(reports::TableFormat::Csv); });
    }
    connect(Bezar, &QPushButton::clicked, this, &QDialog::accept);
    InstallHelpKey(this);
    resize(static_cast<int>(report_.pageWidth() * kScreenDotsPerMm) + 80, 760);
    show(0);
}

void ReportPreview::show(int page) {
    page_ = std::clamp(page, 0, pageCount() - 1);
    const QImage image = reports::pageImage(report_, breaks_.pages()[page_], kScreenDotsPerMm * zoom_);
    Lap->setPixmap(QPixmap::fromImage(image));
    Oldalszam->setText(QString::fromUtf8("%1. oldal / %2").arg(page_ + 1).arg(pageCount()));
    Elozo->setEnabled(page_ > 0);
    Kovetkezo->setEnabled(page_ + 1 < pageCount());
    Nagyit->setEnabled(zoom_ * 1.25 <= kMaxZoom);
    Kicsinyit->setEnabled(zoom_ / 1.25 >= kMinZoom);
}

void ReportPreview::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    show(page_);
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown: show(page_ + 1); return;
    case Qt::Key_PageUp: show(page_ - 1); return;
    case Qt::Key_Home: show(0); return;
    case Qt::Key_End: show(pageCount() - 1); return;
    case Qt::Key_Plus: setZoom(zoom_ * 1.25); return;
    case Qt::Key_Minus: setZoom(zoom_ / 1.25); return;
    default: QDialog::keyPressEvent(event);
    }
}

std::string ReportPreview::saveAsPdf() {
    const std::string stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm")).toStdString();
    const std::string path = reports::reportPath(session_.klista, report_.title, stamp);
    try {
        reports::writePdf(report_, path);
    } catch (const app::UserError& e) {
        dialogs_.error(e.what());
        return {};
    }
    return path;
}

std::string ReportPreview::saveAsTable(reports::TableFormat format) {
    if (!table_) return {};
    return saveTableInLista(*table_, format, session_, dialogs_);
}

void ReportPreview::print() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        dialogs_.error("Nincs telepített nyomtató! A lista a PDF gombbal állományba menthető.");
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(report_.orientation == reports::Orientation::Portrait ? QPageLayout::Portrait
                                                                                      : QPageLayout::Landscape);
    // The bands are laid out on A4; the machine's default paper (Letter on
    // some systems) would cut the page's foot.
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    printer.setDocName(QString::fromStdString(report_.title));
    if (!choosePrinter_(printer)) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        dialogs_.error("A nyomtató nem érhető el, a lista nem lett kinyomtatva.");
        return;
    }
    const double dotsPerMm = printer.resolution() / 25.4;
    bool ok = true;
    for (const reports::Page& page : breaks_.pages()) {
        if (&page != &breaks_.pages().front() && !(ok = printer.newPage())) break;
        reports::paintPage(painter, page, dotsPerMm, report_.marginMm);
    }
    if (!painter.end() || !ok) dialogs_.error("A nyomtatás megszakadt, a lista nem lett teljesen kinyomtatva.");
}

bool showReport(QWidget* parent, const reports::Report& report, const app::Session& session, app::Dialogs& dialogs) {
    if (report.noRows()) return false;
    ReportPreview preview(parent, report, session, dialogs);
    preview.exec();
    return true;
}

bool showReport(QWidget* parent, const reports::Report& report, const reports::DataTable& table,
                const app::Session& session, app::Dialogs& dialogs) {
    if (report.noRows()) return false;
    ReportPreview preview(parent, report, session, dialogs, table);
    preview.exec();
    return true;
}

} // namespace velmora::ui
