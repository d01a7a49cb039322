#include "overview/OverviewReport.h"

#include "reports/Numbers.h"
#include "reports/PageFrame.h"

#include <algorithm>
#include <cmath>

namespace velmora::overview {

namespace {

using reports::Align;
using reports::Band;

constexpr double kAxisLabel = 8;  // mm left of the plot for the scale
constexpr double kTitle = 6;      // mm above the plot for the title
constexpr double kMonths = 5;     // mm below the plot for the months

// A text of one line at (x, y): the band's own text() would stretch it to
// the chart band's height.
void label(Band& band, double x, double y, double w, const std::string& text, Align align, double sizePt, bool bold = false) {
    reports::TextItem t;
    t.x = x;
    t.y = y;
    t.w = w;
    t.h = sizePt * 0.3528 * 1.25;
    t.text = text;
    t.align = align;
    t.sizePt = sizePt;
    t.bold = bold;
    band.cell(t);
}

double maxOf(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

// A round top for the scale: 1, 2 or 5 times a power of ten.
double roundTop(double value) {
    if (value <= 0) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= value) return step * power;
    return 10 * power;
}

std::string whole(double v) { return std::to_string(static_cast<long long>(std::llround(v))); }

struct Plot {
    double left, top, width, height, top_value;
    double y(double v) const { return top + height - height * std::clamp(v / top_value, 0.0, 1.0); }
    double slot(size_t count) const { return width / static_cast<double>(std::max<size_t>(count, 1)); }
};

Plot frame(Band& band, double x, double width, double height, const std::string& title, double top, size_t months) {
    Plot p{x + kAxisLabel, kTitle, width - kAxisLabel, height - kTitle - kMonths, roundTop(top)};
    label(band, x, 0, width, title, Align::Left, 9, true);
    band.line(p.left, p.top, p.left, p.top + p.height);
    band.line(p.left, p.top + p.height, p.left + p.width, p.top + p.height);
    label(band, x, p.top - 1.5, kAxisLabel - 1, whole(p.top_value), Align::Right, 6);
    label(band, x, p.top + p.height - 1.5, kAxisLabel - 1, "0", Align::Right, 6);
    (void)months;
    return p;
}

void monthsBelow(Band& band, const Plot& p, const std::vector<std::string>& labels) {
    const double slot = p.slot(labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
        label(band, p.left + slot * double(i), p.top + p.height + 0.5, slot, labels[i], Align::Center, 6);
    }
}

std::vector<std::string> monthLabels(const Overview& o) {
    std::vector<std::string> out;
    for (const MonthBudget& m : o.budget.months) out.push_back(monthLabel(m.period));
    return out;
}

Band heading(const std::string& text) {
    Band b;
    b.height = 8;
    b.text(0, 200, text, Align::Left, 10, true);
    b.texts.back().y = 2;
    return b;
}

Band textLine(const std::string& text, bool bold = false) {
    Band b;
    b.text(0, 277, text, Align::Left, 9, bold);
    b.height = b.texts.back().h;
    return b;
}

// Cells at fixed places across the landscape page.
Band cells(const std::vector<std::pair<double, double>>& at, const std::vector<std::string>& values, bool bold = false) {
    Band b;
    for (size_t i = 0; i < values.size() && i < at.size(); ++i)
        b.text(at[i].first, at[i].second, values[i], i == 0 ? Align::Left : Align::Right, 8, bold);
    b.height = b.texts.empty() ? 4 : b.texts.back().h;
    return b;
}

std::vector<std::pair<double, double>> columnsFrom(double first, double width, size_t count) {
    std::vector<std::pair<double, double>> at{{0, first}};
    for (size_t i = 0; i < count; ++i) at.push_back({first + width * double(i), width});
    return at;
}

reports::Group chartsGroup(const Overview& o) {
    ChartSeries recorded{"Rögzített nap", {}}, contract{"Szerződött nap", {}};
    std::vector<bool> over;
    for (const MonthBudget& m : o.budget.months) {
        recorded.values.push_back(m.recordedDays);
        contract.values.push_back(m.contractDays.value_or(0));
        over.push_back(m.over());
    }
    Band charts;
    charts.height = 70;
    barChart(charts, 0, 135, 66, "Napok havonta (szürke oszlop: rögzített, vonal: szerződött)", recorded,
             o.budget.anyContract() ? &contract : nullptr, over);
    std::vector<ChartSeries> running;
    ChartSeries cumRecorded{"Rögzített, halmozva", {}}, cumContract{"Szerződött, halmozva", {}};
    for (int v : o.budget.cumulativeRecorded()) cumRecorded.values.push_back(v);
    for (int v : o.budget.cumulativeContract()) cumContract.values.push_back(v);
    running.push_back(cumRecorded);
    if (o.budget.anyContract()) running.push_back(cumContract);
    lineChart(charts, 142, 135, 66, "Halmozott napok (vastag: rögzített, vékony: szerződött)", running);
    reports::Group g;
    g.header = heading("Szerződéses napkeret");
    g.rows.push_back(std::move(charts));
    return g;
}

reports::Group budgetGroup(const Overview& o) {
    const std::vector<std::pair<double, double>> at{{0, 25},  {25, 30}, {55, 30},  {85, 30}, {115, 35},
                                                    {150, 35}, {185, 30}, {215, 30}, {245, 32}};
    reports::Group g;
    g.header = cells(at, {"Hónap", "Szerződött nap", "Rögzített nap", "Eltérés", "Szerződött Ft", "Rögzített Ft",
                          "Területi pótlék", "Maradvány Ft", "Halmozott nap"},
                     true);
    const std::vector<int> cumulative = o.budget.cumulativeRecorded();
    for (size_t i = 0; i < o.budget.months.size(); ++i) {
        const MonthBudget& m = o.budget.months[i];
        const std::string contracted = m.contractDays ? std::to_string(*m.contractDays) : "nincs szerződés";
        const std::string diff = m.contractDays ? std::to_string(m.recordedDays - *m.contractDays) : "";
        g.rows.push_back(cells(at, {m.period + (m.over() ? " !" : ""), contracted, std::to_string(m.recordedDays), diff,
                                    m.contractDays ? reports::huMoney(m.contractAmount, 0) : "",
                                    reports::huMoney(m.recordedAmount, 0), reports::huMoney(m.supplement, 0),
                                    m.residue ? reports::huMoney(db::Decimal::fromInt(*m.residue), 0) : "",
                                    std::to_string(cumulative[i])},
                               m.over()));
    }
    g.footer = cells(at, {"Év összesen", std::to_string(o.budget.contractDays()), std::to_string(o.budget.recordedDays()),
                          std::to_string(o.budget.recordedDays() - o.budget.contractDays()),
                          reports::huMoney(o.budget.contractAmount(), 0), reports::huMoney(o.budget.recordedAmount(), 0)},
                     true);
    return g;
}

reports::Group nursesGroup(const Overview& o) {
    const auto at = columnsFrom(61, 18, 12);
    reports::Group g;
    g.newPage = true;
    std::vector<std::string> head{"Szakápolók kapacitása (napok / keret)"};
    for (const std::string& l : monthLabels(o)) head.push_back(l);
    g.header = cells(at, head, true);
    for (const NurseLoad& n : o.nurses.nurses) {
        std::vector<std::string> row{n.nev + " " + n.taj};
        bool over = false;
        for (const auto& m : n.months) {
            row.push_back(m ? std::to_string(m->napdb) + "/" + std::to_string(m->keret) + (m->over() ? " !" : "") : "");
            over = over || (m && m->over());
        }
        g.rows.push_back(cells(at, row, over));
    }
    if (o.nurses.nurses.empty()) g.rows.push_back(textLine("Nincs a szerződésben dolgozó."));
    return g;
}

reports::Group statesGroup(const Overview& o) {
    const auto at = columnsFrom(20, 28, kStates + 1);
    reports::Group g;
    std::vector<std::string> head{"Hónap"};
    for (int s = 0; s < kStates; ++s) head.push_back(stateName(SheetState(s)));
    head.push_back("Nem fizetett nap");
    g.header = cells(at, head, true);
    for (const MonthStates& m : o.states.months) {
        std::vector<std::string> row{m.period};
        for (int n : m.sheets) row.push_back(std::to_string(n));
        row.push_back(std::to_string(m.daysNotPaid));
        g.rows.push_back(cells(at, row));
    }
    for (reports::TextItem& t : g.header->texts) t.sizePt = 7;
    return g;
}

reports::Group deadlinesGroup(const Overview& o) {
    reports::Group g;
    g.header = heading("Határidők (" + o.deadlines.today.text() + " szerint)");
    for (const PeriodDeadline& d : o.deadlines.newSheets)
        g.rows.push_back(textLine("Új lap a(z) " + d.period + " időszakra rögzíthető eddig: " + d.lastDay.text()));
    if (o.deadlines.newSheets.empty())
        g.rows.push_back(textLine("A(z) " + o.period + " időszakra már nem rögzíthető új lap."));
    if (o.deadlines.correction)
        g.rows.push_back(textLine("A(z) " + o.deadlines.correction->period + " időszak lapjai javíthatók eddig: " +
                                  o.deadlines.correction->lastDay.text()));
    g.rows.push_back(textLine(o.deadlines.currentShipped
                                  ? "A(z) " + o.period + " időszak adatküldése elkészült: " + *o.deadlines.currentShipped
                                  : "A(z) " + o.period + " időszak adatküldése még nem készült el."));
    for (const FundAnswer& a : o.deadlines.answers)
        g.rows.push_back(textLine(a.period + ": elküldve " + a.shipped + ", RUV válasz " +
                                  (a.answered.empty() ? "még nincs beolvasva" : "beolvasva " + a.answered)));
    Band backupHead = heading("Biztonsági mentés");
    g.rows.push_back(backupHead);
    if (o.lastBackup) {
        std::string where = o.lastBackup->where;
        std::replace(where.begin(), where.end(), '\n', ',');
        g.rows.push_back(textLine("Utolsó mentés: " + o.lastBackup->when + (where.empty() ? "" : ", helye: " + where),
                                  o.backupStale));
    } else {
        g.rows.push_back(textLine("Még nem készült biztonsági mentés.", true));
    }
    return g;
}

} // namespace

std::string monthLabel(const std::string& period) { return period.size() >= 7 ? period.substr(5, 2) : period; }

void barChart(Band& band, double x, double width, double height, const std::string& title, const ChartSeries& bars,
              const ChartSeries* marks, const std::vector<bool>& over) {
    const double top = std::max(maxOf(bars.values), marks ? maxOf(marks->values) : 0.0);
    const Plot p = frame(band, x, width, height, title, top, bars.values.size());
    const double slot = p.slot(bars.values.size());
    for (size_t i = 0; i < bars.values.size(); ++i) {
        const double left = p.left + slot * double(i) + slot * 0.2;
        const double y = p.y(bars.values[i]);
        const bool isOver = i < over.size() && over[i];
        band.fill(left, y, slot * 0.6, p.top + p.height - y, isOver ? 64 : 170);
        if (marks && i < marks->values.size() && marks->values[i] > 0) {
            const double my = p.y(marks->values[i]);
            band.line(p.left + slot * double(i) + slot * 0.05, my, p.left + slot * double(i + 1) - slot * 0.05, my, 0.6);
        }
    }
    std::vector<std::string> labels;
    for (size_t i = 0; i < bars.values.size(); ++i) labels.push_back(i < 9 ? "0" + std::to_string(i + 1) : std::to_string(i + 1));
    monthsBelow(band, p, labels);
}

void lineChart(Band& band, double x, double width, double height, const std::string& title,
               const std::vector<ChartSeries>& lines) {
    double top = 0;
    size_t count = 0;
    for (const ChartSeries& s : lines) {
        top = std::max(top, maxOf(s.values));
        count = std::max(count, s.values.size());
    }
    const Plot p = frame(band, x, width, height, title, top, count);
    const double slot = p.slot(count);
    for (size_t l = 0; l < lines.size(); ++l) {
        const std::vector<double>& v = lines[l].values;
        for (size_t i = 1; i < v.size(); ++i)
            band.line(p.left + slot * (double(i) - 0.5), p.y(v[i - 1]), p.left + slot * (double(i) + 0.5), p.y(v[i]),
                      l == 0 ? 0.7 : 0.25);
    }
    std::vector<std::string> labels;
    for (size_t i = 0; i < count; ++i) labels.push_back(i < 9 ? "0" + std::to_string(i + 1) : std::to_string(i + 1));
    monthsBelow(band, p, labels);
}

reports::DataTable overviewTable(const Overview& o) {
    using reports::Cell;
    reports::DataTable t;
    t.title = std::string(kOverviewTitle) + " " + o.year;
    t.column("Hónap", 9).column("Szerződött nap", 14).column("Rögzített nap", 13).column("Szerződött Ft", 14);
    t.column("Rögzített Ft", 14).column("Területi pótlék Ft", 17).column("Maradvány Ft", 13);
    for (int s = 0; s < kStates; ++s) t.column(stateName(SheetState(s)), 14);
    t.column("Nem fizetett nap", 15);
    for (size_t i = 0; i < o.budget.months.size(); ++i) {
        const MonthBudget& m = o.budget.months[i];
        auto& r = t.row();
        r[0] = Cell::of(m.period);
        if (m.contractDays) {
            r[1] = Cell::of(*m.contractDays);
            r[3] = Cell::of(m.contractAmount);
        }
        r[2] = Cell::of(m.recordedDays);
        r[4] = Cell::of(m.recordedAmount);
        r[5] = Cell::of(m.supplement);
        if (m.residue) r[6] = Cell::of(static_cast<int64_t>(*m.residue));
        if (i < o.states.months.size()) {
            for (int s = 0; s < kStates; ++s) r[7 + size_t(s)] = Cell::of(o.states.months[i].sheets[size_t(s)]);
            r[7 + kStates] = Cell::of(o.states.months[i].daysNotPaid);
        }
    }
    return t;
}

reports::Report overviewReport(const Overview& o, const std::string& printedAt) {
    reports::Report report;
    report.orientation = reports::Orientation::Landscape;
    report.title = std::string(kOverviewTitle) + " " + o.year;
    report.pageHeader =
        reports::listHeader(report, std::string(kOverviewTitle) + " – " + o.year + ". év", o.provider, {});
    report.pageFooter = reports::listFooter(report, printedAt);
    if (!o.notes.empty()) {
        reports::Group notes;
        notes.header = heading("Figyelem");
        for (const std::string& n : o.notes) notes.rows.push_back(textLine("• " + n));
        report.groups.push_back(std::move(notes));
    }
    report.groups.push_back(chartsGroup(o));
    report.groups.push_back(budgetGroup(o));
    report.groups.push_back(nursesGroup(o));
    report.groups.push_back(statesGroup(o));
    report.groups.push_back(deadlinesGroup(o));
    return report;
}

} // namespace velmora::overview
