#include "sheets/SheetTables.h"

#include "db/Sql.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::sheets {

app::Outcome fillSheetDefaultsFrom2016(db::Database& db, app::Dialogs& dialogs) {
    try {
        db::Sql(db).run(
            "update hlapa set aztip='1', allamp='HUN',terkat='01' where idoszak >= '2016.01' and aztip is null and "
            "allamp is null and terkat is null");
    } catch (const std::exception& e) {
        try { store::tableOf(db, store::schema::HLAPA()).close(); } catch (...) {}
        const app::Failure failure = app::failureOf("Hiba a lefutásban! (lap_ures)", e);
        app::show(dialogs, failure);
        return failure;
    }
    return std::nullopt;
}

void addPatientNameLookup(db::Database& db) {
    store::tableOf(db, store::schema::HLAPA())
        .addLookupField("bnev", "TAJ", store::tableOf(db, store::schema::BETEG()), "TAJ", "NEV");
}

} // namespace velmora::sheets
