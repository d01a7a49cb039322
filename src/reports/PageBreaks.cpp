#include "reports/PageBreaks.h"

namespace velmora::reports {

PageBreaks::PageBreaks(const Report& report)
    : report_(report), bodyTop_(report.marginMm + report.pageHeader.height),
      bodyBottom_(report.pageHeight() - report.marginMm - report.pageFooter.height) {
    newPage();
    for (const Group& g : report.groups) {
        if (g.newPage && pageHasBody()) newPage();
        size_t first = 0;
        if (g.header) {
            std::vector<const Band*> together{&*g.header};
            if (!g.rows.empty()) together.push_back(&g.rows[first++]);
            place(together);
        }
        for (size_t i = first; i < g.rows.size(); ++i) place({&g.rows[i]});
        if (g.footer) place({&*g.footer});
    }
    if (report.summary) place({&*report.summary});
}

void PageBreaks::newPage() {
    Page page;
    page.number = static_cast<int>(pages_.size()) + 1;
    page.bodyBottom = bodyBottom_;
    page.bands.push_back({&report_.pageHeader, report_.marginMm});
    page.bands.push_back({&report_.pageFooter, bodyBottom_});
    pages_.push_back(std::move(page));
    y_ = bodyTop_;
}

void PageBreaks::place(const std::vector<const Band*>& together) {
    double height = 0;
    for (const Band* b : together) height += b->height;
    if (y_ + height > bodyBottom_ + 1e-6 && pageHasBody()) newPage();
    for (const Band* b : together) {
        pages_.back().bands.push_back({b, y_});
        y_ += b->height;
    }
}

} // namespace velmora::reports
