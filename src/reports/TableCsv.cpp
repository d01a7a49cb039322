// The CSV a Hungarian spreadsheet opens without questions: UTF-8 with a
// byte order mark (else it guesses the code page), ";" between cells (the
// comma is the decimal sign), CRLF at the end of each line.
#include "reports/TableExport.h"

namespace velmora::reports {

namespace {

// A cell in quotes when it holds the separator, a quote or a line break.
std::string field(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void line(std::string& out, const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += ';';
        out += field(cells[i]);
    }
    out += "\r\n";
}

} // namespace

std::string csvText(const DataTable& table) {
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> cells;
    for (const DataColumn& c : table.columns) cells.push_back(c.heading);
    line(out, cells);
    for (const std::vector<Cell>& row : table.rows) {
        cells.assign(table.columns.size(), std::string());
        for (size_t i = 0; i < row.size() && i < cells.size(); ++i) cells[i] = row[i].shown();
        line(out, cells);
    }
    return out;
}

} // namespace velmora::reports
