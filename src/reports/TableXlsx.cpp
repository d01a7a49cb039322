// The Excel workbook through libxlsxwriter. The library writes its zip
// through stdio into a file of its own in a private scratch folder; the
// bytes then go to the chosen name the way every file of the program is
// written (beside it, synced, renamed into place), so a full disk or a
// read-only folder leaves nothing under that name.
#include "reports/TableExport.h"

#include "app/Date.h"
#include "app/UserError.h"
#include "db/Os.h"
#include "reports/WorkbookCheck.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace velmora::reports {

namespace {

// Excel's limits on a sheet's name: 31 characters, none of []:*?/\ .
std::string sheetName(const std::string& title) {
    std::string name;
    int characters = 0;
    for (size_t i = 0; i < title.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        if (std::string_view("[]:*?/\\").find(static_cast<char>(c)) != std::string_view::npos) continue;
        if ((c & 0xC0) != 0x80) ++characters;  // a character's first byte
        if (characters > 31) break;
        name += static_cast<char>(c);
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '\'')) name.pop_back();
    while (!name.empty() && name.front() == '\'') name.erase(0, 1);
    return name.empty() ? std::string("Lista") : name;
}

// The cause in the user's words where the system gave one.
std::string failed(lxw_error error) {
    if (errno) return db::os::describeErrno(errno);
    return std::string("a munkafüzet nem készült el (") + lxw_strerror(error) + ")";
}

class Workbook {
public:
    explicit Workbook(const std::string& file) : book_(workbook_new(file.c_str())) {
        if (!book_) throw std::runtime_error(failed(LXW_ERROR_MEMORY_MALLOC_FAILED));
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "yyyy.mm.dd");
    }
    ~Workbook() {
        if (book_) workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Closing writes the file; the library's error, 0 when it is whole.
    lxw_error close() {
        lxw_workbook* book = book_;
        book_ = nullptr;
        return workbook_close(book);
    }

    void sheet(const DataTable& table) {
        lxw_worksheet* ws = workbook_add_worksheet(book_, sheetName(table.title).c_str());
        for (size_t c = 0; c < table.columns.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            worksheet_set_column(ws, col, col, table.columns[c].width, nullptr);
            worksheet_write_string(ws, 0, col, table.columns[c].heading.c_str(), bold_);
        }
        worksheet_freeze_panes(ws, 1, 0);
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const auto& row = table.rows[r];
            for (size_t c = 0; c < row.size() && c < table.columns.size(); ++c)
                write(ws, static_cast<lxw_row_t>(r + 1), static_cast<lxw_col_t>(c), row[c]);
        }
    }

private:
    void write(lxw_worksheet* ws, lxw_row_t r, lxw_col_t c, const Cell& cell) {
        switch (cell.kind) {
        case CellKind::Empty: return;
        case CellKind::Number:
            worksheet_write_number(ws, r, c, std::strtod(cell.number.toString().c_str(), nullptr),
                                   numberFormat(cell.number.scale()));
            return;
        case CellKind::Date:
            if (const auto d = app::Date::parse(cell.text); d && d->year >= 1900) {
                lxw_datetime when{d->year, d->month, d->day, 0, 0, 0};
                worksheet_write_datetime(ws, r, c, &when, date_);
                return;
            }
            break;  // a day Excel cannot count shows as its text
        case CellKind::Text: break;
        }
        worksheet_write_string(ws, r, c, cell.text.c_str(), nullptr);
    }

    // "0", "0.0", "0.00" …: every number shows the decimals it has.
    lxw_format* numberFormat(int scale) {
        lxw_format*& f = numbers_[scale];
        if (!f) {
            f = workbook_add_format(book_);
            format_set_num_format(f, scale > 0 ? ("0." + std::string(static_cast<size_t>(scale), '0')).c_str() : "0");
        }
        return f;
    }

    lxw_workbook* book_;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    std::map<int, lxw_format*> numbers_;
};

// A folder of its own under the system's temporary folder, gone with the
// object.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        path = db::os::makeUniqueDirectory((std::filesystem::temp_directory_path() / "velmora-xlsx-XXXXXX").string());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// The workbook's bytes; throws the library's cause.
std::string workbookBytes(const DataTable& table) {
    const ScratchDir scratch;
    const std::string file = scratch.path + "/lista.xlsx";
    errno = 0;
    lxw_error error = LXW_NO_ERROR;
    {
        Workbook book(file);
        book.sheet(table);
        error = book.close();
    }
    if (error != LXW_NO_ERROR) throw std::runtime_error(failed(error));
    std::string bytes = db::os::File::open(file, db::os::Access::Read).readAll();
    // The failed write's errno is gone by now: the likely cause is told.
    if (!wholeWorkbook(bytes))
        throw std::runtime_error("a munkafüzet nem készült el egészen: betelt a lemez vagy az ideiglenes könyvtár");
    return bytes;
}

} // namespace

void writeXlsx(const DataTable& table, const std::string& path) {
    try {
        db::os::writeFileReplacing(path, workbookBytes(table));
    } catch (const std::runtime_error& e) {  // the engine's DbError or the library's cause
        throw app::UserError(unwritable(path) + "\n" + e.what());
    }
}

} // namespace velmora::reports
