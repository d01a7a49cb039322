#include "masterdata/StartupCleanup.h"

#include "app/TextHelpers.h"
#include "db/Sql.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::masterdata {

namespace {

app::Outcome failed(app::Dialogs& dialogs, const app::Failure& failure) {
    app::show(dialogs, failure);
    return failure;
}

} // namespace

app::Outcome removeDoctorsWithoutCode(db::Database& db, app::Dialogs& dialogs) {
    try {
        db::Table& orvos = store::tableOf(db, store::schema::ORVOS());
        orvos.first();
        while (!orvos.eof()) {
            if (app::IsBlank(orvos.text("Orvoskod"))) orvos.deleteCurrent();
            else orvos.next();
        }
    } catch (const std::exception& e) {
        return failed(dialogs, app::failureOf("Hiba az állomány készítésében! (null_orv_del)", e));
    }
    return std::nullopt;
}

app::Outcome removeDuplicatePatients(db::Database& db, app::Dialogs& dialogs) {
    try {
        const db::SqlResult groups = db::Sql(db).run(
            {"select taj,neme,szuli,count(taj) as szam from beteg ", "group by taj,neme,szuli", "having count(taj)>1"});
        db::Table& beteg = store::tableOf(db, store::schema::BETEG());
        for (const auto& row : groups.rows) {
            const std::string taj = row[0].asString();
            if (app::IsBlank(taj)) continue;
            // Found by TAJ alone, as the clean-up always did.
            if (beteg.locate("TAJ", taj)) beteg.deleteCurrent();
        }
        beteg.pack();
    } catch (const std::exception& e) {
        return failed(dialogs, app::failureOf("Hiba a lefutásban! (19)", e));
    }
    return std::nullopt;
}

} // namespace velmora::masterdata
