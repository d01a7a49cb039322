// The visit check and the whole-sheet check that "Mentés" runs. Every
// failing step shows its message and the check goes on, so one run shows
// every problem; all queries of one run share one SQL connection.
#include "sheets/SheetCheck.h"

#include "app/TextHelpers.h"
#include "sheets/CheckQueries.h"
#include "sheets/FieldChecks.h"
#include "sheets/RowLookup.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::sheets {

namespace {

const char* const kQueryFailed = "Hiba a lefutásban!";

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

bool visitCheck(SheetForm& form, SheetContext& ctx, db::Sql& sql) {
    bool passed = true;
    auto fail = [&](const std::string& message) {
        ctx.dialogs.error(message);
        passed = false;
    };
    const SheetKey key = form.key();
    ActivityCounts activities;  // from zero at every run
    auto capacity = queries::countCapacity(sql, form.m_idosz, form.modifying() ? &key : nullptr, ctx.dialogs);
    if (!capacity) passed = false;  // shown already

    // The visit-date check of every visit day at once: one query of the
    // patient's visit rows, its failure shown once.
    std::vector<std::string> visitDates;
    for (int d = 1; d <= form.tnap && d <= kMaxDays; ++d)
        if (!app::IsBlank(form.tev[d - 1]) && !app::IsBlank(form.aptaj[d - 1])) visitDates.push_back(form.apdat[d - 1]);
    const auto taken = queries::takenVisitDates(sql, key, form.modifying(), visitDates, form.m_taj);
    if (!taken) fail(kQueryFailed);

    const db::Table& apol = table(ctx, store::schema::APOL());
    VisitWalk walk;
    for (int d = 1; d <= form.tnap && d <= kMaxDays; ++d) {
        const std::string& tev = form.tev[d - 1];
        const std::string& nurse = form.aptaj[d - 1];
        const bool hasNurse = !app::IsBlank(nurse), hasActivity = !app::IsBlank(tev);
        if (hasNurse && !hasRowWith(apol, "Aptaj", nurse)) fail("Nem szerepel az " + nurse + " ápoló a törzsben!");
        if (hasNurse && hasActivity) {
            const std::string& date = form.apdat[d - 1];
            if (capacity) capacity->countVisit(nurse);
            if (!activityCodeCharactersOk(tev)) fail("A tevékenység kódja csak 1 és 8 között lehet!");
            else if (!activityNursesFilled(tev, form.aptev)) fail("A tevékenységeknek megfelelő ápoló nincs kitöltve!");
            else activities.count(tev);
            if (taken && taken->count(date)) fail("Az ápolás dátuma " + date + " időben átfed egy másik teljesítést");
            walk.visit(date);
        } else if (hasNurse || hasActivity) {
            fail("A " + std::to_string(d) + ". napi adatokat ki kell tölteni!");
        }
    }
    // Without a visit day the earliest date is empty, which every start of care follows.
    if (form.m_szakvet > walk.earliest) fail("Az ápolás dátuma nem lehet kisebb az ápolásba vételnél!");
    if (!dateBlank(form.m_lezdat) && form.m_lezdat < walk.latest)
        fail("Az ápolás dátuma nem lehet nagyobb az ápolási eset lezárásánál !");

    const auto ordered = wholeNumber(form.m_elviz);
    const auto billed = app::IsBlank(form.m_elszviz) ? std::optional<int>(0) : wholeNumber(form.m_elszviz);
    if (!ordered || !billed) fail("Csak szám írható a mezőbe!");
    else if (!dayCountFits(walk.visits, *ordered, *billed))
        fail("A napok száma nem lehet több 50-nél, és az elrendelt napoknál!");

    if (form.tszam + walk.visits > 150)
        ctx.dialogs.warning("A TAJ számra rögzített napok száma nem lehet több 150-nél!");

    const auto series = queries::seriesActivityCodes(sql, key, form.m_taj);
    if (!series) fail(kQueryFailed);
    else {
        for (const std::string& tev : *series) activities.count(tev);
        if (!activities.beyondNursing()) fail("Ezek csak szakápolási tevékenységek, itt nem jelenthetők!");
    }

    if (capacity && !capacity->overrun.empty())
        ctx.dialogs.warning("Dolgozói kapacitás túllépés a " + capacity->overrun + " TAJ számú dolgozónál!");
    form.vizitdb = walk.visits;
    return passed;
}

// Step 1: the blank mandatory fields, named in one message.
bool mandatoryFieldsFilled(const SheetForm& form, SheetContext& ctx) {
    const bool category = recordsPatientCategory(form.m_idosz);
    const struct {
        bool blank;
        const char* name;
    } fields[] = {
        {app::IsBlank(form.m_taj), "TAJ szám"},
        {category && app::IsBlank(form.m_aztip), "Azonosító típus"},
        {app::IsBlank(form.m_nev), "Beteg neve"},
        {app::IsBlank(form.m_kozigkod), "Közigazgatási kód"},
        {app::IsBlank(form.m_cim2), "Beteg címe"},
        {dateBlank(form.m_szido), "Beteg születési ideje"},
        {category && app::IsBlank(form.m_terkat), "Térítési kategória"},
        {category && app::IsBlank(form.m_allp), "Állampolgárság"},
        {app::IsBlank(form.m_alapb), "Alapbetegség"},
        {app::IsBlank(form.m_fodiag), "Fődiagnózis"},
        {app::IsBlank(form.m_eorv), "Elrendelő orvos pecsétszáma"},
        {dateBlank(form.m_elrend), "Elrendelés ideje"},
        {dateBlank(form.m_szakvet), "Ápolásba vétel ideje"},
        {app::IsBlank(form.m_gyak), "Gyakoriság szövege"},
        {app::IsBlank(form.m_elszam), "Folyamatos elrendelés száma"},
        {app::IsBlank(form.m_elviz), "Elrendelt napok száma"},
    };
    std::string message = "A következő mezők kitöltése kötelező:\r";
    bool anyBlank = false;
    for (const auto& f : fields)
        if (f.blank) {
            message += std::string(f.name) + "\r";
            anyBlank = true;
        }
    if (anyBlank) ctx.dialogs.error(message);
    return !anyBlank;
}

// Steps 6 to 9: a diagnosis that is no Z code and stands in BNOTORZS.
bool diagnosisKnown(const std::string& code, const std::string& missing, SheetContext& ctx) {
    if (!app::CheckNotZCode(code, ctx.dialogs)) return false;
    if (hasRowWith(table(ctx, store::schema::BNOTORZS()), "KOD10", code)) return true;
    ctx.dialogs.error(missing);
    return false;
}

} // namespace

