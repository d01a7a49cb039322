// "report NAME": the reports of the Listák menu written as PDF, or their
// rows as an Excel workbook or a CSV file, from the same logic as the
// windows, with the windows' questions (the TAJ, the periods, the disease
// chapter, the number of ordering sheets) as options.
#include "batch_run.h"

#include "db/DbError.h"
#include "db/Journal.h"
#include "db/Os.h"

#include "app/TextHelpers.h"
#include "overview/Overview.h"
#include "overview/OverviewReport.h"
#include "overview/UnpaidDays.h"
#include "reports/EmployeeDays.h"
#include "reports/MasterLists.h"
#include "reports/PageFrame.h"
#include "reports/Monthly.h"
#include "reports/SheetForm.h"
#include "reports/TableExport.h"
#include "reports/TajLists.h"
#include "reports/render/OffscreenPainting.h"
#include "reports/render/PdfFile.h"

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <tuple>

namespace velmora::batch {

namespace {

namespace fs = std::filesystem;

// A report with rows and the rows as a table, or the message that says why
// there is none ("" when it has been shown).
struct Made {
    std::optional<reports::Report> report;
    std::string why;
    reports::DataTable table;
};

using Maker = std::function<Made(Run&)>;

// `report`, unless it has no rows: then the window's message `whyEmpty` gives.
Made made(reports::Report report, reports::DataTable table, const std::function<std::string()>& whyEmpty) {
    if (report.noRows()) return {std::nullopt, whyEmpty(), {}};
    return {std::move(report), "", std::move(table)};
}

Made made(reports::Report report, reports::DataTable table, const char* whyEmpty) {
    return made(std::move(report), std::move(table), [whyEmpty] { return std::string(whyEmpty); });
}

Made masterList(Run& run, reports::MasterList list, const std::optional<reports::BnoChapter>& chapter = {}) {
    run.dialogs.status(0, chapter ? reports::kChapterStatus : reports::masterListStatus(list));
    const reports::MasterListRows rows = reports::masterListRows(run.db, list, chapter);
    return made(reports::masterListReport(rows, reports::printedAtNow()), reports::masterListTable(rows),
                reports::kEmptyList);
}

// The chapter whose item is `given` or names the range `given` ("C00-D48").
std::optional<reports::BnoChapter> chapterOf(const std::string& given) {
    for (const std::string& item : reports::bnoChapterItems())
        if (item == given || item.ends_with("(" + given + ")")) return reports::bnoChapter(item);
    return std::nullopt;
}

// The --sheets of the period's year (the register lists them in printing
// mode), in sheet number order as the marked sheets print; nothing when one
// is not there (the message has been shown).
std::optional<std::vector<reports::SheetForm>> listedForms(Run& run) {
    const app::Session& session = run.session;
    const std::string year = session.mIdoszak.substr(0, 4);
    std::map<std::string, std::vector<reports::SheetForm>> byPeriod;  // each period read once
    std::vector<reports::SheetForm> forms;
    std::set<std::string> taken;
    for (const std::string& text : run.options.sheets) {
        const auto key = parseSheetKey(text);
        const reports::SheetForm* form = nullptr;
        if (key && key->idoszak.substr(0, 4) == year) {
            auto found = byPeriod.find(key->idoszak);
            if (found == byPeriod.end())
                found = byPeriod
                            .emplace(key->idoszak, reports::periodSheetForms(run.db, key->idoszak, session.IDOSZAK1,
                                                                             session.IDOSZAK2))
                            .first;
            for (const reports::SheetForm& f : found->second)
                if (f.sorsz == key->sorsz && f.resz == key->resz) form = &f;
        }
        if (!form) {
            run.dialogs.error("A(z) " + text + " elszámolási lap nincs a(z) " + year + ". év nyomtatható lapjai között.");
            return std::nullopt;
        }
        if (taken.insert(text).second) forms.push_back(*form);
    }
    std::stable_sort(forms.begin(), forms.end(), [](const reports::SheetForm& a, const reports::SheetForm& b) {
        return std::tie(a.sorsz, a.resz, a.idoszak) < std::tie(b.sorsz, b.resz, b.idoszak);
    });
    return forms;
}

// The forms of the period's sheets, or of the --sheets.
Made sheetForms(Run& run) {
    const app::Session& session = run.session;
    const std::optional<std::vector<reports::SheetForm>> forms =
        run.options.sheets.empty()
            ? reports::periodSheetForms(run.db, session.mIdoszak, session.IDOSZAK1, session.IDOSZAK2)
            : listedForms(run);
    if (!forms) return {};
    return made(reports::sheetFormReport(*forms, session.clock().today().text(), reports::printedAtNow()),
                reports::sheetFormTable(*forms), reports::kNoSheetToPrint);
}

Made monthlySummary(Run& run) {
    run.dialogs.status(0, reports::kSummaryStatus);
    const auto s = reports::monthlySummary(run.db, run.session.mIdoszak, run.session.IDOSZAK1, run.session.IDOSZAK2,
                                           run.session.alapert, std::stoi(*run.options.orders));
    if (!s) return {std::nullopt, reports::kNoShipment, {}};
    return made(reports::monthlySummaryReport(*s, reports::printedAtNow()), reports::monthlySummaryTable(*s),
                reports::kNoShipment);
}

Made monthlyAccounting(Run& run) {
    const auto a = reports::monthlyAccounting(run.db, run.session.mIdoszak);
    if (!a) return {std::nullopt, reports::kNoBilledData, {}};
    return made(reports::monthlyAccountingReport(*a, reports::printedAtNow()), reports::monthlyAccountingTable(*a),
                reports::kNoBilledData);
}

Made employeeDays(Run& run) {
    run.dialogs.status(0, reports::kEmployeeStatus);
    const auto days = reports::employeeDays(run.db, run.session.mIdoszak, run.dialogs);
    if (!days) return {};  // its message has been shown
    return made(reports::employeeDaysReport(*days, reports::printedAtNow()), reports::employeeDaysTable(*days),
                reports::kNoEmployees);
}

reports::TajSelection tajSelection(const Options& o, const std::string& current) {
    reports::TajSelection s;
    s.current = current;
    if (o.taj) {
        s.scope = reports::TajScope::OnePatient;
        s.taj = *o.taj;
    } else if (o.from) {
        s.scope = reports::TajScope::FromPeriod;
        s.from = *o.from;
    } else if (o.periodGiven) {
        s.scope = reports::TajScope::CurrentPeriod;
    }
    return s;
}

Made tajList(Run& run) {
    const reports::TajSelection s = tajSelection(run.options, run.session.mIdoszak);
    if (s.scope == reports::TajScope::FromPeriod)
        if (const auto problem = reports::periodRangeProblem(s.from, s.current)) {
            run.dialogs.error(*problem);
            return {};
        }
    if (s.scope != reports::TajScope::OnePatient) run.dialogs.status(0, reports::kTajListStatus);
    const reports::TajList list = reports::tajList(run.db, s);
    return made(reports::tajListReport(list, reports::printedAtNow()), reports::tajListTable(list),
                [&] { return reports::emptyTajListMessage(run.db, s); });
}

// The days the fund did not pay, --from … --to (the year of the period up
// to it by default).
Made unpaidDays(Run& run) {
    const std::string to = run.options.to.value_or(run.session.mIdoszak);
    const std::string from = run.options.from.value_or(to.substr(0, 4) + ".01");
    const overview::UnpaidList list = overview::unpaidDays(run.db, from, to);
    if (list.sheets.empty()) return {std::nullopt, overview::kNoUnpaid, {}};
    return made(overview::unpaidReport(list, reports::printedAtNow()), overview::unpaidTable(list), overview::kNoUnpaid);
}

// The year at a glance of the period's year, with its charts.
Made yearOverview(Run& run) {
    run.dialogs.status(0, overview::kOverviewStatus);
    const overview::Overview o = overview::makeOverview(run.db, run.session, run.dialogs);
    return made(overview::overviewReport(o, reports::printedAtNow()), overview::overviewTable(o), "");
}

struct ReportKind {
    Maker make;
    std::set<std::string> options;  // the report's own options besides the file's
};

const std::map<std::string, ReportKind>& reportKinds() {
    using reports::MasterList;
    static const std::map<std::string, ReportKind> kinds = {
        {"doctors", {[](Run& r) { return masterList(r, MasterList::Doctors); }, {}}},
        {"nurses", {[](Run& r) { return masterList(r, MasterList::Nurses); }, {}}},
        {"patients", {[](Run& r) { return masterList(r, MasterList::Patients); }, {}}},
        {"bno", {[](Run& r) { return masterList(r, MasterList::Bno); }, {}}},
        {"bno-chapter", {[](Run& r) { return masterList(r, MasterList::Bno, chapterOf(*r.options.chapter)); }, {"--chapter"}}},
        {"sheets", {sheetForms, {"--sheets"}}},
        {"monthly-summary", {monthlySummary, {"--orders"}}},
        {"monthly-accounting", {monthlyAccounting, {}}},
        {"employee-days", {employeeDays, {}}},
        {"taj-list", {tajList, {"--taj", "--from", "--to"}}},
        {"unpaid-days", {unpaidDays, {"--from", "--to"}}},
        {"overview", {yearOverview, {}}},
    };
    return kinds;
}

bool isFileOption(const std::string& option) { return option == "--pdf" || option == "--xlsx" || option == "--csv"; }

void requireWhole(const std::string& text) {
    const bool digits = !text.empty() && text.size() <= 6 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) throw UsageError{std::string(reports::kOnlyNumbers) + " (--orders " + text + ")"};
}

void validateTajOptions(Options& o) {
    if (o.taj && (o.from || o.to || o.periodGiven))
        throw UsageError{"A --taj mellett nem adható meg időszak: a lista a beteg minden lapját mutatja."};
    if (o.taj && o.taj->empty()) throw UsageError{reports::kNoTaj};
    if (o.taj && !app::TajCheckDigitOk(*o.taj)) throw UsageError{std::string(reports::kBadCheckDigit) + " (--taj " + *o.taj + ")"};
    if ((o.from || o.to) && o.periodGiven)
        throw UsageError{"A --period (egy időszak) és a --from/--to (időszakok) közül csak az egyik adható meg."};
    if (o.to && !o.from) throw UsageError{"A --to mellé a --from is kell."};
    for (const auto* p : {&o.from, &o.to})
        if (*p && !isPeriod(**p)) throw UsageError{"Hibás időszak: " + **p + " (ÉÉÉÉ.HH alakú kell)."};
    if (!o.to) return;
    if (const auto problem = reports::periodRangeProblem(*o.from, *o.to)) throw UsageError{*problem};
    o.period = o.to;  // the range ends with the period the run works in
}

void validateUnpaidOptions(Options& o) {
    if (o.from && o.periodGiven) throw UsageError{"A --period és a --from közül csak az egyik adható meg."};
    for (const auto* p : {&o.from, &o.to})
        if (*p && !isPeriod(**p)) throw UsageError{"Hibás időszak: " + **p + " (ÉÉÉÉ.HH alakú kell)."};
    if (o.from && o.to)
        if (const auto problem = overview::rangeProblem(*o.from, *o.to)) throw UsageError{*problem};
    if (o.to) o.period = o.to;  // the range ends with the period the run works in
}

} // namespace

