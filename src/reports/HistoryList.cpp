#include "reports/HistoryList.h"

#include "reports/PageFrame.h"

#include <cctype>

namespace velmora::reports {

namespace history = store::history;

std::vector<HistoryLine> historyLines(const std::vector<history::HistoryEntry>& entries) {
    std::vector<HistoryLine> lines;
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        const HistoryLine head{e->ido, e->felh, e->muvelet, e->sheet(), e->taj, {}, {}, {}, {}, e->sor};
        for (const history::FieldChange& c : e->text.changes) {
            HistoryLine line = head;
            line.mezo = c.field;
            line.regi = c.before;
            line.uj = c.after;
            lines.push_back(std::move(line));
        }
        if (!e->text.note.empty() || e->text.changes.empty()) {
            HistoryLine line = head;
            line.megjegyzes = e->text.note;
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

namespace {

bool digits(const std::string& s) {
    for (unsigned char c : s)
        if (!std::isdigit(c)) return false;
    return !s.empty();
}

// "2024.05" or "202405" as "2024.05"; nothing for anything else.
std::optional<std::string> periodOf(const std::string& typed) {
    std::string s = typed;
    if (s.size() == 7 && s[4] == '.') s.erase(4, 1);
    if (s.size() != 6 || !digits(s)) return std::nullopt;
    const int month = std::stoi(s.substr(4, 2));
    if (month < 1 || month > 12) return std::nullopt;
    return s.substr(0, 4) + "." + s.substr(4, 2);
}

} // namespace

std::optional<std::string> historyChoiceProblem(const HistoryChoice& c) {
    for (const std::string* p : {&c.fromPeriod, &c.toPeriod})
        if (!p->empty() && !periodOf(*p)) return "Hibás időszak: " + *p + " (ÉÉÉÉ.HH alakban kell megadni)!";
    if (!c.fromPeriod.empty() && !c.toPeriod.empty() && *periodOf(c.fromPeriod) > *periodOf(c.toPeriod))
        return std::string("A kezdő időszak nem lehet későbbi a záró időszaknál!");
    if (!c.taj.empty() && (c.taj.size() != 9 || !digits(c.taj)))
        return std::string("A TAJ szám 9 számjegyből áll!");
    return std::nullopt;
}

history::HistoryFilter historyFilter(const HistoryChoice& c) {
    history::HistoryFilter f;
    f.fromPeriod = c.fromPeriod.empty() ? "" : periodOf(c.fromPeriod).value_or("");
    f.toPeriod = c.toPeriod.empty() ? "" : periodOf(c.toPeriod).value_or("");
    f.taj = c.taj;
    f.action = c.action;
    f.user = c.user;
    return f;
}

std::string historyChoiceText(const HistoryChoice& c) {
    const history::HistoryFilter f = historyFilter(c);
    std::vector<std::string> parts;
    if (!f.fromPeriod.empty() || !f.toPeriod.empty()) parts.push_back("Időszak: " + f.fromPeriod + "–" + f.toPeriod);
    if (!f.taj.empty()) parts.push_back("TAJ: " + f.taj);
    if (!f.action.empty()) parts.push_back("Művelet: " + f.action);
    if (!f.user.empty()) parts.push_back("Felhasználó: " + f.user);
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : ", ") + p;
    return text.empty() ? "Minden változás" : text;
}

Report historyReport(const std::vector<HistoryLine>& lines, const std::string& title, const std::string& subtitle,
                     const std::string& printedAt) {
    static const std::vector<Column> columns = {
        {0, 30, "Idő"},        {31, 28, "Felhasználó"}, {60, 26, "Művelet"},    {87, 26, "Lap"},
        {114, 18, "TAJ"},      {133, 18, "Mező"},       {152, 40, "Régi érték"}, {193, 40, "Új érték"},
        {234, 43, "Megjegyzés"}};
    Report report;
    report.title = title;
    report.orientation = Orientation::Landscape;
    report.pageHeader = listHeader(report, title, subtitle, columns);
    report.pageFooter = listFooter(report, printedAt);
    Group rows;
    for (const HistoryLine& l : lines)
        rows.rows.push_back(
            listRow(columns, {l.ido, l.felh, l.muvelet, l.lap, l.taj, l.mezo, l.regi, l.uj, l.megjegyzes}, 8));
    report.groups.push_back(std::move(rows));
    return report;
}

DataTable historyTable(const std::vector<HistoryLine>& lines, const std::string& title) {
    DataTable t;
    t.title = title;
    t.column("Idő", 19).column("Felhasználó", 14).column("Művelet", 18).column("Lap", 16).column("TAJ szám", 11);
    t.column("Mező", 10).column("Régi érték", 20).column("Új érték", 20).column("Megjegyzés", 40);
    for (const HistoryLine& l : lines) {
        auto& r = t.row();
        const std::string values[] = {l.ido, l.felh, l.muvelet, l.lap, l.taj, l.mezo, l.regi, l.uj, l.megjegyzes};
        for (size_t i = 0; i < 9; ++i) r[i] = Cell::of(values[i]);
    }
    return t;
}

} // namespace velmora::reports
