#include "masterdata/MasterData.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using namespace velmora::masterdata;
using Kind = ScriptedDialogs::Kind;

namespace {

struct MasterFixture : ::testing::Test {
    void SetUp() override {
        writeFundTables(dir.str());
        start = std::make_unique<Start>(dir.str());
        ASSERT_TRUE(start->run());
        start->dialogs.clearLog();
    }
    db::Table& t(const char* name) { return *start->db.findTable(name); }
    ScriptedDialogs& dialogs() { return start->dialogs; }
    // The settlements of the fund's tables; June 2024 is the current period.
    PatientChecks checks() { return {t("TELEPUL"), "2024.06"}; }
    void addRow(const char* table, const std::vector<std::pair<std::string, db::Value>>& values) {
        db::Table& tb = t(table);
        tb.append();
        for (const auto& [f, v] : values) tb.setField(f, v);
        tb.post();
    }
    TempDir dir;
    std::unique_ptr<Start> start;
};

PatientInput patient(const char* taj) {
    return {"1", taj, "Kiss Anna", "N", "0100001", "Budapest", "Fő utca 1.", "Pécs", "1940.03.02"};
}

} // namespace

TEST(Patients, RequiredFieldsListTheBlankOnesAndFocusTheFirst) {
    const struct {
        void (*blank)(PatientInput&);
        std::vector<std::string> labels;
        const char* focus;
    } cases[] = {
        {[](PatientInput&) {}, {}, ""},
        {[](PatientInput& p) { p.nev = "  "; p.szuli = "    .  .  "; }, {"Beteg neve", "Beteg születési ideje"}, "Bnev"},
        {[](PatientInput& p) { p.szuli = ""; }, {"Beteg születési ideje"}, "bszido"},
        {[](PatientInput& p) { p.aztip = " "; }, {"Azonosító típus"}, "azt"},
        {[](PatientInput& p) { p.cime2 = ""; p.neme = ""; }, {"Beteg neme", "Beteg címe"}, "bnem"},
        {[](PatientInput& p) { p.taj = ""; p.kozigkod = ""; }, {"TAJ szám", "Beteg címe"}, "btaj"},
    };
    for (const auto& c : cases) {
        PatientInput in = patient("123456788");
        c.blank(in);
        const MissingFields m = MissingPatientFields(in);
        EXPECT_EQ(m.labels, c.labels);
        EXPECT_EQ(m.focus, c.focus);
    }
}

TEST(Patients, ExitChecks) {
    ScriptedDialogs d;
    EXPECT_TRUE(CheckPatientTaj("1", "123456788", d));
    EXPECT_TRUE(CheckPatientTaj("1", "", d));
    EXPECT_TRUE(CheckPatientTaj("2", "ABC", d));
    EXPECT_FALSE(CheckPatientTaj("1", "123456789", d));
    EXPECT_FALSE(CheckPatientTaj("1", "12345678A", d));
    EXPECT_TRUE(CheckPatientSex("F", d));
    EXPECT_FALSE(CheckPatientSex("", d));
    EXPECT_EQ(d.texts(Kind::Warning),
              (std::vector<std::string>{"Nem létező TAJ szám!", "Nem létező TAJ szám!", "A nem csak nő, vagy férfi lehet!"}));
    EXPECT_TRUE(CheckNurseTaj("123456788", d));
    EXPECT_FALSE(CheckNurseTaj("123456780", d));
}

TEST_F(MasterFixture, SettlementMustExist) {
    db::Table& telepul = t("TELEPUL");
    telepul.first();
    const std::string code = telepul.text("KOZIGKOD");
    ASSERT_FALSE(code.empty());
    EXPECT_TRUE(CheckPatientSettlement(telepul, code, dialogs()));
    EXPECT_FALSE(CheckPatientSettlement(telepul, "9999999", dialogs()));
    EXPECT_EQ(dialogs().texts(Kind::Warning), std::vector<std::string>{"Nincs ilyen település a törzsben!"});
}

