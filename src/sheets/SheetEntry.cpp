// Opening the entry window for a sheet, and what the choose windows'
// results do to the form. The checks on leaving a field are in
// FieldExits.cpp.
#include "sheets/SheetEntry.h"

#include "app/TextHelpers.h"
#include "sheets/RowLookup.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::sheets {

namespace {

db::Table& table(SheetContext& ctx, const store::schema::TableDef& def) { return store::tableOf(ctx.db, def); }

// The period's days in the grid: the dates of the month's days, nothing
// for the days it does not have.
void setGridDates(SheetForm& form) {
    form.tnap = app::DaysInPeriod(form.m_idosz);
    for (int d = 0; d < kMaxDays; ++d)
        form.apdat[d] = d < form.tnap ? form.m_idosz + "." + app::TwoDigits(d + 1) : std::string();
}

void fillPatient(SheetForm& form, SheetContext& ctx) {
    const db::Table& beteg = table(ctx, store::schema::BETEG());
    const auto row = rowWith(beteg, "TAJ", form.m_taj);
    auto field = [&](const char* name) { return row ? fieldText(beteg, *row, name) : std::string(); };
    form.m_nev = field("Nev");
    form.m_kozigkod = field("Kozigkod");
    form.m_cim1 = field("Cime1");
    form.m_cim2 = field("Cime2");
    form.m_szh = field("Szulh");
    form.m_szido = field("Szuli");
    form.bnem = sexName(field("Neme"));
    form.betf = row.has_value();
}

} // namespace

SheetForm newSheetForm(SheetContext& ctx, SheetKind kind) {
    if (kind == SheetKind::NextPart) throw std::invalid_argument("a következő részszámla az első részből készül");
    const std::string period = ctx.session.mIdoszak;
    SheetForm form;
    form.mode = EntryMode::New;
    form.usorsz = nextSheetNumber(ctx.db, period.substr(0, 4));
    form.uresz = kind == SheetKind::FirstPart ? "A" : "";
    form.m_sorsz = form.usorsz + form.uresz;
    form.m_idosz = period;
    if (recordsPatientCategory(period)) {
        form.m_aztip = "1";
        form.tajAztip = "1";
        form.m_terkat = "01";
        form.m_allp = "HUN";
    }
    form.m_eorvtip = "1";
    form.m_elszam = "0";
    form.m_elszviz = "0";
    form.m_elviz = "0";
    setGridDates(form);
    form.vszam = "0";
    return form;
}

SheetForm storedSheetForm(SheetContext& ctx, const Sheet& sheet, EntryMode mode) {
    SheetForm form;
    form.mode = mode;
    form.usorsz = sheet.key.sorsz;
    form.uresz = sheet.key.resz;
    form.m_sorsz = sheet.key.number();
    form.m_idosz = sheet.key.idoszak;
    const std::string& period = sheet.key.idoszak;

    form.m_taj = sheet.taj;
    fillPatient(form, ctx);
    form.m_aztip = sheet.aztip;
    form.tajAztip = sheet.aztip;
    // What the sheet stores decides what it shows: its own period.
    if (recordsPatientCategory(period)) {
        form.m_terkat = sheet.terkat;
        form.m_allp = sheet.allamp;
    }
    form.CB1 = sheet.tpotl == "I";

    const db::Table& bno = table(ctx, store::schema::BNOTORZS());
    auto bnoName = [&](const std::string& code) { return textOfRowWith(bno, "KOD10", code, "NEV"); };
    form.m_fekvd = sheet.bnofek;
    form.bno1 = bnoName(sheet.bnofek);
    form.m_alapb = sheet.bnoab;
    form.bno2 = bnoName(sheet.bnoab);
    form.m_kiserd = sheet.bnokis;
    form.bno3 = bnoName(sheet.bnokis);
    form.m_fodiag = sheet.bnofo;
    form.bno4 = bnoName(sheet.bnofo);

    const db::Table& orvos = table(ctx, store::schema::ORVOS());
    form.m_eorv = sheet.orvkode;
    form.orv1 = textOfRowWith(orvos, "Orvoskod", sheet.orvkode, "Onev");
    if (recordsDoctorType(period)) form.m_eorvtip = app::IsBlank(sheet.orvtip) ? "1" : sheet.orvtip;
    form.m_jorv = sheet.orvkodj == "0" ? std::string() : sheet.orvkodj;
    form.orv2 = textOfRowWith(orvos, "Orvoskod", form.m_jorv, "Onev");

    form.m_elrend = sheet.elrend;
    form.m_szakvet = sheet.szakvet;
    form.m_elviz = std::to_string(sheet.elvizdb);
    form.m_gyak = sheet.gyak;
    form.m_elszam = std::to_string(sheet.elszam);
    form.m_elszviz = std::to_string(sheet.elszviz);
    form.m_lezdat = sheet.lezdat;

    const db::Table& apol = table(ctx, store::schema::APOL());
    for (int k = 0; k < kActivities; ++k) {
        form.aptev[k] = sheet.aptaj[k];
        form.apnev[k] = textOfRowWith(apol, "Aptaj", sheet.aptaj[k], "Anev");
    }

    setGridDates(form);
    for (int d = 0; d < form.tnap; ++d) {
        const Visit& visit = sheet.visits[d];
        const bool visited = !visit.apdat.empty();
        form.tev[d] = visited ? visit.tev : std::string();
        form.aptaj[d] = visited ? visit.apbtaj : std::string();
    }
    form.vszam = std::to_string(sheet.sznap);
    form.vszame = sheet.elszviz != 0 ? std::to_string(sheet.elszviz) : std::string();
    return form;
}

