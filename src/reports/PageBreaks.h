#pragma once
// Where each band of a report goes: which page, how far down. The page
// header and footer take their room on every page; a group's header stays
// on the page of its first row; a group marked newPage starts a page of its
// own; a band taller than the body gets a page to itself (cut at its
// bottom) rather than stopping the report.
#include "reports/Bands.h"

#include <vector>

namespace velmora::reports {

struct PlacedBand {
    const Band* band;
    double y;  // mm from the page's top edge
};

struct Page {
    int number = 0;  // from 1
    std::vector<PlacedBand> bands;  // header and footer included
    double bodyBottom = 0;  // mm from the top: a body band is cut here
};

class PageBreaks {
public:
    explicit PageBreaks(const Report& report);
    const std::vector<Page>& pages() const { return pages_; }

private:
    void place(const std::vector<const Band*>& together);
    void newPage();
    bool pageHasBody() const { return y_ > bodyTop_; }

    const Report& report_;
    double bodyTop_, bodyBottom_;
    double y_ = 0;
    std::vector<Page> pages_;
};

} // namespace velmora::reports
