#include "DataSet.h"

// g++ 12 reports std::variant members of the braced row lists below as
// "maybe uninitialized" (a known false positive of its optimiser).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "db/Database.h"
#include "db/Sql.h"
#include "store/History.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <stdexcept>

namespace velmora::bench {
namespace {

using db::FieldDef;
using db::FieldList;
using db::Value;

FieldList hlapaFields() {
    FieldList f = {FieldDef::character("Idoszak", 7), FieldDef::character("Intkod", 4), FieldDef::character("Finkod", 9),
                   FieldDef::character("Sorsz", 5),   FieldDef::character("Resz", 1),   FieldDef::character("Taj", 9),
                   FieldDef::character("Kozigkod", 7), FieldDef::character("Tpotl", 1), FieldDef::character("Bnofek", 5),
                   FieldDef::character("Bnofo", 5),   FieldDef::character("Bnokis", 5), FieldDef::character("Bnoab", 5),
                   FieldDef::character("Orvkode", 6), FieldDef::character("Orvkodj", 6), FieldDef::character("Orvtip", 1),
                   FieldDef::date("Elrend"),          FieldDef::date("Szakvet"),        FieldDef::character("Gyak", 15),
                   FieldDef::numeric("Elvizdb", 3),   FieldDef::numeric("Elszviz", 3), FieldDef::numeric("Elszam", 3),
                   FieldDef::date("Lezdat")};
    for (int i = 1; i <= 8; ++i) f.push_back(FieldDef::character("Aptaj" + std::to_string(i), 9));
    for (FieldDef d : {FieldDef::character("Aztip", 1), FieldDef::character("Terkat", 2), FieldDef::character("Allamp", 3),
                       FieldDef::numeric("SzNap", 2), FieldDef::character("Tele", 1), FieldDef::character("Jeloles", 1),
                       FieldDef::character("Elkuldve", 7), FieldDef::character("Allapot", 1),
                       FieldDef::character("Modtipus", 1)})
        f.push_back(d);
    return f;
}

FieldList hlapbFields() {
    FieldList f = {FieldDef::character("Idoszak", 7), FieldDef::character("Intkod", 4), FieldDef::character("Finkod", 9),
                   FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1)};
    for (int i = 1; i <= 31; ++i) {
        const std::string n = std::to_string(i);
        f.push_back(FieldDef::character("TEV" + n, 8));
        f.push_back(FieldDef::date("APDAT" + n));
        f.push_back(FieldDef::character("APBTAJ" + n, 9));
        f.push_back(FieldDef::character("ELI" + n, 7));
    }
    f.push_back(FieldDef::character("Jeloles", 1));
    f.push_back(FieldDef::character("Elkuldve", 7));
    return f;
}

FieldList betegFields() {
    return {FieldDef::character("TAJ", 9),      FieldDef::character("Nev", 25),   FieldDef::character("Neme", 1),
            FieldDef::character("Aztip", 1),    FieldDef::character("Kozigkod", 7), FieldDef::character("Cime1", 25),
            FieldDef::character("Cime2", 25),   FieldDef::character("Szulh", 25), FieldDef::date("Szuli")};
}

FieldList staffFields() {
    return {FieldDef::character("TAJ", 9),  FieldDef::character("NEV", 30), FieldDef::date("KEZD"),
            FieldDef::date("VEG"),          FieldDef::numeric("SSORSZAM", 5), FieldDef::numeric("ORASZ", 5),
            FieldDef::numeric("ORAK", 5)};
}

FieldList zarasFields() {
    return {FieldDef::character("Idoszak", 7), FieldDef::date("Zaras"),        FieldDef::numeric("Lapoksz", 5),
            FieldDef::date("Ruvkuld"),         FieldDef::numeric("Alapdij", 10, 5), FieldDef::numeric("Eloleg", 10, 1)};
}

std::string pad(int v, int width) {
    std::string s = std::to_string(v);
    return std::string(width - std::min<int>(width, s.size()), '0') + s;
}

std::string taj(int patient) { return pad(100000000 + patient * 7, 9); }

const char* kSurnames[] = {"Kovács", "Szabó", "Tóth", "Horváth", "Kiss", "Molnár", "Németh", "Farkas", "Balogh",
                           "Papp", "Takács", "Juhász", "Lakatos", "Mészáros", "Oláh", "Simon", "Rácz", "Fekete",
                           "Szilágyi", "Török", "Fehér", "Balázs", "Gál", "Kis", "Szűcs", "Kocsis", "Orsós", "Pintér",
                           "Fodor", "Szalai", "Sipos", "Magyar", "Lukács", "Gulyás", "Bíró", "Király", "Katona",
                           "László", "Jakab", "Bogdán", "Balog", "Sándor", "Boros", "Fazekas", "Kelemen", "Antal",
                           "Orosz", "Somogyi", "Fülöp", "Veres", "Budai", "Vincze", "Hegedűs", "Deák", "Pap", "Bálint",
                           "Illés", "Pál", "Vass", "Szőke", "Fábián", "Vörös", "Lengyel", "Bognár", "Jónás", "Szekeres",
                           "Hajdu", "Ördög", "Őri", "Ürögi"};
const char* kGiven[] = {"Mária", "Erzsébet", "Ilona", "Katalin", "Éva", "Anna", "Margit", "Zsuzsanna", "Judit",
                        "Ágnes", "József", "János", "László", "István", "Zoltán", "Sándor", "Ferenc", "Gábor",
                        "Attila", "Péter", "Tibor", "Lajos", "Imre", "Győző", "Ödön", "Őrs", "Ünige"};

void exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(msg + " in " + sql);
    }
}

