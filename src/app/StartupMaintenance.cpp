#include "app/StartupMaintenance.h"

#include "app/IndexFiles.h"
#include "app/Schemas.h"
#include "app/TextHelpers.h"
#include "db/Sql.h"

#include <stdexcept>

namespace velmora::app {

namespace {

std::string monthAfter(const std::string& period) {
    const auto first = Date::parse(period + ".01");
    if (!first) throw std::invalid_argument("not a period: " + period);
    return first->addMonths(1).period();
}

void updatePeriodTable(db::Database& db, const Date& today) {
    const std::string from = today.addMonths(-6).period();
    const std::string to = today.addMonths(-1).period();
    const db::SqlResult sent = db::Sql(db).run(
        {"select idoszak,count(sorsz) as szam from hlapa ",
         "where elkuldve is not null and elkuldve<>'YY' and idoszak>='" + from + "' and idoszak<='" + to + "' ",
         "group by idoszak", "order by idoszak"});
    if (sent.rows.empty()) return;

    db::Table& zaras = tableOf(db, schema::ZARAS());
    for (const auto& row : sent.rows) {
        const std::string period = row[0].asString();
        if (period.empty()) continue;
        const std::string next = monthAfter(period);
        if (zaras.locate("Idoszak", period)) {
            if (next < zaras.text("Zaras").substr(0, 7)) {
                zaras.edit();
                zaras.setField("Zaras", next + ".05");
                zaras.post();
            }
        } else {
            zaras.append();
            zaras.setField("Idoszak", period);
            zaras.setField("Lapoksz", row[1]);
            zaras.setField("Zaras", next + ".05");
            zaras.post();
        }
    }

    const std::string last = sent.rows.back()[0].asString();
    if (last.empty()) return;
    if (zaras.locate("Idoszak", monthAfter(last))) {
        zaras.deleteCurrent();
        zaras.pack();
    }
}

} // namespace

void maintainPeriodTable(db::Database& db, const Clock& clock, Dialogs& dialogs) {
    try {
        updatePeriodTable(db, clock.today());
    } catch (const std::exception&) {
        dialogs.error("Hiba a lefutásban! (18)");
    }
}

void removeDuplicatePatients(db::Database& db, Dialogs& dialogs) {
    try {
        const db::SqlResult groups = db::Sql(db).run(
            {"select taj,neme,szuli,count(taj) as szam from beteg ", "group by taj,neme,szuli", "having count(taj)>1"});
        db::Table& beteg = tableOf(db, schema::BETEG());
        for (const auto& row : groups.rows) {
            const std::string taj = row[0].asString();
            if (IsBlank(taj)) continue;
            // Found by TAJ alone, as the clean-up always did.
            if (beteg.locate("TAJ", taj)) beteg.deleteCurrent();
        }
        beteg.pack();
    } catch (const std::exception&) {
        dialogs.error("Hiba a lefutásban! (19)");
    }
}

} // namespace velmora::app