bool visitCheck(SheetForm& form, SheetContext& ctx) {
    db::Sql sql(ctx.db);
    return visitCheck(form, ctx, sql);
}

bool sheetCheck(SheetForm& form, SheetContext& ctx) {
    if (!mandatoryFieldsFilled(form, ctx)) return false;
    db::Sql sql(ctx.db);
    const SheetKey key = form.key();
    const std::string& currentPeriod = ctx.session.mIdoszak;
    bool passed = true;
    auto fail = [&](const std::string& message) {
        ctx.dialogs.error(message);
        passed = false;
    };
    auto check = [&](bool ok) { passed = passed && ok; };

    const bool tajTest = !recordsPatientCategory(form.m_idosz) || form.m_aztip == "1";
    if (tajTest && !app::TajCheckDigitOk(form.m_taj)) fail("Nem létező TAJ szám!");
    if (form.bnem != "Férfi" && form.bnem != "Nő") fail("A nem csak nő, vagy férfi lehet!");
    if (!hasRowWith(table(ctx, store::schema::TELEPUL()), "KOZIGKOD", form.m_kozigkod)) {
        ctx.dialogs.warning("Nincs ilyen település");
        passed = false;
    }
    check(app::CheckDateFrom1895(form.m_szido, currentPeriod, ctx.dialogs));
    check(diagnosisKnown(form.m_alapb, "Nincs az Alapbetegség diagnózisa a törzsben!", ctx));
    check(diagnosisKnown(form.m_fodiag, "Nincs az Ápolást indokló fődiagnózis a törzsben!", ctx));
    if (!app::IsBlank(form.m_fekvd))
        check(diagnosisKnown(form.m_fekvd, "Nincs a Kórházi ápolás diagnózisa a törzsben!", ctx));
    if (!app::IsBlank(form.m_kiserd))
        check(diagnosisKnown(form.m_kiserd, "Nincs a Kísérő betegség diagnózisa a törzsben!", ctx));
    if (!app::IsBlank(form.m_eorv) && app::IsBlank(form.orv1)) fail("Nincs az elrendelő orvos neve kitöltve!");
    if (!app::IsBlank(form.m_jorv) && app::IsBlank(form.orv2)) fail("Nincs a javaslatot tevő orvos neve kitöltve!");
    check(app::CheckDateFrom1996(form.m_elrend, currentPeriod, ctx.dialogs));
    // The start of care is a real date before anything compares with it.
    if (!app::IsValidDateText(form.m_szakvet)) fail("Érvénytelen dátum!!");
    check(queries::overlapCheck(sql, key, form.m_taj, form.m_elrend, form.m_szakvet, ctx.dialogs));
    check(numberCheck(form.m_elviz, DayCountField::Ordered, ctx.dialogs));
    if (wholeNumber(form.m_elszam) == 0) fail("A folyamatos elrendelés nem lehet 0!");
    const OrderNumberResult order =
        queries::orderNumberCheck(sql, key, form.m_taj, form.m_elszam, OrderNumberForm::Save, ctx.dialogs);
    if (order.elszam) form.m_elszam = *order.elszam;
    check(order.passed);
    check(numberCheck(form.m_elszviz, DayCountField::Billed, ctx.dialogs));
    check(closingDateCheck(form.m_lezdat, form.m_szakvet, form.m_idosz, ctx.dialogs));
    const db::Table& apol = table(ctx, store::schema::APOL());
    for (const std::string& nurse : form.aptev)
        if (!app::IsBlank(nurse) && !hasRowWith(apol, "Aptaj", nurse))
            fail("Nincs a " + nurse + " TAJ számú ápoló a törzsben!");

    // The patient's days on other sheets, as they stand now: the TAJ field
    // may never have been left, or other sheets saved since.
    if (const auto days = queries::patientDays(sql, key, form.m_taj)) form.tszam = *days;
    else fail(kQueryFailed);
    check(visitCheck(form, ctx, sql));
    return passed;
}

} // namespace velmora::sheets
