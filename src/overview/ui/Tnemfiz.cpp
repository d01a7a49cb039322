#include "overview/ui/Tnemfiz.h"

#include "overview/SheetRows.h"
#include "reports/Numbers.h"
#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"
#include "widgets/Help.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"
#include "widgets/TableSave.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

QLineEdit* periodField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setInputMask("9999.99");
    e->setFixedWidth(80);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

Tnemfiz::Tnemfiz(QWidget* parent, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                 std::function<void(const sheets::SheetKey&)> viewSheet)
    : QDialog(parent), session_(session), db_(dbs), dialogs_(dialogs), viewSheet_(std::move(viewSheet)),
      guard_(dialogs, &dbs) {
    setObjectName("Nemfizetett");
    setWindowTitle(qs(overview::kUnpaidTitle));
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Időszaktól:"), this));
    top->addWidget(tol = periodField(this, "tol"));
    top->addWidget(new QLabel(QStringLiteral("ig:"), this));
    top->addWidget(ig = periodField(this, "ig"));
    top->addWidget(listaz = button(this, "listaz", "Lista"));
    top->addStretch();
    lapok = new QTableWidget(0, 8, this);
    lapok->setObjectName("lapok");
    lapok->setHorizontalHeaderLabels({"Időszak", "Sorszám", "TAJ szám", "Név", "Napszám", "Elszámolt", "Nem fizetett", "Ft"});
    lapok->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lapok->setSelectionBehavior(QAbstractItemView::SelectRows);
    lapok->setSelectionMode(QAbstractItemView::SingleSelection);
    lapok->verticalHeader()->hide();
    lapok->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    lapok->installEventFilter(this);
    osszesen = new QLabel(this);
    osszesen->setObjectName("osszesen");
    osszesen->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(nyomtat = button(this, "nyomtat", "Nyomtatás"));
    buttons->addWidget(excel = button(this, "excel", "Excel"));
    buttons->addWidget(csv = button(this, "csv", "CSV"));
    buttons->addStretch();
    buttons->addWidget(kilep = button(this, "kilep", "Kilépés"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lapok, 1);
    layout->addWidget(osszesen);
    layout->addLayout(buttons);
    guard_.onClick(listaz, this, [this] { list(); });
    guard_.onClick(nyomtat, this, [this] { print(); });
    guard_.onClick(excel, this, [this] { saveTableInLista(overview::unpaidTable(list_), reports::TableFormat::Xlsx, session_, dialogs_); });
    guard_.onClick(csv, this, [this] { saveTableInLista(overview::unpaidTable(list_), reports::TableFormat::Csv, session_, dialogs_); });
    connect(kilep, &QPushButton::clicked, this, &QDialog::reject);
    connect(lapok, &QTableWidget::cellDoubleClicked, this, [this] { guard_.run([this] { openChosen(); }); });
    // Enter in a period field lists, as the button does.
    for (QLineEdit* e : {tol, ig}) connect(e, &QLineEdit::returnPressed, this, [this] { guard_.run([this] { list(); }); });
    InstallHelpKey(this);
    MakeResizable(this, QSize(820, 480));
}

void Tnemfiz::run() {
    tol->setText(qs(session_.mIdoszak.substr(0, 4) + ".01"));
    ig->setText(qs(session_.mIdoszak));
    list();
    lapok->setFocus();
    exec();
}

bool Tnemfiz::list() {
    const std::string from = ss(tol->text()), to = ss(ig->text());
    if (const auto problem = overview::rangeProblem(from, to)) {
        dialogs_.error(*problem);
        tol->setFocus();
        return false;
    }
    list_ = overview::unpaidDays(db_, from, to);
    fill();
    return true;
}

void Tnemfiz::fill() {
    lapok->setRowCount(static_cast<int>(list_.sheets.size()));
    int row = 0;
    for (const overview::UnpaidSheet& u : list_.sheets) {
        const QStringList cells{qs(u.key.idoszak), qs(u.key.number()), qs(u.taj), qs(u.nev),
                                QString::number(u.recorded), QString::number(u.billed), QString::number(u.notPaid),
                                qs(reports::huMoney(u.amount, 0))};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 4) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            lapok->setItem(row, c, item);
        }
        ++row;
    }
    lapok->resizeColumnsToContents();
    if (row > 0) lapok->selectRow(0);
    std::string text = list_.sheets.empty()
                           ? std::string(overview::kNoUnpaid)
                           : "Összesen " + std::to_string(list_.sheets.size()) + " lap, " + std::to_string(list_.days) +
                                 " nap, " + reports::huMoney(list_.total, 0) + " Ft.";
    if (!list_.unanswered.empty()) {
        text += "\nA RUV válasza még nincs beolvasva: ";
        for (size_t i = 0; i < list_.unanswered.size(); ++i) text += (i ? ", " : "") + list_.unanswered[i];
        text += " (ezek lapjai nem szerepelnek a listán).";
    }
    osszesen->setText(qs(text));
    for (QPushButton* b : {nyomtat, excel, csv}) b->setEnabled(!list_.sheets.empty());
}

void Tnemfiz::openChosen() {
    const int row = lapok->currentRow();
    if (row < 0 || row >= static_cast<int>(list_.sheets.size()) || !viewSheet_) return;
    viewSheet_(list_.sheets[size_t(row)].key);
    lapok->setFocus();
}

void Tnemfiz::print() {
    if (!showReport(this, overview::unpaidReport(list_, reports::printedAtNow()), overview::unpaidTable(list_), session_,
                    dialogs_))
        dialogs_.information(overview::kNoUnpaid);
}

bool Tnemfiz::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lapok && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guard_.run([this] { openChosen(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora::ui
