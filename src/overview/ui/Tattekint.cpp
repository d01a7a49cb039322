#include "overview/ui/Tattekint.h"

#include "overview/OverviewReport.h"
#include "overview/ui/Tnemfiz.h"
#include "register/Register.h"
#include "reports/Numbers.h"
#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"
#include "widgets/Help.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace velmora::ui {

namespace {

using overview::SheetState;

QTableWidget* grid(QWidget* parent, const char* name) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(name);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->setAlternatingRowColors(true);
    return t;
}

QChartView* chartView(QWidget* parent, const char* name) {
    auto* v = new QChartView(parent);
    v->setObjectName(name);
    v->setRenderHint(QPainter::Antialiasing);
    v->setMinimumSize(360, 240);
    return v;
}

QPushButton* button(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QGroupBox* box(QWidget* parent, const char* title, QWidget* content) {
    auto* g = new QGroupBox(QString::fromUtf8(title), parent);
    auto* l = new QVBoxLayout(g);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(content);
    return g;
}

QTableWidgetItem* cell(const QString& text, bool number, bool marked = false) {
    auto* item = new QTableWidgetItem(text);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (marked) {
        item->setForeground(QColor(Qt::white));
        item->setBackground(QColor(190, 30, 30));
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
    }
    return item;
}

QStringList monthNames() {
    return {"jan.", "febr.", "márc.", "ápr.", "máj.", "jún.", "júl.", "aug.", "szept.", "okt.", "nov.", "dec."};
}

QValueAxis* valueAxis(double top) {
    auto* axis = new QValueAxis;
    axis->setRange(0, std::max(1.0, top * 1.1));
    axis->setLabelFormat("%.0f");
    return axis;
}

} // namespace

Tattekint::Tattekint(QWidget* parent, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                     OverviewLinks links)
    : QDialog(parent), session_(session), db_(dbs), dialogs_(dialogs), links_(std::move(links)), guard_(dialogs, &dbs) {
    setObjectName("Attekintes");
    figyelem = new QLabel(this);
    figyelem->setObjectName("figyelem");
    figyelem->setWordWrap(true);
    figyelem->setStyleSheet("QLabel { color: #a01010; font-weight: bold; }");
    napkeret = chartView(this, "napkeret");
    halmozott = chartView(this, "halmozott");
    hataridok = new QLabel(this);
    hataridok->setObjectName("hataridok");
    hataridok->setWordWrap(true);
    hataridok->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    hataridok->setTextFormat(Qt::RichText);
    szamok = grid(this, "szamok");
    allapotok = grid(this, "allapotok");
    apolok = grid(this, "apolok");
    nemfizetett = button(this, "nemfizetett", "Ki nem fizetett napok");
    nyomtat = button(this, "nyomtat", "Nyomtatás");
    kilep = button(this, "kilep", "Kilépés");
    nemfiz = new Tnemfiz(this, session, dbs, dialogs, links_.viewSheet);

    auto* charts = new QGridLayout;
    charts->addWidget(box(this, "Napok havonta a szerződött napkerethez", napkeret), 0, 0);
    charts->addWidget(box(this, "Halmozott napok", halmozott), 0, 1);
    charts->addWidget(box(this, "Határidők és mentés", hataridok), 0, 2);
    charts->addWidget(box(this, "Napkeret havonta", szamok), 1, 0);
    charts->addWidget(box(this, "Lapok állapot szerint", allapotok), 1, 1);
    charts->addWidget(box(this, "Szakápolók kapacitása (nap / keret)", apolok), 1, 2);
    charts->setRowStretch(0, 1);
    charts->setRowStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(nemfizetett);
    buttons->addWidget(nyomtat);
    buttons->addStretch();
    buttons->addWidget(kilep);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(figyelem);
    layout->addLayout(charts, 1);
    layout->addLayout(buttons);

    guard_.onClick(nemfizetett, this, [this] { nemfiz->run(); });
    guard_.onClick(nyomtat, this, [this] { print(); });
    connect(kilep, &QPushButton::clicked, this, &QDialog::reject);
    for (QTableWidget* t : {szamok, allapotok, apolok}) {
        connect(t, &QTableWidget::cellDoubleClicked, this,
                [this, t](int row, int column) { guard_.run([&] { cellChosen(t, row, column); }); });
        t->installEventFilter(this);
    }
    InstallHelpKey(this);
    MakeResizable(this, QSize(1280, 760));
}

