#include "support/SheetFixture.h"

#include "app/TextHelpers.h"
#include "db/Sql.h"
#include "store/Schemas.h"

#include <stdexcept>

namespace velmora::test {

using db::FieldDef;
namespace schema = store::schema;

std::string tajOf(const std::string& eightDigits) {
    static const int weights[8] = {3, 7, 3, 7, 3, 7, 3, 7};
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (eightDigits[i] - '0') * weights[i];
    return eightDigits + std::to_string(sum % 10);
}

namespace people {
const std::string patient = tajOf("10000001");
const std::string nurse1 = tajOf("20000001");
const std::string nurse2 = tajOf("20000002");
}  // namespace people

namespace {

Row rowOf(const db::FieldList& fields, const std::map<std::string, db::Value>& values) {
    Row row(fields.size());
    for (const auto& [name, value] : values) {
        const int i = db::findField(fields, name);
        if (i < 0) throw std::invalid_argument("no field " + name);
        row[i] = value;
    }
    return row;
}

db::FieldList staffFields() {
    return {FieldDef::character("TAJ", 9),  FieldDef::character("NEV", 30), FieldDef::date("KEZD"),
            FieldDef::date("VEG"),          FieldDef::numeric("SSORSZAM", 5), FieldDef::numeric("ORASZ", 5, 1),
            FieldDef::numeric("ORAK", 5, 1)};
}

}  // namespace

SheetData::SheetData() : dirName_(temp_.str()) {
    employee({people::nurse1, "Ápoló Anna", "2020.01.01", "", 40, 0});
    employee({people::nurse2, "Ápoló Bella", "2020.01.01", "", 20, 0});
    ownStaff_ = false;
    patient(people::patient, "Minta Mária");
}

SheetData& SheetData::sheet(const RawSheet& s) {
    std::map<std::string, db::Value> header = {
        {"Idoszak", s.idoszak},  {"Intkod", "1234"},        {"Finkod", "987654321"},
        {"Sorsz", s.sorsz},      {"Taj", s.taj},            {"Kozigkod", "0100001"},
        {"Tpotl", "N"},          {"Bnoab", "C3490"},        {"Bnofo", "C5000"},
        {"Orvkode", "123456"},   {"Orvkodj", "0"},          {"Elrend", s.idoszak + ".01"},
        {"Szakvet", s.idoszak + ".01"}, {"Gyak", "heti 3"}, {"Elvizdb", 50},
        {"Elszviz", 0},          {"Elszam", 1},             {"Aptaj1", people::nurse1},
        {"SzNap", static_cast<int>(s.days.size())},
    };
    if (!s.resz.empty()) header["Resz"] = s.resz;
    for (const auto& [name, value] : s.header) header[name] = value;
    hlapa_.push_back(rowOf(schema::HLAPA().fields, header));

    std::map<std::string, db::Value> visits = {{"Idoszak", s.idoszak}, {"Intkod", "1234"},
                                               {"Finkod", "987654321"}, {"Sorsz", s.sorsz}};
    if (!s.resz.empty()) visits["Resz"] = s.resz;
    for (const VisitDay& v : s.days) {
        const std::string n = std::to_string(v.day);
        visits["TEV" + n] = v.tev;
        visits["APDAT" + n] = s.idoszak + "." + app::TwoDigits(v.day);
        visits["APBTAJ" + n] = v.nurse;
        if (!v.eli.empty()) visits["ELI" + n] = v.eli;
    }
    hlapb_.push_back(rowOf(schema::HLAPB().fields, visits));
    return *this;
}

SheetData& SheetData::employee(const Employee& e) {
    if (!ownStaff_) staff_.clear();
    ownStaff_ = true;
    staff_.push_back({e.taj, e.nev, e.kezd, e.veg.empty() ? db::Value() : db::Value(e.veg),
                      static_cast<int>(staff_.size() + 1), e.orasz, e.orak});
    return *this;
}

SheetData& SheetData::periodRow(const std::string& idoszak, const std::string& zaras,
                                std::map<std::string, db::Value> more) {
    more["Idoszak"] = idoszak;
    if (!zaras.empty()) more["Zaras"] = zaras;
    if (!more.count("Lapoksz")) more["Lapoksz"] = 1;
    zaras_.push_back(rowOf(schema::ZARAS().fields, more));
    return *this;
}

SheetData& SheetData::contracts(std::vector<Row> rows) {
    contracts_ = std::move(rows);
    return *this;
}

SheetData& SheetData::patient(const std::string& taj, const std::string& nev) {
    beteg_.push_back(rowOf(schema::BETEG().fields, {{"TAJ", taj},
                                                     {"Nev", nev},
                                                     {"Neme", "N"},
                                                     {"Aztip", "1"},
                                                     {"Kozigkod", "0100001"},
                                                     {"Cime1", "Budapest"},
                                                     {"Cime2", "Fő utca 1."},
                                                     {"Szulh", "Pécs"},
                                                     {"Szuli", "1940.03.04"}}));
    return *this;
}

void SheetData::open(app::Date today, const std::string& period) {
    writeFundTables(dirName_);
    if (!contracts_.empty()) writeTable(dirName_, "HSZERZ.DBF", contractFields(true), contracts_, 3);
    writeTable(dirName_, "HSZOLGSZ.DBF", staffFields(), staff_, 3);
    writeTable(dirName_, schema::APOL().fileName, schema::APOL().fields,
               {{people::nurse1, "Ápoló Anna"}, {people::nurse2, "Ápoló Bella"}});
    writeTable(dirName_, schema::ORVOS().fileName, schema::ORVOS().fields,
               {{"123456", "Dr. Elrendelő"}, {"654321", "Dr. Javasló"}});
    writeTable(dirName_, schema::BETEG().fileName, schema::BETEG().fields, beteg_);
    writeTable(dirName_, schema::ZARAS().fileName, schema::ZARAS().fields, zaras_);
    writeTable(dirName_, schema::HLAPA().fileName, schema::HLAPA().fields, hlapa_);
    writeTable(dirName_, schema::HLAPB().fileName, schema::HLAPB().fields, hlapb_);
    start_ = std::make_unique<Start>(dirName_, today);
    if (!start_->run()) throw std::runtime_error("the tables did not open");
    start_->session.acceptPeriod(period, false);
    start_->session.ertad();
    ctx_ = std::make_unique<sheets::SheetContext>(sheets::SheetContext{start_->db, start_->session, start_->dialogs});
    start_->dialogs.clearLog();
}

std::string SheetData::rows(const std::string& table) {
    std::string out;
    for (const auto& row : db::Sql(db()).run("select * from " + table).rows) {
        for (const auto& v : row) out += v.asString() + "|";
        out += "\n";
    }
    return out;
}

sheets::SheetForm completeForm() {
    sheets::SheetForm f;
    f.mode = sheets::EntryMode::New;
    f.usorsz = "00100";
    f.m_idosz = "2024.05";
    f.m_sorsz = "00100";
    f.tnap = 31;
    for (int d = 0; d < 31; ++d) f.apdat[d] = "2024.05." + app::TwoDigits(d + 1);
    f.m_aztip = "1";
    f.m_taj = people::patient;
    f.m_nev = "Minta Mária";
    f.bnem = "Nő";
    f.m_kozigkod = "0100001";
    f.m_cim1 = "Budapest";
    f.m_cim2 = "Fő utca 1.";
    f.m_szh = "Pécs";
    f.m_szido = "1940.03.04";
    f.m_terkat = "01";
    f.m_allp = "HUN";
    f.m_alapb = "C3490";
    f.m_fodiag = "C5000";
    f.m_eorv = "123456";
    f.m_eorvtip = "1";
    f.orv1 = "Dr. Elrendelő";
    f.m_elrend = "2024.05.01";
    f.m_szakvet = "2024.05.02";
    f.m_elviz = "20";
    f.m_gyak = "heti 3";
    f.m_elszam = "1";
    f.m_elszviz = "0";
    f.aptev[0] = people::nurse1;
    f.apnev[0] = "Ápoló Anna";
    f.aptev[4] = people::nurse1;
    f.apnev[4] = "Ápoló Anna";
    setVisits(f, {{2, "1   5", people::nurse1},
                  {3, "1   5", people::nurse1},
                  {4, "1", people::nurse1},
                  {5, "1", people::nurse1},
                  {6, "1", people::nurse1}});
    return f;
}

void setVisits(sheets::SheetForm& form, const std::vector<VisitDay>& days) {
    form.tev.fill("");
    form.aptaj.fill("");
    for (const VisitDay& v : days) {
        form.tev[v.day - 1] = v.tev;
        form.aptaj[v.day - 1] = v.nurse;
    }
}

} // namespace velmora::test