// Copies a table's rows into a native SQLite table of the same columns.
void copyToNative(db::Database& database, sqlite3* native, const std::string& table) {
    db::Table& t = database.table(table);
    std::string cols, marks;
    for (const auto& f : t.fields()) {
        cols += (cols.empty() ? "" : ",") + f.name + (f.type == 'N' ? (f.decimals ? " REAL" : " INTEGER") : " TEXT");
        marks += marks.empty() ? "?" : ",?";
    }
    exec(native, "create table " + table + "(" + cols + ")");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(native, ("insert into " + table + " values(" + marks + ")").c_str(), -1, &st, nullptr);
    for (uint32_t r = 0; r < t.physicalCount(); ++r) {
        for (size_t c = 0; c < t.fields().size(); ++c) {
            const Value v = t.valueAt(r, static_cast<int>(c));
            const int i = static_cast<int>(c) + 1;
            if (v.isNull()) sqlite3_bind_null(st, i);
            else if (v.isNumber() && v.number().scale() == 0) sqlite3_bind_int64(st, i, v.number().units());
            else if (v.isNumber()) sqlite3_bind_double(st, i, v.number().toDouble());
            else sqlite3_bind_text(st, i, v.asString().c_str(), -1, SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// A small table of the data directory, its tags added after the rows.
void writeTable(db::Database& database, const std::string& name, const std::string& file, const FieldList& fields,
                const std::vector<std::vector<Value>>& rows, const std::vector<std::pair<std::string, std::string>>& tags,
                int level = 4) {
    db::Table& t = database.table(name, file);
    t.create(fields, level);
    t.open();
    t.beginBatch();
    for (const auto& row : rows) t.appendValues(row);
    t.endBatch();
    for (const auto& [tag, expression] : tags) t.addIndex(tag, expression);
}

// Nurses, doctors, settlements, diagnoses, the contracted employees, the
// provider and the period table, in the sizes a provider has them.
void writeMasterTables(db::Database& database) {
    const HeavyPatient& heavy = heavyPatient();
    std::vector<std::vector<Value>> nurses, staff, doctors, settlements, diagnoses;
    for (int i = 0; i < 60; ++i) {
        const std::string nurse = i == 2 ? heavy.nurse : taj(5000 + i);
        nurses.push_back({nurse, "Ápoló " + std::string(kGiven[i % std::size(kGiven)])});
        staff.push_back({nurse, "Ápoló " + std::string(kGiven[i % std::size(kGiven)]), "2010.01.01", Value(), i + 1, 40, 0});
    }
    for (int i = 0; i < 400; ++i) doctors.push_back({pad(100000 + i * 13, 6), "Dr. " + std::string(kSurnames[i % std::size(kSurnames)])});
    doctors.push_back({"123456", "Dr. Elrendelő"});
    doctors.push_back({"654321", "Dr. Javasló"});
    for (int i = 0; i < 3200; ++i) settlements.push_back({pad(i * 100, 7), "Település " + std::to_string(i)});
    for (int i = 0; i < 2000; ++i)
        diagnoses.push_back({std::string(1, static_cast<char>('A' + i % 25)) + pad(i, 4), "Betegség " + std::to_string(i)});
    diagnoses.push_back({"C3410", "Hörgő rosszindulatú daganata"});
    diagnoses.push_back({"C3411", "Felső lebeny rosszindulatú daganata"});
    writeTable(database, "APOL", "Apol.dbf", {FieldDef::character("Aptaj", 9), FieldDef::character("Anev", 25)}, nurses,
               {{"Apol1", "Aptaj"}, {"Apol2", "Anev"}});
    writeTable(database, "ORVOS", "Orvos.dbf", {FieldDef::character("Orvoskod", 6), FieldDef::character("Onev", 25)},
               doctors, {{"Orvos1", "Orvoskod"}, {"Orvos2", "Onev"}});
    writeTable(database, "ZARAS", "Zaras.dbf", zarasFields(), {}, {{"Zaras", "Idoszak+dtos(Zaras)"}});
    writeTable(database, "HSZOLGSZ", "HSzolgsz.dbf", staffFields(), staff,
               {{"Szolgsz1", "dtoc(kezd)+str(ssorszam,5)"}, {"Szolgsz2", "nev"}}, 3);
    writeTable(database, "TELEPUL", "Telepul.dbf",
               {FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30)}, settlements,
               {{"Tel1", "kozigkod"}, {"Tel2", "helynev"}}, 3);
    writeTable(database, "BNOTORZS", "Bnotorzs.dbf", {FieldDef::character("KOD10", 5), FieldDef::character("NEV", 100)},
               diagnoses, {{"BNO1", "Kod10"}, {"BNO2", "nev"}}, 3);
    writeTable(database, "PART", "Part.dbf",
               {FieldDef::character("INTKOD", 4), FieldDef::character("MEGYE", 2), FieldDef::character("INTE", 40)},
               {{"1234", "01", "Példa Hospice Szolgálat"}}, {}, 3);
}

// A sheet of the heavy patient: header and visit row, visits on the given days.
void appendHeavySheet(db::Table& lapa, db::Table& lapb, const std::string& period, const std::string& sorsz,
                      int elszam, int days, const std::string& nurse) {
    const HeavyPatient& heavy = heavyPatient();
    std::vector<Value> a = {period, "1234", "123456789", sorsz, Value(), heavy.taj, "0100000", "N", Value(), "C3411",
                            Value(), "C3410", "123456", "0", "1", period + ".01", period + ".01", "heti 5", 50, 0, elszam,
                            Value()};
    for (int i = 0; i < 8; ++i) a.push_back(i == 0 || i == 4 ? Value(nurse) : Value());
    const std::vector<Value> tail = {"1", "01", "HUN", days, Value(), Value(), Value(), Value(), Value()};
    a.insert(a.end(), tail.begin(), tail.end());
    lapa.appendValues(a);
    std::vector<Value> b = {period, "1234", "123456789", sorsz, Value()};
    for (int d = 1; d <= 31; ++d) {
        const bool visit = d <= days;
        b.push_back(visit ? Value("1   5") : Value());
        b.push_back(visit ? Value(period + "." + pad(d, 2)) : Value());
        b.push_back(visit ? Value(nurse) : Value());
        b.push_back(Value());
    }
    b.push_back(Value());
    b.push_back(Value());
    lapb.appendValues(b);
}

// A hundred monthly sheets of ten visit days up to the month before the
// last period, then the 31-day sheet of the last period (December).
void appendHeavyPatient(db::Table& lapa, db::Table& lapb, int lastYear) {
    const HeavyPatient& heavy = heavyPatient();
    for (int i = 0; i < 100; ++i) {
        const int m = (lastYear * 12 + 11) - 100 + i;  // months counted from year 0
        const std::string period = std::to_string(m / 12) + "." + pad(m % 12 + 1, 2);
        appendHeavySheet(lapa, lapb, period, "09" + pad(i, 3), i + 1, 10, taj(5000));
    }
    appendHeavySheet(lapa, lapb, heavy.period, heavy.sorsz, 101, 31, heavy.nurse);
}

// Fifteen years of history: each sheet saved new, sent with its period and
// answered by the fund, as the program writes them.
void writeHistory(db::Database& database, const db::Table& lapa) {
    namespace history = store::history;
    history::startHistory(database, {history::kStarted, {}, {}, {}, {}, {{}, "Az előzmények vezetése elkezdődött."}});
    std::vector<history::Entry> entries;
    const auto text = [&](uint32_t r, const char* f) { return lapa.valueAt(r, lapa.fieldIndex(f)).asString(); };
    for (uint32_t r = 0; r < lapa.physicalCount(); ++r) {
        const std::string idoszak = text(r, "Idoszak"), sorsz = text(r, "Sorsz"), resz = text(r, "Resz"),
                          taj = text(r, "Taj");
        history::ChangeText made;
        for (const char* f : {"TAJ", "KOZIGKOD", "BNOFEK", "BNOFO", "ORVKODE", "ORVKODJ", "ELREND", "SZAKVET",
                              "GYAK", "ELVIZDB", "ELSZAM", "APTAJ1", "APTAJ2", "SZNAP"})
            made.changes.push_back({f, {}, text(r, f)});
        for (int d = 1; d <= 28; ++d)
            if (d % 3 != 0) made.changes.push_back({"TEV" + std::to_string(d), {}, "1357"});
        entries.push_back({history::kNewSheet, idoszak, sorsz, resz, taj, made});
        entries.push_back({history::kShipment, idoszak, sorsz, resz, taj,
                           {{{"ELKULDVE", {}, idoszak}, {"JELOLES", "*", {}}}, "Elküldve a(z) " + idoszak + " adatküldésével."}});
        entries.push_back({history::kBilled, idoszak, sorsz, resz, taj,
                           {{{"ALLAPOT", {}, "1"}, {"ELI1", {}, idoszak}}, "A RUV " + idoszak + " elszámolása szerint."}});
    }
    history::record(database, entries);
}

} // namespace

std::string tajWithCheckDigit(const std::string& eightDigits) {
    static const int weights[8] = {3, 7, 3, 7, 3, 7, 3, 7};
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (eightDigits[i] - '0') * weights[i];
    return eightDigits + std::to_string(sum % 10);
}

const HeavyPatient& heavyPatient() {
    static const HeavyPatient heavy{tajWithCheckDigit("19999999"), "09100", "2024.12", tajWithCheckDigit("29999999")};
    return heavy;
}

std::string buildDataSet(const std::string& dir, const DataSetSize& size) {
    std::mt19937 rng(20241210);
    db::Database database(dir);

    db::Table& beteg = database.table("BETEG", "Beteg.dbf");
    beteg.create(betegFields());
    beteg.open();
    beteg.beginBatch();
    for (int p = 0; p < size.patients; ++p) {
        const std::string nev = std::string(kSurnames[rng() % std::size(kSurnames)]) + " " + kGiven[rng() % std::size(kGiven)];
        beteg.appendValues({taj(p), nev, p % 2 ? "1" : "2", "1", pad(rng() % 3000, 7), "Fő utca " + std::to_string(p % 90 + 1),
                            Value(), "Budapest", pad(1920 + p % 60, 4) + ".0" + std::to_string(1 + p % 9) + ".1" + std::to_string(p % 9)});
    }
    beteg.appendValues({heavyPatient().taj, "Sokszor Sára", "N", "1", "0100000", "Település 1000", "Fő utca 1.",
                        "Budapest", "1930.05.06"});
    beteg.endBatch();
    beteg.addIndex("Beteg1", "TAJ");
    beteg.addIndex("Beteg2", "Nev");

    db::Table& lapa = database.table("HLAPA", "HLapa.dbf");
    db::Table& lapb = database.table("HLAPB", "HLapb.dbf");
    lapa.create(hlapaFields());
    lapb.create(hlapbFields());
    lapa.open();
    lapb.open();
    lapa.beginBatch();
    lapb.beginBatch();
    const int months = size.years * 12;
    const int perMonth = (size.sheets + months - 1) / months;
    int written = 0;
    for (int m = 0; m < months && written < size.sheets; ++m) {
        const int year = 2010 + m / 12, month = m % 12 + 1;
        const std::string idoszak = std::to_string(year) + "." + pad(month, 2);
        for (int k = 0; k < perMonth && written < size.sheets; ++k, ++written) {
            const std::string sorsz = pad(k + 1, 5);
            const std::string resz = k % 5 == 0 ? "A" : "";
            const std::string patient = taj(static_cast<int>(rng() % size.patients));
            std::vector<Value> a = {idoszak, "1234", "123456789", sorsz, resz.empty() ? Value() : Value(resz), patient,
                                    "0100000", Value(), "C3410", "C3411", Value(), Value(), "123456", "654321", "1",
                                    idoszak + ".01", idoszak + ".02", "Dr. Háziorvos", 20, 18, 18, Value()};
            for (int i = 0; i < 8; ++i) a.push_back(i < 2 ? Value(taj(i + 5000)) : Value());
            const std::vector<Value> tail = {"1", "01", "HUN", 18, Value(), Value(), idoszak, Value(), Value()};
            a.insert(a.end(), tail.begin(), tail.end());
            lapa.appendValues(a);
            std::vector<Value> b = {idoszak, "1234", "123456789", sorsz, resz.empty() ? Value() : Value(resz)};
            for (int d = 1; d <= 31; ++d) {
                const bool visit = d <= 28 && d % 3 != 0;
                b.push_back(visit ? Value("1357") : Value());
                b.push_back(visit ? Value(idoszak + "." + pad(d, 2)) : Value());
                b.push_back(visit ? Value(taj(5000)) : Value());
                b.push_back(visit ? Value("Ellátó") : Value());
            }
            b.push_back(Value());
            b.push_back(Value(idoszak));
            lapb.appendValues(b);
        }
    }
    appendHeavyPatient(lapa, lapb, 2010 + size.years - 1);
    lapa.endBatch();
    lapb.endBatch();
    lapa.addIndex("Lap1", "Sorsz+Resz");
    lapa.addIndex("Lap2", "Taj+Idoszak");
    lapa.addIndex("Lap3", "Idoszak+Sorsz+Resz");
    lapb.addIndex("Lapb1", "Sorsz+Resz");
    lapb.addIndex("Lapb2", "Idoszak+Sorsz+Resz");
    writeHistory(database, lapa);

    sqlite3* native = nullptr;
    sqlite3_open((dir + "/native.sqlite").c_str(), &native);
    exec(native, "begin");
    writeMasterTables(database);
    for (const char* t : {"BETEG", "HLAPA", "HLAPB", "HSZOLGSZ", "APOL"}) copyToNative(database, native, t);
    exec(native, "create index beteg1 on beteg(taj); create index beteg2 on beteg(nev);"
                 "create index lap1 on hlapa(sorsz,resz); create index lap2 on hlapa(taj,idoszak);"
                 "create index lap3 on hlapa(idoszak,sorsz,resz);"
                 "create index lapb1 on hlapb(sorsz,resz); create index lapb2 on hlapb(idoszak,sorsz,resz);"
                 "create index apol1 on apol(aptaj);");
    exec(native, "commit");
    sqlite3_close(native);
    database.closeAll();
    return taj(size.patients / 2);
}

const SharedDataSet& sharedDataSet() {
    struct Owned : SharedDataSet {
        Owned() {
            char tmpl[] = "/tmp/velmora-bench-XXXXXX";
            dir = mkdtemp(tmpl);
            taj = buildDataSet(dir, {});
        }
        ~Owned() { std::filesystem::remove_all(dir); }
    };
    static Owned data;
    return data;
}

} // namespace velmora::bench