void validateReport(Options& o) {
    const std::string& name = o.args.at(0);
    const auto kind = reportKinds().find(name);
    if (kind == reportKinds().end()) throw UsageError{"Ismeretlen jelentés: " + name};
    const int files = o.pdf.has_value() + o.xlsx.has_value() + o.csv.has_value();
    if (files != 1)
        throw UsageError{files == 0 ? "A report parancshoz a --pdf, --xlsx vagy --csv FÁJL kapcsoló kell."
                                    : "A --pdf, --xlsx és --csv közül csak egy adható meg."};
    for (const auto* file : {&o.pdf, &o.xlsx, &o.csv})
        if (*file && (*file)->empty()) throw UsageError{"A report parancs FÁJL-ja nem lehet üres."};
    std::vector<std::pair<const char*, bool>> given = reportOptionsGiven(o);
    given.push_back({"--sheets", !o.sheets.empty()});
    for (const auto& [option, present] : given)
        if (present && !isFileOption(option) && !kind->second.options.count(option))
            throw UsageError{std::string("A(z) ") + option + " kapcsoló nem való a(z) " + name + " jelentéshez."};
    if (name == "bno-chapter") {
        if (!o.chapter) throw UsageError{std::string(reports::kChooseChapter) + " (--chapter, például C00-D48)"};
        if (!chapterOf(*o.chapter)) throw UsageError{"Ismeretlen betegségcsoport: " + *o.chapter};
    }
    if (name == "monthly-summary") {
        if (!o.orders) throw UsageError{"A havi összesítőhöz a --orders SZÁM kell: a hospice elrendelő lapok száma."};
        requireWhole(*o.orders);
    }
    if (name == "taj-list") validateTajOptions(o);
    if (name == "unpaid-days") validateUnpaidOptions(o);
}