void Tattekint::run() {
    refresh();
    szamok->setFocus();
    exec();
}

void Tattekint::refresh() {
    QApplication::processEvents();
    dialogs_.status(0, overview::kOverviewStatus);
    overview_ = overview::makeOverview(db_, session_, dialogs_);
    fill();
}

std::string Tattekint::yearFilter() const { return reg::yearFilter(session_.mIdoszak); }

void Tattekint::fill() {
    setWindowTitle(qs(std::string(overview::kOverviewTitle) + " – " + overview_.year + ". év" +
                      (overview_.provider.empty() ? "" : " – " + overview_.provider)));
    fillCharts();
    fillTexts();
    fillBudget();
    fillStates();
    fillNurses();
}

void Tattekint::fillCharts() {
    const overview::YearBudget& b = overview_.budget;
    auto* recorded = new QBarSet(QStringLiteral("Rögzített nap"));
    auto* contract = new QLineSeries;
    contract->setName(QStringLiteral("Szerződött nap"));
    double top = 0;
    for (size_t i = 0; i < b.months.size(); ++i) {
        *recorded << b.months[i].recordedDays;
        top = std::max<double>(top, b.months[i].recordedDays);
        if (b.months[i].contractDays) {
            contract->append(double(i), *b.months[i].contractDays);
            top = std::max<double>(top, *b.months[i].contractDays);
        }
    }
    recorded->setColor(QColor(70, 120, 180));
    auto* bars = new QBarSeries;
    bars->append(recorded);
    // A bar clicked opens the register on that month's sheets.
    connect(recorded, &QBarSet::clicked, this,
            [this](int index) { guard_.run([&] { openMonth(index, SheetState::Recorded); }); });
    auto* chart = new QChart;
    chart->addSeries(bars);
    auto* months = new QBarCategoryAxis;
    // Numbers: the month names are cut short on a chart of twelve slots.
    for (int m = 1; m <= 12; ++m) months->append(QString::number(m));
    chart->addAxis(months, Qt::AlignBottom);
    auto* days = valueAxis(top);
    chart->addAxis(days, Qt::AlignLeft);
    bars->attachAxis(months);
    bars->attachAxis(days);
    if (b.anyContract()) {
        contract->setPen(QPen(QColor(200, 40, 40), 2.5));
        chart->addSeries(contract);
        contract->attachAxis(months);
        contract->attachAxis(days);
    } else {
        delete contract;
        chart->setTitle(QStringLiteral("Nincs érvényes szerződés: csak a rögzített napok látszanak."));
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    QChart* old = napkeret->chart();
    napkeret->setChart(chart);
    delete old;

    auto* running = new QChart;
    auto* cumRecorded = new QLineSeries;
    cumRecorded->setName(QStringLiteral("Rögzített, halmozva"));
    auto* cumContract = new QLineSeries;
    cumContract->setName(QStringLiteral("Szerződött, halmozva"));
    const auto r = b.cumulativeRecorded(), c = b.cumulativeContract();
    for (size_t i = 0; i < r.size(); ++i) {
        cumRecorded->append(double(i) + 1, r[i]);
        cumContract->append(double(i) + 1, c[i]);
    }
    cumRecorded->setPen(QPen(QColor(70, 120, 180), 3));
    cumContract->setPen(QPen(QColor(200, 40, 40), 2, Qt::DashLine));
    running->addSeries(cumRecorded);
    if (b.anyContract()) running->addSeries(cumContract);
    else delete cumContract;
    auto* x = new QValueAxis;
    x->setRange(1, 12);
    x->setTickCount(12);
    x->setLabelFormat("%.0f");
    running->addAxis(x, Qt::AlignBottom);
    auto* y = valueAxis(std::max(r.empty() ? 0 : r.back(), c.empty() ? 0 : c.back()));
    running->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : running->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    running->legend()->setAlignment(Qt::AlignBottom);
    old = halmozott->chart();
    halmozott->setChart(running);
    delete old;
}

void Tattekint::fillTexts() {
    QStringList notes;
    for (const std::string& n : overview_.notes) notes << qs(n);
    figyelem->setText(notes.join("\n"));
    figyelem->setVisible(!notes.isEmpty());

    const overview::Deadlines& d = overview_.deadlines;
    QString html = "<b>Új lap rögzíthető (" + qs(d.today.text()) + " szerint):</b><br>";
    for (const auto& p : d.newSheets) html += qs(p.period) + ": " + qs(p.lastDay.text()) + "-ig<br>";
    if (d.newSheets.empty()) html += QStringLiteral("a(z) ") + qs(overview_.period) + " időszakra már nem<br>";
    if (d.correction)
        html += "<b>Javítható:</b> a(z) " + qs(d.correction->period) + " lapjai " + qs(d.correction->lastDay.text()) +
                "-ig<br>";
    html += "<b>Adatküldés (" + qs(overview_.period) + "):</b> " +
            (d.currentShipped ? "elkészült " + qs(*d.currentShipped) : QStringLiteral("<font color=#a01010>még nem készült el</font>")) +
            "<br><b>RUV válasza:</b><br>";
    for (const auto& a : d.answers)
        html += qs(a.period) + ": " +
                (a.answered.empty() ? QStringLiteral("<font color=#a01010>még nincs beolvasva</font>")
                                    : "beolvasva " + qs(a.answered)) +
                "<br>";
    if (d.answers.empty()) html += QStringLiteral("nincs elküldött időszak az évben<br>");
    html += "<b>Utolsó mentés:</b> ";
    if (overview_.lastBackup) {
        QString where = qs(overview_.lastBackup->where).toHtmlEscaped();
        where.replace('\n', "<br>");
        const QString when = qs(overview_.lastBackup->when);
        html += (overview_.backupStale ? "<font color=#a01010>" + when + "</font>" : when) + "<br>" + where;
    } else {
        html += QStringLiteral("<font color=#a01010>még nem készült</font>");
    }
    hataridok->setText(html);
}

void Tattekint::fillBudget() {
    const overview::YearBudget& b = overview_.budget;
    szamok->clear();
    szamok->setColumnCount(6);
    szamok->setHorizontalHeaderLabels({"Hónap", "Szerződött", "Rögzített", "Eltérés", "Rögzített Ft", "Maradvány Ft"});
    szamok->setRowCount(static_cast<int>(b.months.size()) + 1);
    int row = 0;
    for (const overview::MonthBudget& m : b.months) {
        szamok->setItem(row, 0, cell(qs(m.period), false, m.over()));
        szamok->setItem(row, 1, cell(m.contractDays ? QString::number(*m.contractDays) : QStringLiteral("nincs"), true));
        szamok->setItem(row, 2, cell(QString::number(m.recordedDays), true, m.over()));
        szamok->setItem(row, 3, cell(m.contractDays ? QString::number(m.recordedDays - *m.contractDays) : QString(), true));
        szamok->setItem(row, 4, cell(qs(reports::huMoney(m.recordedAmount, 0)), true));
        szamok->setItem(row, 5, cell(m.residue ? qs(reports::huMoney(db::Decimal::fromInt(*m.residue), 0)) : QString(), true));
        ++row;
    }
    szamok->setItem(row, 0, cell(QStringLiteral("Év"), false));
    szamok->setItem(row, 1, cell(QString::number(b.contractDays()), true));
    szamok->setItem(row, 2, cell(QString::number(b.recordedDays()), true));
    szamok->setItem(row, 3, cell(QString::number(b.recordedDays() - b.contractDays()), true));
    szamok->setItem(row, 4, cell(qs(reports::huMoney(b.recordedAmount(), 0)), true));
    szamok->resizeColumnsToContents();
}

void Tattekint::fillStates() {
    allapotok->clear();
    allapotok->setColumnCount(overview::kStates + 2);
    QStringList heads{"Hónap"};
    for (int s = 0; s < overview::kStates; ++s) heads << qs(overview::stateName(SheetState(s)));
    heads << QStringLiteral("Nem fizetett nap");
    allapotok->setHorizontalHeaderLabels(heads);
    allapotok->setRowCount(static_cast<int>(overview_.states.months.size()) + 1);
    int row = 0;
    for (const overview::MonthStates& m : overview_.states.months) {
        allapotok->setItem(row, 0, cell(qs(m.period), false));
        for (int s = 0; s < overview::kStates; ++s)
            allapotok->setItem(row, s + 1,
                               cell(QString::number(m.sheets[size_t(s)]), true,
                                    SheetState(s) == SheetState::NotPaid && m.sheets[size_t(s)] > 0));
        allapotok->setItem(row, overview::kStates + 1, cell(QString::number(m.daysNotPaid), true, m.daysNotPaid > 0));
        ++row;
    }
    allapotok->setItem(row, 0, cell(QStringLiteral("Év"), false));
    for (int s = 0; s < overview::kStates; ++s)
        allapotok->setItem(row, s + 1, cell(QString::number(overview_.states.total(SheetState(s))), true));
    allapotok->resizeColumnsToContents();
}

void Tattekint::fillNurses() {
    apolok->clear();
    apolok->setColumnCount(13);
    QStringList heads{"Szakápoló"};
    heads << monthNames();
    apolok->setHorizontalHeaderLabels(heads);
    apolok->setRowCount(static_cast<int>(overview_.nurses.nurses.size()));
    int row = 0;
    for (const overview::NurseLoad& n : overview_.nurses.nurses) {
        auto* name = cell(qs(n.nev), false);
        name->setToolTip(qs("TAJ: " + n.taj + (n.noHours() ? " – nincs óraszáma a szerződésben" : "")));
        apolok->setItem(row, 0, name);
        for (size_t i = 0; i < n.months.size(); ++i) {
            const auto& m = n.months[i];
            apolok->setItem(row, int(i) + 1,
                            cell(m ? QString("%1/%2").arg(m->napdb).arg(m->keret) : QString(), true, m && m->over()));
        }
        ++row;
    }
    apolok->resizeColumnsToContents();
}

void Tattekint::cellChosen(QTableWidget* table, int row, int column) {
    const int months = static_cast<int>(overview_.budget.months.size());
    const int month = row < months ? row : -1;  // the last row is the year's
    if (table == szamok) {
        openMonth(month, SheetState::Recorded);
    } else if (table == allapotok) {
        const int state = column - 1;
        if (state == overview::kStates) openMonth(month, SheetState::NotPaid);
        else openMonth(month, state < 0 ? SheetState::Recorded : SheetState(state));
    } else if (table == apolok && row < static_cast<int>(overview_.nurses.nurses.size())) {
        openNurse(column - 1, overview_.nurses.nurses[size_t(row)].taj);
    }
}

void Tattekint::openMonth(int month, SheetState state) {
    if (!links_.openRegister) return;
    const std::string period = month >= 0 && month < 12 ? overview_.budget.months[size_t(month)].period : "";
    links_.openRegister(overview::sheetsFilter(yearFilter(), overview_.states.keys(period, state)));
    refresh();
}

void Tattekint::openNurse(int month, const std::string& taj) {
    if (!links_.openRegister) return;
    const std::string period = month >= 0 && month < 12 ? overview_.budget.months[size_t(month)].period : "";
    links_.openRegister(overview::sheetsFilter(yearFilter(), overview_.states.nurseKeys(period, taj)));
    refresh();
}

bool Tattekint::eventFilter(QObject* watched, QEvent* event) {
    auto* table = qobject_cast<QTableWidget*>(watched);
    if (table && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table->currentRow() >= 0) {
            guard_.run([&] { cellChosen(table, table->currentRow(), table->currentColumn()); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tattekint::print() {
    showReport(this, overview::overviewReport(overview_, reports::printedAtNow()), overview::overviewTable(overview_),
               session_, dialogs_);
}

} // namespace velmora::ui
