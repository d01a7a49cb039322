#include "reports/PageFrame.h"

#include "app/Version.h"

#include <ctime>

namespace velmora::reports {

std::string printedAtNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y.%m.%d %H:%M", &local);
    return text;
}

Band listHeader(const Report& report, const std::string& title, const std::string& subtitle,
                const std::vector<Column>& columns) {
    const double width = report.printableWidth();
    Band b;
    b.cell({0, 0, width * 0.6, 7, title, Align::Left, 14, true});
    b.cell({width * 0.6, 0, width * 0.4, 4, "Velmora", Align::Right, 8, false});
    b.cell({width * 0.6, 4, width * 0.4, 4, std::string("Verzió: ") + app::kVersion, Align::Right, 8, false});
    double y = 9;
    if (!subtitle.empty()) {
        b.cell({0, y, width, 5, subtitle, Align::Center, 10, true});
        y += 6;
    }
    for (const Column& c : columns) b.cell({c.x, y, c.w, 5, c.heading, c.align, 9, true});
    b.height = y + 6;
    return b.underline(width);
}

Band listFooter(const Report& report, const std::string& printedAt) {
    const double width = report.printableWidth();
    Band b;
    b.line(0, 1, width, 1, 0.2);
    b.cell({0, 2, width / 2, 4, printedAt, Align::Left, 6, false});
    b.cell({width / 2, 2, width / 2, 4, std::string("Oldal: ") + kPageNumber, Align::Right, 8, false});
    return b;
}

Band listRow(const std::vector<Column>& columns, const std::vector<std::string>& values, double sizePt) {
    Band b;
    for (size_t i = 0; i < columns.size() && i < values.size(); ++i)
        b.cell({columns[i].x, 0, columns[i].w, sizePt * 0.3528 * 1.4, values[i], columns[i].align, sizePt, false});
    return b;
}

} // namespace velmora::reports
