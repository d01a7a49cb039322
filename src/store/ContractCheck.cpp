#include "store/ContractCheck.h"

#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"

#include <vector>

namespace velmora::store {

namespace {

// The box listing the missing tables, in the order of the check.
std::string missingFilesMessage(const std::vector<std::string>& missingTables) {
    std::string text = "Nincsenek szerződéses adatok!\rHiányzik:";
    for (const std::string& name : missingTables)
        text += name == "BNOTORZS" ? "\rHiányzik még a BNOTORZS.DBF is." : "\r    " + name + ".DBF";
    text += "\rKérje a hiányzó állományokat a RUV-től,\rés másolja be a DATA könyvtárba!!\r\r"
            "A program ezek nélkül nem indul!!\rKilépés!!";
    return text;
}

} // namespace

const std::vector<const schema::TableDef*>& fundTables() {
    static const std::vector<const schema::TableDef*> t = {&schema::PART(),     &schema::HSZERZ(),
                                                           &schema::HSZOLGSZ(), &schema::TELEPUL(),
                                                           &schema::HTERULET(), &schema::HTHELY(),
                                                           &schema::BNOTORZS()};
    return t;
}

std::optional<ContractDetails> Szerz_nyit(db::Database& db, app::Dialogs& dialogs) {
    std::vector<std::string> missing;
    for (const schema::TableDef* def : fundTables()) {
        db::Table& table = tableOf(db, *def);
        if (!table.exists()) {
            missing.push_back(def->name);
            continue;
        }
        if (def->tags.empty()) continue;  // PART: only its presence counts
        restoreIndexIfMissing(table, *def);
        if (def == &schema::HSZERZ()) AddField(db, dialogs);
    }
    if (!missing.empty()) {
        dialogs.error(missingFilesMessage(missing));
        return std::nullopt;
    }
    for (const schema::TableDef* def : fundTables()) tableOf(db, *def).open();
    return finkodtolt(db, dialogs);
}

void AddField(db::Database& db, app::Dialogs& dialogs) {
    if (!tableOf(db, schema::HSZERZ()).hasField("FINKOD")) ujszerz(db, dialogs);
}

void ujszerz(db::Database& db, app::Dialogs& dialogs) {
    copyThrough(db, schema::HSZERZ(),
                {"select INTKOD,SZSZAM,' ' as finkod,OSSZNAP,SZKEZD,SZVEG,TELEP,ORVOS,GYOGYT,DIPL, DIET, PSZICH,",
                 "MENTAL,SZOCM,HOSPSZ,SZAKAP,FIZIO,OSSZD,MODDAT,0 as NORMNAP,0 as POTNAP ",
                 "from hszerz order by szkezd"},
                "Hiba az állomány készítésében!", dialogs);
    tableOf(db, schema::HSZERZ()).open();
}

std::optional<ContractDetails> finkodtolt(db::Database& db, app::Dialogs& dialogs) {
    db::Table& szerz = tableOf(db, schema::HSZERZ());
    szerz.setActiveIndex("Szerz1");
    szerz.last();
    if (!szerz.hasField("FINKOD")) {
        dialogs.error("Nincs a szerződésben FINKOD mező, így nem használható a program.\rKérjen új szerződés "
                      "adatot!\rA program kilép!");
        return std::nullopt;
    }
    ContractDetails d;
    d.v_finkod = szerz.text("FINKOD");
    d.v_datum = szerz.text("SZKEZD");
    db::Table& part = tableOf(db, schema::PART());
    d.providerLine = part.text("intkod") + " " + part.text("inte") + "  (FINkód: " + d.v_finkod +
                     ", Szerz.kezd: " + d.v_datum + ")";
    return d;
}

void showContractDetails(const ContractDetails& details, app::Session& session, app::Dialogs& dialogs) {
    session.v_finkod = details.v_finkod;
    session.v_datum = details.v_datum;
    dialogs.status(1, details.providerLine);
}

} // namespace velmora::store
