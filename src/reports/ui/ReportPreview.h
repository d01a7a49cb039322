#pragma once
// The preview of a report: its pages as on paper, paged through and zoomed,
// printed through the system's print dialog, or saved as PDF into LISTA
// under a name that says what it is and when. A report given with its rows
// as a table saves them for a spreadsheet too ("Excel", "CSV").
#include <QDialog>

#include "app/Dialogs.h"
#include "app/Session.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"
#include "reports/PageBreaks.h"
#include "reports/TableExport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace velmora::ui {

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(QWidget* parent, const reports::Report& report, const app::Session& session, app::Dialogs& dialogs,
                  std::optional<reports::DataTable> table = std::nullopt);

    int pageCount() const { return static_cast<int>(breaks_.pages().size()); }
    int currentPage() const { return page_; }  // from 0
    double zoom() const { return zoom_; }

    // The PDF in LISTA; its path, or "" when it could not be written (the
    // message has been shown).
    std::string saveAsPdf();
    // The rows as a workbook or a CSV file in LISTA, the path told; its
    // path, or "" (no table, or the message has been shown).
    std::string saveAsTable(reports::TableFormat format);

    // Picks the printer (and its settings) for "Nyomtatás"; false when the
    // user cancels. The system's print dialog unless set otherwise, as a
    // test does to print on a queue of its own without a dialog.
    using PrinterChoice = std::function<bool(QPrinter&)>;
    void setPrinterChoice(PrinterChoice choice) { choosePrinter_ = std::move(choice); }

    QPushButton* Elozo;
    QPushButton* Kovetkezo;
    QPushButton* Nagyit;
    QPushButton* Kicsinyit;
    QPushButton* Nyomtat;
    QPushButton* Pdf;
    QPushButton* Excel = nullptr;  // only with a table
    QPushButton* Csv = nullptr;
    QPushButton* Bezar;
    QLabel* Oldalszam;
    QLabel* Lap;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void show(int page);
    void setZoom(double zoom);
    void print();

    reports::Report report_;
    std::optional<reports::DataTable> table_;
    reports::PageBreaks breaks_;
    const app::Session& session_;
    app::Dialogs& dialogs_;
    PrinterChoice choosePrinter_;
    QScrollArea* scroll_;
    int page_ = 0;
    double zoom_ = 1.0;
};

// Shows the report's preview modally. False for a report without rows,
// which is not shown: the caller says why in its own words.
bool showReport(QWidget* parent, const reports::Report& report, const app::Session& session, app::Dialogs& dialogs);
// The same with the report's rows, which the preview offers to save for a
// spreadsheet.
bool showReport(QWidget* parent, const reports::Report& report, const reports::DataTable& table,
                const app::Session& session, app::Dialogs& dialogs);

} // namespace velmora::ui
