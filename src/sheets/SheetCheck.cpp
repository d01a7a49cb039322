// The visit check and the whole-sheet check that "Mentés" runs. Every
// failing step is a finding and the check goes on, so one run finds every
// problem; all queries of one run share one SQL connection.
#include "sheets/SheetCheck.h"

#include "app/TextHelpers.h"
#include "sheets/CheckQueries.h"
#include "sheets/FieldChecks.h"
#include "sheets/RowLookup.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::sheets {

namespace {

using app::Finding;
using app::Msg;

const db::Table& table(SheetContext& ctx, const store::schema::TableDef& def) {
    return store::tableOf(ctx.db, def);
}

// Activity counters of one run: how many visit days list each activity.
struct ActivityCounts {
    std::array<int, kActivities> days{};
    void count(const std::string& tev) {
        const ActivityCode code{tev};
        for (int k = 1; k <= kActivities; ++k)
            if (code.mentions(k)) ++days[k - 1];
    }
    // Activities 5 to 8: more than skilled nursing alone.
    bool beyondNursing() const { return days[4] + days[5] + days[6] + days[7] > 0; }
};

// The visit grid's span and count as the check walks it.
struct VisitWalk {
    std::string earliest, latest;
    int visits = 0;
    void visit(const std::string& date) {
        if (earliest.empty() || date < earliest) earliest = date;
        if (latest.empty() || date > latest) latest = date;
        ++visits;
    }
};

std::string numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

// `tszam`: the patient's days on other sheets the 150-day rule counts with.
SheetCheckResult visitCheck(const SheetForm& form, SheetContext& ctx, db::Sql& sql, int tszam) {
    SheetCheckResult result;
    app::Findings& found = result.findings;
    const SheetKey key = form.key();
    ActivityCounts activities;  // from zero at every run
    std::string cause;
    auto capacity = queries::capacityCount(sql, form.m_idosz, form.modifying() ? &key : nullptr, &cause);
    if (!capacity) found.push_back(Finding::failure({}, Msg::QueryFailed, cause));

    // The visit-date check of every visit day at once: one query of the
    // patient's visit rows, its failure found once.
    std::vector<std::string> visitDates;
    for (int d = 1; d <= form.tnap && d <= kMaxDays; ++d)
        if (!app::IsBlank(form.tev[d - 1]) && !app::IsBlank(form.aptaj[d - 1])) visitDates.push_back(form.apdat[d - 1]);
    const auto taken = queries::takenVisitDates(sql, key, form.modifying(), visitDates, form.m_taj, &cause);
    if (!taken) found.push_back(Finding::failure({}, Msg::QueryFailed, cause));

    const db::Table& apol = table(ctx, store::schema::APOL());
    VisitWalk walk;
    for (int d = 1; d <= form.tnap && d <= kMaxDays; ++d) {
        const std::string& tev = form.tev[d - 1];
        const std::string& nurse = form.aptaj[d - 1];
        const bool hasNurse = !app::IsBlank(nurse), hasActivity = !app::IsBlank(tev);
        if (hasNurse && !hasRowWith(apol, "Aptaj", nurse))
            found.push_back(Finding::refusal(numbered("aptaj", d), Msg::VisitNurseNotInRegister, {nurse}));
        if (hasNurse && hasActivity) {
            const std::string& date = form.apdat[d - 1];
            if (capacity) capacity->countVisit(nurse);
            if (!activityCodeCharactersOk(tev))
                found.push_back(Finding::refusal(numbered("tev", d), Msg::ActivityCodeRange));
            else if (!activityNursesFilled(tev, form.aptev))
                found.push_back(Finding::refusal(numbered("tev", d), Msg::ActivityNurseMissing));
            else
                activities.count(tev);
            if (taken && taken->count(date))
                found.push_back(Finding::refusal(numbered("tev", d), Msg::VisitDateTaken, {date}));
            walk.visit(date);
        } else if (hasNurse || hasActivity) {
            found.push_back(Finding::refusal(numbered("tev", d), Msg::DayIncomplete, {std::to_string(d)}));
        }
    }
    // Without a visit day the earliest date is empty, which every start of care follows.
    if (form.m_szakvet > walk.earliest) found.push_back(Finding::refusal("m_szakvet", Msg::VisitBeforeStart));
    if (!dateBlank(form.m_lezdat) && form.m_lezdat < walk.latest)
        found.push_back(Finding::refusal("m_lezdat", Msg::VisitAfterClosing));

    const auto ordered = wholeNumber(form.m_elviz);
    const auto billed = app::IsBlank(form.m_elszviz) ? std::optional<int>(0) : wholeNumber(form.m_elszviz);
    if (!ordered || !billed) found.push_back(Finding::refusal("m_elviz", Msg::OnlyNumber));
    else if (!dayCountFits(walk.visits, *ordered, *billed))
        found.push_back(Finding::refusal("m_elviz", Msg::DayCountOver));

    if (tszam + walk.visits > 150) found.push_back(Finding::warning("m_taj", Msg::PatientDaysOver150));

    const auto series = queries::seriesActivityCodes(sql, key, form.m_taj, &cause);
    if (!series) found.push_back(Finding::failure({}, Msg::QueryFailed, cause));
    else {
        for (const std::string& tev : *series) activities.count(tev);
        if (!activities.beyondNursing()) found.push_back(Finding::refusal("tev1", Msg::NursingOnly));
    }

    if (capacity && !capacity->overrun.empty())
        found.push_back(Finding::warning({}, Msg::CapacityOverrun, {capacity->overrun}));
    result.vizitdb = walk.visits;
    return result;
}

// Step 1: the blank mandatory fields, named in one message that points at
// the first of them.
app::Findings mandatoryFieldsFilled(const SheetForm& form) {
    const bool category = recordsPatientCategory(form.m_idosz);
    const struct {
        bool blank;
        const char* name;
        const char* control;
    } fields[] = {
        {app::IsBlank(form.m_taj), "TAJ szám", "m_taj"},
        {category && app::IsBlank(form.m_aztip), "Azonosító típus", "m_aztip"},
        {app::IsBlank(form.m_nev), "Beteg neve", "m_nev"},
        {app::IsBlank(form.m_kozigkod), "Közigazgatási kód", "m_kozigkod"},
        {app::IsBlank(form.m_cim2), "Beteg címe", "m_cim2"},
        {dateBlank(form.m_szido), "Beteg születési ideje", "m_szido"},
        {category && app::IsBlank(form.m_terkat), "Térítési kategória", "m_terkat"},
        {category && app::IsBlank(form.m_allp), "Állampolgárság", "m_allp"},
        {app::IsBlank(form.m_alapb), "Alapbetegség", "m_alapb"},
        {app::IsBlank(form.m_fodiag), "Fődiagnózis", "m_fodiag"},
        {app::IsBlank(form.m_eorv), "Elrendelő orvos pecsétszáma", "m_eorv"},
        {dateBlank(form.m_elrend), "Elrendelés ideje", "m_elrend"},
        {dateBlank(form.m_szakvet), "Ápolásba vétel ideje", "m_szakvet"},
        {app::IsBlank(form.m_gyak), "Gyakoriság szövege", "m_gyak"},
        {app::IsBlank(form.m_elszam), "Folyamatos elrendelés száma", "m_elszam"},
        {app::IsBlank(form.m_elviz), "Elrendelt napok száma", "m_elviz"},
    };
    std::optional<Finding> list;
    for (const auto& f : fields) {
        if (!f.blank) continue;
        if (!list) list = Finding::refusal(f.control, Msg::MandatoryFieldsList);
        list->text += std::string(f.name) + "\r";
    }
    if (!list) return {};
    return {*list};
}

// Steps 6 to 9: a diagnosis that is no Z code and stands in BNOTORZS.
app::Findings diagnosisKnown(const std::string& code, const std::string& control, Msg missing, SheetContext& ctx) {
    if (auto z = app::notZCode(code, control); !z.empty()) return z;
    if (hasRowWith(table(ctx, store::schema::BNOTORZS()), "KOD10", code)) return {};
    return {Finding::refusal(control, missing)};
}

} // namespace

