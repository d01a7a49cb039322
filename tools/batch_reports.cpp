// "report NAME": the reports of the Listák menu written as PDF, from the same
// logic as the windows, with the windows' questions (the TAJ, the periods,
// the disease chapter, the number of ordering sheets) as options.
#include "batch_run.h"

#include "db/DbError.h"
#include "db/Journal.h"
#include "db/Os.h"

#include "app/TextHelpers.h"
#include "reports/EmployeeDays.h"
#include "reports/MasterLists.h"
#include "reports/PageFrame.h"
#include "reports/Monthly.h"
#include "reports/SheetForm.h"
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

// A report with rows, or the message that says why there is none ("" when
// it has been shown).
struct Made {
    std::optional<reports::Report> report;
    std::string why;
};

using Maker = std::function<Made(Run&)>;

// `report`, unless it has no rows: then the window's message `whyEmpty` gives.
Made made(reports::Report report, const std::function<std::string()>& whyEmpty) {
    if (report.noRows()) return {std::nullopt, whyEmpty()};
    return {std::move(report), ""};
}

Made made(reports::Report report, const char* whyEmpty) {
    return made(std::move(report), [whyEmpty] { return std::string(whyEmpty); });
}

Made masterList(Run& run, reports::MasterList list, const std::optional<reports::BnoChapter>& chapter = {}) {
    run.dialogs.status(0, chapter ? reports::kChapterStatus : reports::masterListStatus(list));
    return made(reports::masterListReport(run.db, list, chapter, reports::printedAtNow()), reports::kEmptyList);
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
                reports::kNoSheetToPrint);
}

Made monthlySummary(Run& run) {
    run.dialogs.status(0, reports::kSummaryStatus);
    const auto s = reports::monthlySummary(run.db, run.session.mIdoszak, run.session.IDOSZAK1, run.session.IDOSZAK2,
                                           run.session.alapert, std::stoi(*run.options.orders));
    if (!s) return {std::nullopt, reports::kNoShipment};
    return made(reports::monthlySummaryReport(*s, reports::printedAtNow()), reports::kNoShipment);
}

Made monthlyAccounting(Run& run) {
    const auto a = reports::monthlyAccounting(run.db, run.session.mIdoszak);
    if (!a) return {std::nullopt, reports::kNoBilledData};
    return made(reports::monthlyAccountingReport(*a, reports::printedAtNow()), reports::kNoBilledData);
}

Made employeeDays(Run& run) {
    run.dialogs.status(0, reports::kEmployeeStatus);
    const auto days = reports::employeeDays(run.db, run.session.mIdoszak, run.dialogs);
    if (!days) return {};  // its message has been shown
    return made(reports::employeeDaysReport(*days, reports::printedAtNow()), reports::kNoEmployees);
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
    return made(reports::tajListReport(reports::tajList(run.db, s), reports::printedAtNow()),
                [&] { return reports::emptyTajListMessage(run.db, s); });
}

struct ReportKind {
    Maker make;
    std::set<std::string> options;  // the report's own options besides --pdf
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
    };
    return kinds;
}

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

} // namespace

void validateReport(Options& o) {
    const std::string& name = o.args.at(0);
    const auto kind = reportKinds().find(name);
    if (kind == reportKinds().end()) throw UsageError{"Ismeretlen jelentés: " + name};
    if (!o.pdf || o.pdf->empty()) throw UsageError{"A report parancshoz a --pdf FÁJL kapcsoló kell."};
    std::vector<std::pair<const char*, bool>> given = reportOptionsGiven(o);
    given.push_back({"--sheets", !o.sheets.empty()});
    for (const auto& [option, present] : given)
        if (present && std::string(option) != "--pdf" && !kind->second.options.count(option))
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
}

int reportCommand(Run& run) {
    const reports::OffscreenPainting painting;
    const std::string& name = run.options.args.at(0);
    const Made made = reportKinds().at(name).make(run);
    if (!made.report) {
        if (!made.why.empty()) run.dialogs.error(made.why);
        return std::max(outcome(run.dialogs), int(kFailed));
    }
    const fs::path pdf = fs::absolute(*run.options.pdf);
    try {
        db::os::makeDirectories(pdf.parent_path().string());  // a script names a folder that may not be there yet
    } catch (const db::DbError&) {
        // writePdf names the place that cannot be written
    }
    {
        // A kill while the PDF is written leaves no part of it behind.
        const db::PendingFiles pending(run.db.directory(), {db::os::besideName(pdf.string())});
        reports::writePdf(*made.report, pdf.string());
    }
    run.dialogs.information("A lista PDF állományba mentve:\n" + pdf.string());
    return outcome(run.dialogs);
}

} // namespace velmora::batch
