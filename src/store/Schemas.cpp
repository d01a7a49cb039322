#include "store/Schemas.h"

#include <filesystem>

namespace velmora::store::schema {

namespace {

db::FieldDef C(const char* name, int width) { return db::FieldDef::character(name, width); }
db::FieldDef D(const char* name) { return db::FieldDef::date(name); }
db::FieldDef N(const char* name, int width, int decimals = 0) { return db::FieldDef::numeric(name, width, decimals); }

TableDef make(const char* name, const char* fileName, db::FieldList fields, std::vector<IndexDef> tags,
              const char* active) {
    return TableDef{name, fileName, std::move(fields), 4, std::move(tags), active, active};
}

db::FieldList hlapaFields() {
    db::FieldList f = {C("Idoszak", 7), C("Intkod", 4),  C("Finkod", 9),  C("Sorsz", 5),   C("Resz", 1),
                       C("Taj", 9),     C("Kozigkod", 7), C("Tpotl", 1),  C("Bnofek", 5),  C("Bnofo", 5),
                       C("Bnokis", 5),  C("Bnoab", 5),   C("Orvkode", 6), C("Orvkodj", 6), C("Orvtip", 1),
                       D("Elrend"),     D("Szakvet"),    C("Gyak", 15),   N("Elvizdb", 3), N("Elszviz", 3),
                       N("Elszam", 3),  D("Lezdat")};
    for (int i = 1; i <= 8; ++i) f.push_back(db::FieldDef::character("Aptaj" + std::to_string(i), 9));
    for (db::FieldDef d : {C("Aztip", 1), C("Terkat", 2), C("Allamp", 3), N("SzNap", 2), C("Tele", 1),
                           C("Jeloles", 1), C("Elkuldve", 7), C("Allapot", 1), C("Modtipus", 1)})
        f.push_back(d);
    return f;
}

db::FieldList hlapbFields() {
    db::FieldList f = {C("Idoszak", 7), C("Intkod", 4), C("Finkod", 9), C("Sorsz", 5), C("Resz", 1)};
    for (int i = 1; i <= 31; ++i) {
        const std::string n = std::to_string(i);
        f.push_back(db::FieldDef::character("TEV" + n, 8));
        f.push_back(db::FieldDef::date("APDAT" + n));
        f.push_back(db::FieldDef::character("APBTAJ" + n, 9));
        f.push_back(db::FieldDef::character("ELI" + n, 7));
    }
    f.push_back(C("Jeloles", 1));
    f.push_back(C("Elkuldve", 7));
    return f;
}

} // namespace

int TableDef::fieldWidth(const std::string& field) const {
    const int i = db::findField(fields, field);
    return i < 0 ? 0 : fields[static_cast<size_t>(i)].width;
}

std::string TableDef::indexFileName() const {
    return std::filesystem::path(fileName).replace_extension(".mdx").string();
}

const TableDef& ZARAS() {
    static const TableDef t = make(
        "ZARAS", "Zaras.dbf",
        {C("Idoszak", 7), D("Zaras"), N("Lapoksz", 5), D("Ruvkuld"), N("Alapdij", 10, 5), N("Eloleg", 10, 1)},
        {{"Zaras", "Idoszak+dtos(Zaras)"}}, "");
    return t;
}

const TableDef& APOL() {
    static const TableDef t = [] {
        TableDef d = make("APOL", "Apol.dbf", {C("Aptaj", 9), C("Anev", 25)},
                          {{"Apol1", "Aptaj", true}, {"Apol2", "Anev"}}, "Apol1");
        d.activeAfterReindex = "Apol2";
        return d;
    }();
    return t;
}

const TableDef& ORVOS() {
    static const TableDef t = make("ORVOS", "Orvos.dbf", {C("Orvoskod", 6), C("Onev", 25)},
                                   {{"Orvos1", "Orvoskod", true}, {"Orvos2", "Onev"}}, "Orvos2");
    return t;
}

const TableDef& BETEG() {
    static const TableDef t = make("BETEG", "Beteg.dbf",
                                   {C("TAJ", 9), C("Nev", 25), C("Neme", 1), C("Aztip", 1), C("Kozigkod", 7),
                                    C("Cime1", 25), C("Cime2", 25), C("Szulh", 25), D("Szuli")},
                                   {{"Beteg1", "TAJ", true}, {"Beteg2", "Nev"}}, "Beteg2");
    return t;
}

const TableDef& MARADV() {
    static const TableDef t = make("MARADV", "Maradv.dbf", {C("Intkod", 4), C("Midoszak", 7), N("Ft", 10)},
                                   {{"Mar1", "MIdoszak", true}}, "Mar1");
    return t;
}

const TableDef& HLAPA() {
    static const TableDef t =
        make("HLAPA", "HLapa.dbf", hlapaFields(),
             {{"Lap1", "Sorsz+Resz"}, {"Lap2", "Taj+Idoszak"}, {"Lap3", "Idoszak+Sorsz+Resz"}}, "Lap1");
    return t;
}

const TableDef& HLAPB() {
    static const TableDef t = make("HLAPB", "HLapb.dbf", hlapbFields(),
                                   {{"Lapb1", "Sorsz+Resz"}, {"Lapb2", "Idoszak+Sorsz+Resz"}}, "Lapb1");
    return t;
}

// Created by the login at the engine's default level, which is 4.
const TableDef& SYS() {
    static const TableDef t = make("SYS", "sys.dbf", {C("P_W", 128)}, {}, "");
    return t;
}

// One row per change of a sheet (continued in the next rows when its text
// is longer than VALTOZAS); HASH chains it to the row before.
const TableDef& ELOZMENY() {
    static const TableDef t = make("ELOZMENY", "Elozmeny.dbf",
                                   {N("Sor", 10), C("Ido", 19), C("Felh", 20), C("Verzio", 8), C("Muvelet", 20),
                                    C("Idoszak", 7), C("Sorsz", 5), C("Resz", 1), C("Taj", 9), N("Folyt", 3),
                                    C("Valtozas", 200), C("Hash", 64)},
                                   {{"Elo1", "Idoszak+Sorsz+Resz"}, {"Elo2", "Taj"}}, "");
    return t;
}

// One row: the data directory's history identifier, the number of the
// last history row and its hash.
const TableDef& ELOZVEG() {
    static const TableDef t =
        make("ELOZVEG", "Elozveg.dbf", {C("Azon", 32), N("Sorok", 10), C("Utolso", 64)}, {}, "");
    return t;
}

const TableDef& PART() {
    static const TableDef t = make("PART", "Part.dbf", {}, {}, "");
    return t;
}

// Rebuilt at the engine's default level (4).
const TableDef& HSZERZ() {
    static const TableDef t =
        make("HSZERZ", "HSzerz.dbf",
             {C("Intkod", 4), C("Szszam", 10), C("Finkod", 9), N("Ossznap", 5), D("Szkezd"), D("Szveg"),
              N("Telep", 3), N("Orvos", 3), N("Gyogyt", 3), N("Dipl", 3), N("Diet", 3), N("Pszich", 3),
              N("Mental", 3), N("Szocm", 3), N("Hospsz", 3), N("Szakap", 3), N("Fizio", 3), N("Osszd", 3),
              D("Moddat"), N("Normnap", 3), N("Potnap", 3)},
             {{"Szerz1", "szkezd"}}, "Szerz1");
    return t;
}

const TableDef& HSZOLGSZ() {
    static const TableDef t = make("HSZOLGSZ", "HSzolgsz.dbf", {},
                                   {{"Szolgsz1", "dtoc(kezd)+str(ssorszam,5)"}, {"Szolgsz2", "nev"}}, "Szolgsz1");
    return t;
}

const TableDef& TELEPUL() {
    static const TableDef t =
        make("TELEPUL", "Telepul.dbf", {}, {{"Tel1", "kozigkod"}, {"Tel2", "helynev"}}, "Tel1");
    return t;
}

const TableDef& HTERULET() {
    static const TableDef t = make("HTERULET", "HTerulet.dbf", {},
                                   {{"Ter2", "kozigkod+dtoc(kezd)"}, {"Ter1", "kozigkod"}}, "Ter1");
    return t;
}

const TableDef& HTHELY() {
    static const TableDef t =
        make("HTHELY", "HThely.dbf", {}, {{"Thely1", "str(tsorszam,5)+dtoc(kezd)"}}, "Thely1");
    return t;
}

const TableDef& BNOTORZS() {
    static const TableDef t =
        make("BNOTORZS", "Bnotorzs.dbf", {}, {{"BNO1", "Kod10"}, {"BNO2", "nev"}}, "BNO1");
    return t;
}

db::FieldList TempCapacityFields() {
    return {C("Taj", 9),       C("Nev", 30),      N("Aora", 10),  N("Kora", 10),
            N("AKeret", 10, 2), N("KKeret", 10, 2), N("Keret", 10), N("Napdb", 10)};
}

db::FieldList HosbBefore200909Fields() {
    return {C("Kabkod", 4), N("Sorszam", 5), C("Resz", 1), C("Tevkod", 8), D("ApDatum"), N("Apbtaj", 9)};
}

db::FieldList HoscBefore200909Fields() {
    return {C("Kabkod", 4), N("Sorszam", 5), C("Resz", 1), N("Bnotip", 2), C("Bnokod", 5)};
}

} // namespace velmora::store::schema