SheetCheckResult visitCheck(const SheetForm& form, SheetContext& ctx) {
    db::Sql sql(ctx.db);
    return visitCheck(form, ctx, sql, form.tszam);
}

SheetCheckResult sheetCheck(const SheetForm& form, SheetContext& ctx) {
    SheetCheckResult result;
    result.findings = mandatoryFieldsFilled(form);
    if (!result.findings.empty()) return result;
    app::Findings& found = result.findings;
    auto add = [&](app::Findings more) { app::append(found, std::move(more)); };
    db::Sql sql(ctx.db);
    const SheetKey key = form.key();
    const std::string& currentPeriod = ctx.session.mIdoszak;

    const bool tajTest = !recordsPatientCategory(form.m_idosz) || form.m_aztip == "1";
    if (tajTest && !app::TajCheckDigitOk(form.m_taj)) found.push_back(Finding::refusal("m_taj", Msg::TajInvalid));
    if (form.bnem != "Férfi" && form.bnem != "Nő") found.push_back(Finding::refusal("bnem", Msg::SexInvalid));
    if (!hasRowWith(table(ctx, store::schema::TELEPUL()), "KOZIGKOD", form.m_kozigkod))
        found.push_back(Finding::refusalAsWarning("m_kozigkod", Msg::NoSettlement));
    add(app::dateFrom1895(form.m_szido, currentPeriod, "m_szido"));
    add(diagnosisKnown(form.m_alapb, "m_alapb", Msg::AlapbMissing, ctx));
    add(diagnosisKnown(form.m_fodiag, "m_fodiag", Msg::FodiagMissing, ctx));
    if (!app::IsBlank(form.m_fekvd)) add(diagnosisKnown(form.m_fekvd, "m_fekvd", Msg::FekvdMissing, ctx));
    if (!app::IsBlank(form.m_kiserd)) add(diagnosisKnown(form.m_kiserd, "m_kiserd", Msg::KiserdMissing, ctx));
    if (!app::IsBlank(form.m_eorv) && app::IsBlank(form.orv1))
        found.push_back(Finding::refusal("orv1", Msg::OrderingDoctorNameMissing));
    if (!app::IsBlank(form.m_jorv) && app::IsBlank(form.orv2))
        found.push_back(Finding::refusal("orv2", Msg::ProposingDoctorNameMissing));
    add(app::dateFrom1996(form.m_elrend, currentPeriod, "m_elrend"));
    // The start of care is a real date before anything compares with it.
    if (!app::IsValidDateText(form.m_szakvet)) found.push_back(Finding::refusal("m_szakvet", Msg::InvalidDate));
    add(queries::overlapCheck(sql, key, form.m_taj, form.m_elrend, form.m_szakvet, "m_szakvet"));
    add(numberCheck(form.m_elviz, DayCountField::Ordered, "m_elviz"));
    if (wholeNumber(form.m_elszam) == 0) found.push_back(Finding::refusal("m_elszam", Msg::OrderNumberZero));
    add(queries::orderNumberCheck(sql, key, form.m_taj, form.m_elszam, OrderNumberForm::Save, "m_elszam").findings);
    add(numberCheck(form.m_elszviz, DayCountField::Billed, "m_elszviz"));
    add(closingDateCheck(form.m_lezdat, form.m_szakvet, form.m_idosz, "m_lezdat"));
    const db::Table& apol = table(ctx, store::schema::APOL());
    for (int k = 1; k <= kActivities; ++k) {
        const std::string& nurse = form.aptev[k - 1];
        if (!app::IsBlank(nurse) && !hasRowWith(apol, "Aptaj", nurse))
            found.push_back(Finding::refusal(numbered("aptev", k), Msg::NurseNotInRegister, {nurse}));
    }

    // The patient's days on other sheets, as they stand now: the TAJ field
    // may never have been left, or other sheets saved since.
    std::string cause;
    result.tszam = queries::patientDays(sql, key, form.m_taj, &cause);
    if (!result.tszam) found.push_back(Finding::failure("m_taj", Msg::QueryFailed, cause));
    SheetCheckResult visits = visitCheck(form, ctx, sql, result.tszam.value_or(form.tszam));
    add(std::move(visits.findings));
    result.vizitdb = visits.vizitdb;
    return result;
}

void applyAnswers(SheetForm& form, const app::Answers& answers) {
    for (const auto& [control, value] : answers)
        if (std::string* field = form.text(control)) *field = value;
}

void takeCheck(SheetForm& form, const SheetCheckResult& result, const app::Answers& answers) {
    form.vizitdb = result.vizitdb;
    if (result.tszam) form.tszam = *result.tszam;
    applyAnswers(form, answers);
}

} // namespace velmora::sheets