int reportCommand(Run& run) {
    const reports::OffscreenPainting painting;
    const std::string& name = run.options.args.at(0);
    const Made made = reportKinds().at(name).make(run);
    if (!made.report) {
        if (!made.why.empty()) run.dialogs.error(made.why);
        return std::max(exitCode(app::Failure{app::FailureKind::Refused, made.why, {}}, run.console), int(kFailed));
    }
    const Options& o = run.options;
    const fs::path file = fs::absolute(o.pdf ? *o.pdf : o.xlsx ? *o.xlsx : *o.csv);
    try {
        db::os::makeDirectories(file.parent_path().string());  // a script names a folder that may not be there yet
    } catch (const db::DbError&) {
        // the writer names the place that cannot be written
    }
    {
        // A kill while the file is written leaves no part of it behind.
        const db::PendingFiles pending(run.db.directory(), {db::os::besideName(file.string())});
        if (o.pdf)
            reports::writePdf(*made.report, file.string());
        else
            reports::writeTable(made.table, file.string(), o.xlsx ? reports::TableFormat::Xlsx : reports::TableFormat::Csv);
    }
    run.dialogs.information(std::string(o.pdf    ? "A lista PDF állományba mentve:\n"
                                        : o.xlsx ? "A lista Excel táblázatba mentve:\n"
                                                 : "A lista CSV állományba mentve:\n") +
                            file.string());
    return exitCode(std::nullopt, run.console);
}

} // namespace velmora::batch