std::string firstControl(const SheetForm& form, const app::Session& session) {
    if (!form.editable()) return {};
    return recordsPatientCategory(session.mIdoszak) ? "m_aztip" : "m_taj";
}

bool showsPatientCategory(const app::Session& session) { return recordsPatientCategory(session.mIdoszak); }

// --- choose windows ----------------------------------------------------------

FieldExit patientChosen(SheetForm& form, const PatientChoice& choice, SheetContext& ctx) {
    if (app::IsBlank(choice.btaj)) return {};
    form.m_taj = choice.btaj;
    form.m_nev = choice.bnev;
    form.m_kozigkod = choice.bkozig;
    form.m_cim1 = choice.bvaros;
    form.m_cim2 = choice.bcim;
    form.m_szh = choice.bszhely;
    form.m_szido = choice.bszido;
    form.m_aztip = choice.baztip;
    form.tajAztip = choice.baztip;
    form.bnem = sexName(choice.bnem);
    // The focus leaves m_taj for CB1: the TAJ field's exit runs.
    FieldExit taj = leaveField(form, "m_taj", ctx);
    if (taj.focus().control.empty()) taj.move = FocusMove::to("CB1");
    return taj;
}

FocusMove settlementChosen(SheetForm& form, const std::string& vkod, const std::string& vnev) {
    if (app::IsBlank(vkod)) return FocusMove::to("m_kozigkod");
    form.m_kozigkod = vkod;
    form.m_cim1 = vnev;
    return FocusMove::to("m_cim2");
}

FocusMove diagnosisChosen(SheetForm& form, const std::string& control, const std::string& bnkod,
                          const std::string& bnnev) {
    static const std::pair<const char*, const char*> labels[] = {
        {"m_fekvd", "bno1"}, {"m_alapb", "bno2"}, {"m_kiserd", "bno3"}, {"m_fodiag", "bno4"}};
    if (!app::IsBlank(bnkod))
        for (const auto& [field, label] : labels)
            if (control == field) {
                *form.text(field) = bnkod;
                *form.text(label) = bnnev;
            }
    return FocusMove::to(control);
}

FocusMove doctorChosen(SheetForm& form, char which, const std::string& okod, const std::string& onev) {
    if (which == 'E') {
        if (app::IsBlank(okod)) return FocusMove::to("m_eorv");
        form.m_eorv = okod;
        form.orv1 = onev;
        return FocusMove::to("m_jorv");
    }
    if (!app::IsBlank(okod)) {
        form.m_jorv = okod;
        form.orv2 = onev;
    }
    return FocusMove::stay();
}

FocusMove nurseChosen(SheetForm& form, const std::string& control, const std::string& akod) {
    std::string* target = form.text(control);
    if (target && !app::IsBlank(akod) && (control.rfind("aptev", 0) == 0 || control.rfind("aptaj", 0) == 0))
        *target = akod;
    return FocusMove::stay();
}

FocusMove activitiesChosen(SheetForm& form, int day, const std::string& tevszov) {
    if (day >= 1 && day <= kMaxDays && !app::IsBlank(tevszov)) form.tev[day - 1] = tevszov;
    return FocusMove::stay();
}

} // namespace velmora::sheets
