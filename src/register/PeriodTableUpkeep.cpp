#include "register/PeriodTableUpkeep.h"

#include "db/Sql.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <stdexcept>

namespace velmora::reg {

namespace {

std::string monthAfter(const std::string& period) {
    const auto first = app::Date::parse(period + ".01");
    if (!first) throw std::invalid_argument("not a period: " + period);
    return first->addMonths(1).period();
}

void updatePeriodTable(db::Database& db, const app::Date& today) {
    const std::string from = today.addMonths(-6).period();
    const std::string to = today.addMonths(-1).period();
    const db::SqlResult sent = db::Sql(db).run(
        {"select idoszak,count(sorsz) as szam from hlapa ",
         "where elkuldve is not null and elkuldve<>'YY' and idoszak>='" + from + "' and idoszak<='" + to + "' ",
         "group by idoszak", "order by idoszak"});
    if (sent.rows.empty()) return;

    db::Table& zaras = store::tableOf(db, store::schema::ZARAS());
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

app::Outcome maintainPeriodTable(db::Database& db, const app::Clock& clock, app::Dialogs& dialogs) {
    try {
        updatePeriodTable(db, clock.today());
    } catch (const std::exception& e) {
        const app::Failure failure = app::failureOf("Hiba a lefutásban! (18)", e);
        app::show(dialogs, failure);
        return failure;
    }
    return std::nullopt;
}

} // namespace velmora::reg
