#include "reports/Provider.h"

#include "reports/Counties.h"
#include "reports/QueryRows.h"

namespace velmora::reports {

namespace {

// Two parts joined by `sep`, or the one that is there.
std::string joined(const std::string& a, const char* sep, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + sep + b;
}

} // namespace

Provider providerOf(db::Database& db, const std::string& intkod) {
    const auto rows = db::namedRows(intkod.empty() ? db::Sql(db).run("select * from part")
                                            : db::Sql(db).run("select * from part where intkod=?", {db::Value(intkod)}));
    if (rows.empty()) return {};
    const QueryRow& p = rows[0];
    Provider out;
    out.intkod = text(p, "intkod");
    out.megye = text(p, "megye");
    out.county = countyName(out.megye);
    out.inte = text(p, "inte");
    out.szcim = joined(joined(text(p, "irszam"), " ", text(p, "hely")), ", ", text(p, "utca"));
    out.telsz = joined(text(p, "telkorzet"), " ", text(p, "telszam"));
    return out;
}

} // namespace velmora::reports