TEST_F(MasterFixture, SettlementNameByExactCode) {
    db::Table& telepul = t("TELEPUL");
    telepul.last();
    const int at = telepul.recNo();
    EXPECT_EQ(SettlementName(telepul, "0200002"), "Érd");
    EXPECT_EQ(SettlementName(telepul, "0100001"), "Budapest");
    EXPECT_EQ(SettlementName(telepul, "020000"), "");
    EXPECT_EQ(SettlementName(telepul, ""), "");
    EXPECT_EQ(telepul.recNo(), at);
}

TEST_F(MasterFixture, PatientSaveDuplicateModifyAndGeneratedId) {
    db::Table& beteg = t("BETEG");
    EXPECT_EQ(GeneratedPatientId(beteg), "910000000");

    PatientInput in = patient("123456788");
    in.nev = "";
    EXPECT_EQ(SavePatient(beteg, checks(), EditMode::New, in, dialogs()).focus, "Bnev");
    EXPECT_EQ(dialogs().texts(Kind::Warning),
              std::vector<std::string>{"A következő mezők kitöltése kötelező:\nBeteg neve"});

    dialogs().answerNo();
    EXPECT_EQ(SavePatient(beteg, checks(), EditMode::New, patient("123456788"), dialogs()).kind, SaveResult::Kind::Declined);
    EXPECT_EQ(beteg.recordCount(), 0);

    dialogs().answerYes();
    EXPECT_EQ(SavePatient(beteg, checks(), EditMode::New, patient("123456788"), dialogs()).kind, SaveResult::Kind::Saved);
    ASSERT_EQ(beteg.recordCount(), 1);
    EXPECT_EQ(beteg.text("NEME"), "N");
    EXPECT_EQ(beteg.text("SZULI"), "1940.03.02");
    EXPECT_EQ(GeneratedPatientId(beteg), "910000001");

    dialogs().clearLog();
    dialogs().answerYes();
    const SaveResult dup = SavePatient(beteg, checks(), EditMode::New, patient("123456788"), dialogs());
    EXPECT_EQ(dup.kind, SaveResult::Kind::Refused);
    EXPECT_EQ(dup.focus, "btaj");
    EXPECT_EQ(dialogs().texts(Kind::Warning), std::vector<std::string>{"Ilyen beteg már létezik !"});
    EXPECT_EQ(beteg.recordCount(), 1);

    PatientInput changed = patient("123456788");
    changed.nev = "Nagy Anna";
    dialogs().answerYes();
    EXPECT_EQ(SavePatient(beteg, checks(), EditMode::Modify, changed, dialogs()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(beteg.recordCount(), 1);
    EXPECT_EQ(beteg.text("NEV"), "Nagy Anna");

    EXPECT_TRUE(dialogs().scriptUsedUp());
}

// Enter or "Kész" saves without the focus leaving a field, so saving runs
// every exit check of the group again, in its order, before the question.
TEST_F(MasterFixture, PatientSaveRepeatsTheExitChecksInTheirOrder) {
    db::Table& beteg = t("BETEG");
    const struct {
        const char* name;
        void (*change)(PatientInput&);
        std::vector<std::string> messages;
        const char* focus;
    } cases[] = {
        {"check digit", [](PatientInput& p) { p.taj = "123456789"; }, {"Nem létező TAJ szám!"}, "btaj"},
        {"letter in a TAJ", [](PatientInput& p) { p.taj = "12345678A"; }, {"Nem létező TAJ szám!"}, "btaj"},
        {"sex", [](PatientInput& p) { p.neme = "X"; }, {"A nem csak nő, vagy férfi lehet!"}, "bnem"},
        {"settlement", [](PatientInput& p) { p.kozigkod = "0300003"; }, {"Nincs ilyen település a törzsben!"}, "bkod"},
        {"before 1895", [](PatientInput& p) { p.szuli = "1894.12.31"; }, {"Hibás dátum! 1895 előtti nem lehet!"},
         "bszido"},
        {"after the period", [](PatientInput& p) { p.szuli = "2024.07.01"; },
         {"Nem adhat meg az elszámolási időszakot követő dátumot!"}, "bszido"},
        {"not a date", [](PatientInput& p) { p.szuli = "1940.02.30"; }, {"Érvénytelen dátum!!"}, "bszido"},
        {"the first failing check speaks",
         [](PatientInput& p) {
             p.szuli = "1894.12.31";
             p.kozigkod = "0300003";
             p.taj = "123456789";
         },
         {"Nem létező TAJ szám!"}, "btaj"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs().clearLog();
        PatientInput in = patient("123456788");
        c.change(in);
        const SaveResult r = SavePatient(beteg, checks(), EditMode::New, in, dialogs());
        EXPECT_EQ(r.kind, SaveResult::Kind::Refused);
        EXPECT_EQ(r.focus, c.focus);
        std::vector<std::string> shown;
        for (const auto& e : dialogs().log()) shown.push_back(e.text);
        EXPECT_EQ(shown, c.messages);  // no question was asked
        EXPECT_EQ(beteg.recordCount(), 0);
        EXPECT_EQ(beteg.state(), db::TableState::Browse);
    }

    // Another identifier type takes any identifier; the last day of the
    // period is a birth date still.
    PatientInput other = patient("X-12");
    other.aztip = "2";
    other.szuli = "2024.06.30";
    dialogs().answerYes();
    EXPECT_EQ(SavePatient(beteg, checks(), EditMode::New, other, dialogs()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(beteg.recordCount(), 1);
}

// The generated identifier is never one a patient has: the count alone
// would name an existing patient once rows have been deleted.
TEST_F(MasterFixture, GeneratedPatientIdStepsOverIdentifiersInUse) {
    db::Table& beteg = t("BETEG");
    for (const char* taj : {"123456788", "910000003", "910000004"}) addRow("BETEG", {{"TAJ", taj}, {"Nev", "Beteg"}});
    EXPECT_EQ(GeneratedPatientId(beteg), "910000005");
    ASSERT_TRUE(beteg.locate("TAJ", "123456788"));
    beteg.deleteCurrent();
    beteg.pack();
    EXPECT_EQ(GeneratedPatientId(beteg), "910000002");
    // Neither filter nor order hides a patient from the search.
    beteg.setFilter("taj='910000004'");
    addRow("BETEG", {{"TAJ", "910000001"}, {"Nev", "Beteg"}});
    EXPECT_EQ(GeneratedPatientId(beteg), "910000002");
}

TEST_F(MasterFixture, PatientOnASheetCannotBeDeleted) {
    db::Table& beteg = t("BETEG");
    addRow("BETEG", {{"TAJ", "123456788"}, {"Nev", "Kiss Anna"}});
    addRow("BETEG", {{"TAJ", "910000001"}, {"Nev", "Nagy Béla"}});
    addRow("HLAPA", {{"Taj", "123456788"}, {"Idoszak", "2019.01"}});
    t("HLAPA").setFilter("idoszak='2024.05'");  // a sheet of another period still counts

    ASSERT_TRUE(beteg.locate("TAJ", "123456788"));
    EXPECT_FALSE(DeletePatient(beteg, t("HLAPA"), dialogs()));
    EXPECT_EQ(dialogs().texts(Kind::Information),
              std::vector<std::string>{"A beteg szerepel az elszámolásban,\raz adatai nem törölhetők!!"});

    ASSERT_TRUE(beteg.locate("TAJ", "910000001"));
    dialogs().answerYes();
    EXPECT_TRUE(DeletePatient(beteg, t("HLAPA"), dialogs()));
    EXPECT_EQ(beteg.physicalCount(), 1u);
    EXPECT_EQ(beteg.text("TAJ"), "123456788");
}

TEST_F(MasterFixture, StaffSaveAndDuplicate) {
    for (const StaffRegister* reg : {&Doctors(), &Nurses()}) {
        SCOPED_TRACE(reg->table);
        db::Table& tb = t(reg->table.c_str());
        dialogs().clearLog();
        EXPECT_EQ(SaveStaff(tb, *reg, EditMode::New, "", "Név", dialogs()).focus, reg->codeControl);
        dialogs().answerYes();
        EXPECT_EQ(SaveStaff(tb, *reg, EditMode::New, "123456", " ", dialogs()).kind, SaveResult::Kind::Saved);
        dialogs().answerYes();
        const SaveResult dup = SaveStaff(tb, *reg, EditMode::New, "123456", "Más", dialogs());
        EXPECT_EQ(dup.focus, reg->codeControl);
        EXPECT_EQ(dialogs().texts(Kind::Warning), (std::vector<std::string>{reg->missing, reg->duplicate}));
        dialogs().answerYes();
        EXPECT_EQ(SaveStaff(tb, *reg, EditMode::Modify, "123456", "Új név", dialogs()).kind, SaveResult::Kind::Saved);
        EXPECT_EQ(tb.recordCount(), 1);
        EXPECT_EQ(tb.text(reg->nameField), "Új név");
    }
}

TEST_F(MasterFixture, StaffOnASheetCannotBeDeleted) {
    addRow("HLAPA", {{"Orvkodj", "D2"}, {"Aptaj8", "N1"}});
    addRow("HLAPB", {{"APBTAJ31", "N2"}});
    const struct {
        const StaffRegister* reg;
        const char* code;
        bool inUse;
    } cases[] = {
        {&Doctors(), "D2", true}, {&Doctors(), "D3", false}, {&Doctors(), "N1", false},
        {&Nurses(), "N1", true},  {&Nurses(), "N2", true},   {&Nurses(), "D2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(StaffInUse(*c.reg, c.code, t("HLAPA"), t("HLAPB")), c.inUse);
    }
    db::Table& apol = t("APOL");
    addRow("APOL", {{"Aptaj", "N2"}, {"Anev", "Ápoló"}});
    addRow("APOL", {{"Aptaj", "N3"}, {"Anev", "Ápoló"}});
    ASSERT_TRUE(apol.locate("Aptaj", "N2"));
    EXPECT_FALSE(DeleteStaff(apol, Nurses(), t("HLAPA"), t("HLAPB"), dialogs()));
    EXPECT_EQ(dialogs().texts(Kind::Information), std::vector<std::string>{Nurses().deleteRefused});
    ASSERT_TRUE(apol.locate("Aptaj", "N3"));
    dialogs().answerYes();
    EXPECT_TRUE(DeleteStaff(apol, Nurses(), t("HLAPA"), t("HLAPB"), dialogs()));
    EXPECT_EQ(apol.physicalCount(), 1u);
}

TEST_F(MasterFixture, ResidueChecks) {
    db::Table& maradv = t("MARADV");
    const struct {
        const char* period;
        const char* mft;
        const char* message;
    } refused[] = {
        {"", "100", "Az maradvány adatait ki kell tölteni!"},
        {"2024.06", "", "Az maradvány adatait ki kell tölteni!"},
        {"2024.06", "12a", "A Ft csak szám lehet!"},
        {"2024.06", "1.5", "A Ft csak szám lehet!"},
        {"2024.06", "1 0-0", "A Ft csak szám lehet!"},
        {"2024.06", "   ", "A Ft csak szám lehet!"},
        {"2024.06", "0", "A Ft nem lehet 0!"},
        {"2024.06", "-5", "A Ft nem lehet 0!"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.mft);
        dialogs().clearLog();
        EXPECT_EQ(SaveResidue(maradv, t("PART"), EditMode::New, c.period, c.mft, dialogs()).focus, "mft");
        EXPECT_EQ(dialogs().texts(Kind::Warning), std::vector<std::string>{c.message});
    }
    dialogs().answerYes();
    // Spaces separate the groups, as the amounts are shown.
    EXPECT_EQ(SaveResidue(maradv, t("PART"), EditMode::New, "2024.06", " 1 500", dialogs()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(maradv.text("INTKOD"), t("PART").text("INTKOD"));
    EXPECT_EQ(maradv.field("FT").asInt(), 1500);
    dialogs().clearLog();
    dialogs().answerYes();
    EXPECT_EQ(SaveResidue(maradv, t("PART"), EditMode::New, "2024.06", "200", dialogs()).kind, SaveResult::Kind::Refused);
    EXPECT_EQ(dialogs().texts(Kind::Warning), std::vector<std::string>{"Adott időszakra már létezik maradvány!"});
    dialogs().answerYes();
    EXPECT_TRUE(DeleteResidue(maradv, dialogs()));
    EXPECT_EQ(maradv.physicalCount(), 0u);
}

// A new residue is always for the current billing period; a changed one
// keeps the period of its row.
TEST_F(MasterFixture, ResiduePeriodComesFromTheSession) {
    db::Table& maradv = t("MARADV");
    addRow("MARADV", {{"Midoszak", "2023.01"}, {"Ft", 100}});
    dialogs().answerYes();
    ASSERT_EQ(SaveResidue(maradv, t("PART"), EditMode::New, "2024.06", "1500", dialogs()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(maradv.text("MIDOSZAK"), "2024.06");

    ASSERT_TRUE(maradv.locate("Midoszak", "2023.01"));
    dialogs().answerYes();
    ASSERT_EQ(SaveResidue(maradv, t("PART"), EditMode::Modify, "2024.06", "300", dialogs()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(maradv.recordCount(), 2);
    ASSERT_TRUE(maradv.locate("Midoszak", "2023.01"));
    EXPECT_EQ(maradv.field("FT").asInt(), 300);
}

TEST(ContractView, ValidityFilterSelectsTheRowsOfTheChosenPeriod) {
    TempDir dir;
    const db::FieldList contract = {db::FieldDef::date("SZKEZD"), db::FieldDef::date("SZVEG")};
    writeTable(dir.str(), "HSZERZ.DBF", contract,
               {{"1998.01.01", "1999.05.31"}, {"2010.01.01", "2015.12.31"}, {"2016.01.01", db::Value()}});
    const db::FieldList staff = {db::FieldDef::character("NEV", 10), db::FieldDef::date("KEZD"), db::FieldDef::date("VEG")};
    writeTable(dir.str(), "HSZOLGSZ.DBF", staff,
               {{"regi", "2009.01.01", "2015.12.31"},
                {"nyitott", "2012.01.01", db::Value()},
                {"kesobbi", "2016.02.01", db::Value()},
                {"rovid", "2010.01.01", "2011.01.01"},
                {"hosszu", "2016.01.01", "3000.01.01"}});
    db::Database database(dir.str());
    db::Table& hszerz = database.table("HSZERZ", "HSZERZ.DBF");
    db::Table& hszolgsz = database.table("HSZOLGSZ", "HSZOLGSZ.DBF");
    hszerz.open();
    hszolgsz.open();
    hszerz.setFilter(kContractListFilter);
    EXPECT_EQ(hszerz.recordCount(), 2);

    auto names = [&] {
        std::vector<std::string> out;
        for (hszolgsz.first(); !hszolgsz.eof(); hszolgsz.next()) out.push_back(hszolgsz.text("NEV"));
        return out;
    };
    hszerz.last();
    EXPECT_EQ(ContractValidityFilter(hszerz), "kezd<='2016.01.01' and (veg >='2999.12.01' or veg=null)");
    ApplyContractFilter(hszerz, {&hszolgsz});
    EXPECT_EQ(names(), (std::vector<std::string>{"nyitott", "hosszu"}));

    hszerz.first();
    ApplyContractFilter(hszerz, {&hszolgsz});
    EXPECT_EQ(hszolgsz.filterText(), "kezd<='2010.01.01' and (veg >='2015.12.31' or veg=null)");
    EXPECT_EQ(names(), (std::vector<std::string>{"regi"}));

    // No period in the list: no employee is valid.
    hszerz.setFilter("szkezd>='2999.01.01'");
    ASSERT_EQ(hszerz.recNo(), -1);
    ApplyContractFilter(hszerz, {&hszolgsz});
    EXPECT_TRUE(names().empty());
}

// Another program's bytes in a period's end date leave the period open
// rather than making the employees' filter fail.
TEST(ContractView, DamagedPeriodDateBoundsNothing) {
    TempDir dir;
    writeTable(dir.str(), "HSZERZ.DBF", {db::FieldDef::date("SZKEZD"), db::FieldDef::date("SZVEG")},
               {{"2016.01.01", "2016.12.31"}});
    db::Database database(dir.str());
    db::Table& hszerz = database.table("HSZERZ", "HSZERZ.DBF");
    hszerz.open();
    hszerz.first();
    hszerz.updateValues(0, {{1, db::Value::damaged("2016AB31")}});
    ASSERT_TRUE(hszerz.field("SZVEG").isDamaged());
    EXPECT_EQ(ContractValidityFilter(hszerz), "kezd<='2016.01.01' and (veg >='2999.12.01' or veg=null)");
}
