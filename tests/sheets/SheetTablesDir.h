#pragma once
// A data directory with the sheet tables HLAPA and HLAPB created, indexed
// and open as the start-up leaves them, and a readable print of a sheet for
// the tests' failure messages.
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include "db/Database.h"
#include "sheets/Sheet.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"

#include <ostream>

namespace velmora::test {

struct SheetTablesDir {
    TempDir dir;
    ScriptedDialogs dialogs;
    db::Database db{dir.str()};

    SheetTablesDir() {
        store::Crtlapa(db, dialogs);
        store::Crtlapb(db, dialogs);
    }
    db::Table& hlapa() { return store::tableOf(db, store::schema::HLAPA()); }
    db::Table& hlapb() { return store::tableOf(db, store::schema::HLAPB()); }
};

} // namespace velmora::test

namespace velmora::sheets {

// Every field of the sheet, one "name=value" after the other.
inline void PrintTo(const Sheet& s, std::ostream* os) {
    *os << "{" << s.key.idoszak << " " << s.key.sorsz << "/" << s.key.resz;
    auto f = [&](const char* name, const std::string& v) {
        if (!v.empty()) *os << " " << name << "=" << v;
    };
    f("intkod", s.intkod), f("finkod", s.finkod), f("taj", s.taj), f("kozigkod", s.kozigkod), f("tpotl", s.tpotl);
    f("bnofek", s.bnofek), f("bnofo", s.bnofo), f("bnokis", s.bnokis), f("bnoab", s.bnoab);
    f("orvkode", s.orvkode), f("orvkodj", s.orvkodj), f("orvtip", s.orvtip);
    f("elrend", s.elrend), f("szakvet", s.szakvet), f("gyak", s.gyak), f("lezdat", s.lezdat);
    *os << " elvizdb=" << s.elvizdb << " elszviz=" << s.elszviz << " elszam=" << s.elszam << " sznap=" << s.sznap;
    for (size_t k = 0; k < s.aptaj.size(); ++k) f(("aptaj" + std::to_string(k + 1)).c_str(), s.aptaj[k]);
    f("aztip", s.aztip), f("terkat", s.terkat), f("allamp", s.allamp), f("tele", s.tele);
    f("jeloles", s.jeloles), f("elkuldve", s.elkuldve), f("allapot", s.allapot), f("modtipus", s.modtipus);
    for (size_t d = 0; d < s.visits.size(); ++d) {
        const Visit& v = s.visits[d];
        if (v == Visit{}) continue;
        *os << " day" << d + 1 << "=[" << v.tev << "|" << v.apbtaj << "|" << v.apdat << "|" << v.eli << "]";
    }
    f("visitJeloles", s.visitJeloles), f("visitElkuldve", s.visitElkuldve);
    *os << "}";
}

} // namespace velmora::sheets
