#include "masterdata/MasterData.h"

#include "app/Numbers.h"
#include "app/TextHelpers.h"
#include "masterdata/PostErrors.h"

#include <unordered_set>

namespace velmora::masterdata {


bool AnyRowWith(const db::Table& table, const std::vector<std::string>& fields, const std::string& value) {
    std::vector<int> indexes;
    for (const auto& f : fields) {
        const int i = table.fieldIndex(f);
        if (i >= 0) indexes.push_back(i);
    }
    const uint32_t n = table.physicalCount();
    for (uint32_t r = 0; r < n; ++r) {
        if (table.isDeletedAt(r)) continue;
        for (int i : indexes)
            if (table.valueAt(r, i).asString() == value) return true;
    }
    return false;
}

namespace {

// Posts through the table's post-error handler; a handled key violation
// abandons the edit and names the control to focus.
SaveResult postOrRefuse(db::Table& table, app::Dialogs& dialogs) {
    if (auto reply = masterdata::postRow(table, dialogs)) {
        table.cancel();
        return SaveResult::refused(reply->control);
    }
    return SaveResult::saved();
}

void deleteAndPack(db::Table& table) {
    table.deleteCurrent();
    table.pack();
    table.first();
}

} // namespace

// --- patients ---------------------------------------------------------------

std::string GeneratedPatientId(const db::Table& beteg) {
    std::unordered_set<std::string> used;
    const int taj = beteg.fieldIndex("TAJ");
    for (uint32_t r = 0, n = beteg.physicalCount(); r < n; ++r)
        if (!beteg.isDeletedAt(r)) used.insert(beteg.valueAt(r, taj).asString());
    int64_t id = kEllsz + beteg.recordCount();
    while (used.count(std::to_string(id))) ++id;
    return std::to_string(id);
}

MissingFields MissingPatientFields(const PatientInput& in) {
    std::string dateDigits;
    for (char c : in.szuli)
        if (c != '.') dateDigits += c;
    const struct {
        bool blank;
        const char* label;
        const char* control;
    } fields[] = {
        {app::IsBlank(in.taj), "TAJ szám", "btaj"},
        {app::IsBlank(in.nev), "Beteg neve", "Bnev"},
        {app::IsBlank(in.neme), "Beteg neme", "bnem"},
        {app::IsBlank(in.kozigkod) || app::IsBlank(in.cime1) || app::IsBlank(in.cime2), "Beteg címe", "bkod"},
        {app::IsBlank(dateDigits), "Beteg születési ideje", "bszido"},
        {app::IsBlank(in.aztip), "Azonosító típus", "azt"},
    };
    MissingFields out;
    for (const auto& f : fields) {
        if (!f.blank) continue;
        out.labels.push_back(f.label);
        if (out.focus.empty()) out.focus = f.control;
    }
    return out;
}

bool CheckPatientTaj(const std::string& aztip, const std::string& taj, app::Dialogs& dialogs) {
    if (aztip != "1" || app::TajCheckDigitOk(taj)) return true;
    dialogs.warning("Nem létező TAJ szám!");
    return false;
}

bool CheckPatientSex(const std::string& neme, app::Dialogs& dialogs) {
    if (neme == "F" || neme == "N") return true;
    dialogs.warning("A nem csak nő, vagy férfi lehet!");
    return false;
}

bool CheckPatientSettlement(const db::Table& telepul, const std::string& kozigkod, app::Dialogs& dialogs) {
    if (!kozigkod.empty() && AnyRowWith(telepul, {"KOZIGKOD"}, kozigkod)) return true;
    dialogs.warning("Nincs ilyen település a törzsben!");
    return false;
}

std::string SettlementName(const db::Table& telepul, const std::string& kozigkod) {
    if (kozigkod.empty()) return {};
    return telepul.lookup("KOZIGKOD", db::Value(kozigkod), "HELYNEV").asString();
}

SaveResult SavePatient(db::Table& beteg, const PatientChecks& checks, EditMode mode, const PatientInput& in,
                       app::Dialogs& dialogs) {
    const MissingFields missing = MissingPatientFields(in);
    if (!missing.labels.empty()) {
        std::string text = "A következő mezők kitöltése kötelező:";
        for (const auto& l : missing.labels) text += "\n" + l;
        dialogs.warning(text);
        return SaveResult::refused(missing.focus);
    }
    if (!CheckPatientTaj(in.aztip, in.taj, dialogs)) return SaveResult::refused("btaj");
    if (!CheckPatientSex(in.neme, dialogs)) return SaveResult::refused("bnem");
    if (!CheckPatientSettlement(checks.telepul, in.kozigkod, dialogs)) return SaveResult::refused("bkod");
    if (!app::CheckDateFrom1895(in.szuli, checks.currentPeriod, dialogs)) return SaveResult::refused("bszido");
    if (!dialogs.ask(app::question(app::Msg::SavePatientQuestion))) return SaveResult::declined();
    if (mode == EditMode::Modify) {
        beteg.edit();
    } else {
        beteg.setActiveIndex("Beteg1");
        if (beteg.locate("TAJ", in.taj)) {
            dialogs.warning("Ilyen beteg már létezik !");
            return SaveResult::refused("btaj");
        }
        beteg.append();
    }
    beteg.setField("Aztip", in.aztip);
    beteg.setField("TAJ", in.taj);
    beteg.setField("Nev", in.nev);
    beteg.setField("Neme", in.neme);
    beteg.setField("Kozigkod", in.kozigkod);
    beteg.setField("Cime1", in.cime1);
    beteg.setField("Cime2", in.cime2);
    beteg.setField("Szulh", in.szulh);
    beteg.setField("Szuli", in.szuli);
    return postOrRefuse(beteg, dialogs);
}

bool DeletePatient(db::Table& beteg, const db::Table& hlapa, app::Dialogs& dialogs) {
    if (beteg.recNo() < 0) return false;
    const std::string taj = beteg.text("TAJ");
    if (AnyRowWith(hlapa, {"Taj"}, taj)) {
        dialogs.information("A beteg szerepel az elszámolásban,\raz adatai nem törölhetők!!");
        return false;
    }
    if (!dialogs.ask(app::question(app::Msg::DeletePatientQuestion))) return false;
    deleteAndPack(beteg);
    return true;
}

// --- doctors and nurses -----------------------------------------------------

const StaffRegister& Doctors() {
    static const StaffRegister r{"ORVOS",
                                 "Orvoskod",
                                 "Onev",
                                 "OP",
                                 "Az orvos adatait ki kell tölteni!",
                                 app::Msg::SaveDoctorQuestion,
                                 "Ilyen orvos már létezik !",
                                 "Az orvos szerepel az elszámolásban, az adatai nem törölhetők!!",
                                 app::Msg::DeleteDoctorQuestion};
    return r;
}

const StaffRegister& Nurses() {
    static const StaffRegister r{"APOL",
                                 "Aptaj",
                                 "Anev",
                                 "Etaj",
                                 "Az ápoló adatait ki kell tölteni!",
                                 app::Msg::SaveNurseQuestion,
                                 "Ilyen ápoló már létezik !",
                                 "Az ápoló szerepel az elszámolásban, az adatai nem törölhetők!!",
                                 app::Msg::DeleteNurseQuestion};
    return r;
}

bool CheckNurseTaj(const std::string& taj, app::Dialogs& dialogs) {
    if (app::TajCheckDigitOk(taj)) return true;
    dialogs.warning("Nem létező TAJ szám!");
    return false;
}

SaveResult SaveStaff(db::Table& table, const StaffRegister& reg, EditMode mode, const std::string& code,
                     const std::string& name, app::Dialogs& dialogs) {
    // A field of spaces counts as filled here.
    if (code.empty() || name.empty()) {
        dialogs.warning(reg.missing);
        return SaveResult::refused(reg.codeControl);
    }
    if (!dialogs.ask(app::question(reg.question))) return SaveResult::declined();
    if (mode == EditMode::Modify) {
        table.edit();
    } else {
        table.first();
        if (table.locate(reg.codeField, code)) {
            dialogs.warning(reg.duplicate);
            return SaveResult::refused(reg.codeControl);
        }
        table.append();
    }
    table.setField(reg.codeField, code);
    table.setField(reg.nameField, name);
    return postOrRefuse(table, dialogs);
}

bool StaffInUse(const StaffRegister& reg, const std::string& code, const db::Table& hlapa, const db::Table& hlapb) {
    if (reg.table == "ORVOS") return AnyRowWith(hlapa, {"Orvkode", "Orvkodj"}, code);
    std::vector<std::string> onSheet, onVisit;
    for (int i = 1; i <= 8; ++i) onSheet.push_back("Aptaj" + std::to_string(i));
    for (int i = 1; i <= 31; ++i) onVisit.push_back("APBTAJ" + std::to_string(i));
    return AnyRowWith(hlapa, onSheet, code) || AnyRowWith(hlapb, onVisit, code);
}

bool DeleteStaff(db::Table& table, const StaffRegister& reg, const db::Table& hlapa, const db::Table& hlapb,
                 app::Dialogs& dialogs) {
    if (table.recNo() < 0) return false;
    if (StaffInUse(reg, table.text(reg.codeField), hlapa, hlapb)) {
        dialogs.information(reg.deleteRefused);
        return false;
    }
    if (!dialogs.ask(app::question(reg.deleteQuestion))) return false;
    deleteAndPack(table);
    return true;
}

// --- residues ---------------------------------------------------------------

SaveResult SaveResidue(db::Table& maradv, const db::Table& part, EditMode mode, const std::string& currentPeriod,
                       const std::string& mft, app::Dialogs& dialogs) {
    const std::string mido = mode == EditMode::Modify ? maradv.text("Midoszak") : currentPeriod;
    if (mido.empty() || mft.empty()) {
        dialogs.warning("Az maradvány adatait ki kell tölteni!");
        return SaveResult::refused("mft");
    }
    // Spaces are the groups' separators, as the amounts are shown.
    const std::optional<int64_t> typed = app::ParseWhole(mft);
    if (!typed) {
        dialogs.warning("A Ft csak szám lehet!");
        return SaveResult::refused("mft");
    }
    const int64_t ft = *typed;
    if (ft <= 0) {
        dialogs.warning("A Ft nem lehet 0!");
        return SaveResult::refused("mft");
    }
    if (!dialogs.ask(app::question(app::Msg::SaveResidueQuestion))) return SaveResult::declined();
    if (mode == EditMode::Modify) {
        maradv.edit();
    } else {
        maradv.first();
        if (maradv.locate("Midoszak", mido)) {
            dialogs.warning("Adott időszakra már létezik maradvány!");
            return SaveResult::refused("mft");
        }
        maradv.append();
    }
    std::string intkod;
    if (part.physicalCount() > 0) intkod = part.valueAt(0, part.fieldIndex("INTKOD")).asString();
    maradv.setField("Intkod", intkod);
    if (mode == EditMode::New) maradv.setField("Midoszak", mido);
    maradv.setField("Ft", db::Value(ft));
    return postOrRefuse(maradv, dialogs);
}

bool DeleteResidue(db::Table& maradv, app::Dialogs& dialogs) {
    if (maradv.recNo() < 0) return false;
    if (!dialogs.ask(app::question(app::Msg::DeleteResidueQuestion))) return false;
    deleteAndPack(maradv);
    return true;
}

// --- contract view ----------------------------------------------------------

namespace {
// A damaged date (bytes that make no date) bounds nothing, like an empty one.
std::string dateText(const db::Table& t, const char* field) {
    const db::Value v = t.field(field);
    return v.isDamaged() ? std::string() : v.asString();
}
} // namespace

std::string ContractValidityFilter(const db::Table& hszerz) {
    std::string start = dateText(hszerz, "SZKEZD");
    // No period listed: the empty date reads as day zero, so no row is valid.
    if (start.empty()) start = "1899.12.30";
    std::string end = dateText(hszerz, "SZVEG");
    if (end.empty()) end = "2999.12.01";
    return "kezd<='" + start + "' and (veg >='" + end + "' or veg=null)";
}

void ApplyContractFilter(db::Table& hszerz, std::vector<db::Table*> detailTables) {
    const std::string filter = ContractValidityFilter(hszerz);
    for (db::Table* t : detailTables) {
        t->first();
        t->clearFilter();
        t->setFilter(filter);
        t->first();
    }
}

} // namespace velmora::masterdata
