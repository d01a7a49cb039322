// The shipment's queries. The mark is bound as a parameter like every value.
#include "exchange/ShipmentQueries.h"

#include "db/Sql.h"
#include "db/SqlRows.h"

namespace velmora::exchange {
namespace {

const db::Value kMarked("*");

std::string visitJoin() { return db::sql::joinKey("a", "b", {"sorsz", "resz", "idoszak"}, {"resz"}); }

// The header columns of HLAPA under the names the files give them.
const char* const kHeaderColumns =
    "a.intkod as kabkod,a.finkod,a.sorsz as sorszam,a.resz,a.idoszak,a.orvkode,a.orvkodj,a.orvtip,"
    "a.taj,a.kozigkod,a.tpotl as terpot,a.elszam,a.elrend,a.szakvet,a.elvizdb,a.gyak,a.elszviz,a.lezdat,"
    "a.aptaj1,a.aptaj2,a.aptaj3,a.aptaj4,a.aptaj5,a.aptaj6,a.aptaj7,a.aptaj8,a.sznap as onapdb,"
    "a.modtipus,a.aztip,a.terkat,a.allamp";

std::vector<QueryRow> query(db::Database& db, const std::string& statement) {
    return db::namedRows(db::Sql(db).run(statement, {kMarked}));
}

} // namespace

std::vector<QueryRow> headerRows(db::Database& db) {
    return query(db, std::string("select distinct ") + kHeaderColumns +
                         ",d.cime2 as cim,d.neme,d.szuli as szulido "
                         "from hlapa a, beteg d "
                         "where a.jeloles=? and a.taj=d.taj "
                         "order by a.idoszak,a.sorsz,a.resz");
}

std::vector<QueryRow> visitRows(db::Database& db) {
    return query(db, "select b.* from hlapa a, hlapb b "
                     "where a.jeloles=? and " + visitJoin() + " order by b.idoszak,b.sorsz,b.resz");
}

std::vector<QueryRow> diagnosisRows(db::Database& db) {
    return query(db, "select intkod as kabkod,finkod,sorsz as sorszam,resz,idoszak,bnofek,bnoab,bnofo,bnokis "
                     "from hlapa where jeloles=? order by idoszak,sorsz,resz");
}

std::vector<QueryRow> markedSheets(db::Database& db) {
    return query(db, std::string("select ") + kHeaderColumns +
                         ",exists(select 1 from beteg d where d.taj=a.taj) as has_patient"
                         ",exists(select 1 from hlapb b where " + visitJoin() + ") as has_visits "
                         "from hlapa a where a.jeloles=? order by a.idoszak,a.sorsz,a.resz");
}

} // namespace velmora::exchange
