#pragma once
// A report laid out in bands, in millimetres on A4: the page header and
// footer repeated on every page, groups of a header, detail rows and a
// footer, and a summary at the end. Content code builds it without Qt; the
// renderer paints it. A text's "{oldal}" becomes the page's number.
#include <optional>
#include <string>
#include <vector>

namespace velmora::reports {

enum class Align { Left, Center, Right };
enum class Orientation { Portrait, Landscape };

inline constexpr const char* kPageNumber = "{oldal}";

struct TextItem {
    double x = 0, y = 0, w = 0, h = 0;  // mm within the band
    std::string text;
    Align align = Align::Left;
    double sizePt = 9;
    bool bold = false;
    bool box = false;     // a frame around the cell
    bool shaded = false;  // a silver cell
    bool italic = false;
};

struct LineItem {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // mm within the band
    double widthMm = 0.2;
};

// A filled rectangle: the bars of a chart on paper, in a grey that a
// black-and-white printer keeps apart (0 black, 255 white).
struct FillItem {
    double x = 0, y = 0, w = 0, h = 0;  // mm within the band
    int grey = 128;
};

// One horizontal strip across the page's printable width.
struct Band {
    double height = 0;
    std::vector<TextItem> texts;
    std::vector<LineItem> lines;
    std::vector<FillItem> fills;  // painted first, under the lines and texts

    Band& text(double x, double w, std::string t, Align align = Align::Left, double sizePt = 9, bool bold = false);
    Band& cell(TextItem item);
    Band& line(double x1, double y1, double x2, double y2, double widthMm = 0.2);
    Band& fill(double x, double y, double w, double h, int grey);
    // A line across `width` at the band's bottom.
    Band& underline(double width, double widthMm = 0.3);
};

struct Group {
    std::optional<Band> header;  // kept on one page with the first row
    std::vector<Band> rows;
    std::optional<Band> footer;
    bool newPage = false;  // starts on a page of its own
};

struct Report {
    std::string title;  // what the report is: the preview's caption, the PDF's name
    Orientation orientation = Orientation::Portrait;
    double marginMm = 10;
    Band pageHeader;
    Band pageFooter;
    std::vector<Group> groups;
    std::optional<Band> summary;

    double pageWidth() const { return orientation == Orientation::Portrait ? 210 : 297; }
    double pageHeight() const { return orientation == Orientation::Portrait ? 297 : 210; }
    // Between the margins.
    double printableWidth() const { return pageWidth() - 2 * marginMm; }
    // Without any detail row: the windows show the report's message instead.
    bool noRows() const;
};

} // namespace velmora::reports
