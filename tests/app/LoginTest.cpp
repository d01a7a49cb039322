// The login's logic on a real SYS table: the first password, the upgrade of
// the old scrambled form (also from a SYS of the old, narrower layout), a
// damaged store, and the password change with its three questions.
#include "app/Login.h"
#include "app/Password.h"
#include "app/PasswordStore.h"
#include "db/Database.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace velmora;
using app::LoginStep;
using test::ScriptedDialogs;
namespace fs = std::filesystem;

namespace {

class LoginTest : public ::testing::Test {
protected:
    test::TempDir dir;

    // SYS as an installation of the old layout has it: P_W 40 wide.
    void oldSys(const std::string& storedForm) {
        db::Database dbs(dir.str());
        db::Table& sys = dbs.table("SYS", "sys.dbf");
        sys.create({db::FieldDef::character("P_W", 40)});
        sys.open();
        sys.append();
        sys.setField("P_W", db::Value(storedForm));
        sys.post();
        sys.close();
    }
    void newSys(const std::string& storedForm) {
        db::Database dbs(dir.str());
        app::SysPasswordStore store(dbs);
        store.create();
        store.open();
        if (!storedForm.empty()) store.write(storedForm);
    }
    std::string stored() {
        db::Database dbs(dir.str());
        app::SysPasswordStore store(dbs);
        store.open();
        return store.read();
    }
    int fieldWidth() {
        db::Database dbs(dir.str());
        db::Table& sys = dbs.table("SYS", "sys.dbf");
        sys.open();
        return sys.fields()[sys.fieldIndex("P_W")].width;
    }
    std::string bytes() {
        std::ifstream in(dir.file("sys.dbf"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // One start: the window opened (the table prepared) and OK pressed.
    LoginStep start(const std::string& typed, ScriptedDialogs& dialogs) {
        db::Database dbs(dir.str());
        app::SysPasswordStore store(dbs);
        EXPECT_TRUE(app::PreparePasswordTable(store, dialogs));
        return app::SubmitPassword(store, typed, dialogs);
    }
};

TEST_F(LoginTest, FirstPasswordIsStoredAsItsHash) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(start("Első jelszó", dialogs), LoginStep::Close);
    const std::string form = stored();
    EXPECT_EQ(app::KindOfStoredForm(form), app::StoredForm::Hash);
    EXPECT_EQ(bytes().find("Els"), std::string::npos) << "no trace of the password in sys.dbf";
    EXPECT_EQ(fieldWidth(), int(app::kPasswordFieldWidth));
    EXPECT_EQ(start("Első jelszó", dialogs), LoginStep::Close);
    EXPECT_EQ(start("első jelszó", dialogs), LoginStep::EndProgram);
    EXPECT_EQ(dialogs.texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{"Érvénytelen jelszó!"});
    EXPECT_EQ(stored(), form);
}

TEST_F(LoginTest, TheOldFormLogsInOnceAndIsReplacedByTheHash) {
    const struct { const char* name; bool oldLayout; } layouts[] = {{"P_W 40", true}, {"P_W 128", false}};
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        fs::remove(dir.file("sys.dbf"));
        const std::string scrambled = app::ScramblePassword("Régi");
        layout.oldLayout ? oldSys(scrambled) : newSys(scrambled);
        const std::string before = bytes();

        ScriptedDialogs dialogs;
        // A wrong password changes nothing, not even the layout.
        EXPECT_EQ(start("régi", dialogs), LoginStep::EndProgram);
        EXPECT_EQ(bytes(), before);

        EXPECT_EQ(start("Régi", dialogs), LoginStep::Close);
        const std::string form = stored();
        EXPECT_EQ(app::KindOfStoredForm(form), app::StoredForm::Hash) << form;
        EXPECT_EQ(bytes().find(scrambled), std::string::npos) << "the scrambled form is gone from the file";
        EXPECT_EQ(fieldWidth(), int(app::kPasswordFieldWidth));
        EXPECT_FALSE(fs::exists(dir.file(app::kPasswordStaging)));
        EXPECT_EQ(dialogs.errors(), std::vector<std::string>{});

        EXPECT_EQ(start("Régi", dialogs), LoginStep::Close);
        EXPECT_EQ(stored(), form) << "an upgraded store is not written again";
        EXPECT_EQ(start("régi", dialogs), LoginStep::EndProgram);
    }
}

TEST_F(LoginTest, ADamagedStoreSaysHowToResetItAndChangesNothing) {
    // A hash cut by a copy into the old 40-character field, and stray bytes.
    for (const std::string damaged : {app::HashPassword("abc").substr(0, 40), std::string("jelszo?")}) {
        fs::remove(dir.file("sys.dbf"));
        oldSys(damaged);
        const std::string before = bytes();
        ScriptedDialogs dialogs;
        EXPECT_EQ(start("abc", dialogs), LoginStep::EndProgram);
        EXPECT_EQ(dialogs.errors(), std::vector<std::string>{app::kPasswordStoreDamaged});
        EXPECT_EQ(bytes(), before);
    }
}

// The password change: each row is the entries typed into the window one
// after the other, what the last one does, the boxes shown, and the
// password that works afterwards.
TEST_F(LoginTest, PasswordChange) {
    using Q = app::PasswordChange::Question;
    const std::string differ = app::kPasswordsDiffer;
    const struct Case {
        const char* name;
        std::vector<std::string> typed;
        LoginStep last;
        Q questionAfter;
        std::vector<std::string> boxes;
        std::string works;
    } cases[] = {
        {"changed", {"Régi", "Új", "Új"}, LoginStep::Close, Q::Repeat, {}, "Új"},
        {"wrong current", {"régi"}, LoginStep::Cancel, Q::Current, {"Érvénytelen jelszó!"}, "Régi"},
        {"empty current", {""}, LoginStep::Cancel, Q::Current, {"Kötelező kitölteni!"}, "Régi"},
        {"empty new", {"Régi", ""}, LoginStep::Cancel, Q::New, {"Kötelező kitölteni!"}, "Régi"},
        {"repeat differs", {"Régi", "Új", "Uj"}, LoginStep::NextEntry, Q::New, {differ}, "Régi"},
        {"differs, then right", {"Régi", "Új", "Uj", "Másik", "Másik"}, LoginStep::Close, Q::Repeat, {differ}, "Másik"},
        {"too long", {"Régi", std::string(app::kSecretMaxLength + 1, 'x')}, LoginStep::StayOpen, Q::New,
         {app::kPasswordTooLong}, "Régi"},
        {"beyond code page 852", {"Régi", "密码€", "密码€"}, LoginStep::Close, Q::Repeat, {}, "密码€"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir.file("sys.dbf"));
        newSys(app::HashPassword("Régi"));
        ScriptedDialogs dialogs;
        {
            db::Database dbs(dir.str());
            app::SysPasswordStore store(dbs);
            ASSERT_TRUE(app::PreparePasswordTable(store, dialogs));
            app::PasswordChange change(store);
            EXPECT_EQ(change.question(), Q::Current);
            EXPECT_STREQ(change.prompt(), "Kérem a jelenlegi jelszót");
            LoginStep step = LoginStep::StayOpen;
            for (const std::string& t : c.typed) step = change.submit(t, dialogs);
            EXPECT_EQ(step, c.last);
            EXPECT_EQ(change.question(), c.questionAfter);
        }
        std::vector<std::string> boxes;
        for (const auto& e : dialogs.log()) boxes.push_back(e.text);
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_TRUE(app::PasswordMatches(stored(), c.works));
    }
}

TEST_F(LoginTest, PasswordChangeOverTheOldFormOrADamagedStore) {
    oldSys(app::ScramblePassword("Régi"));
    ScriptedDialogs dialogs;
    {
        db::Database dbs(dir.str());
        app::SysPasswordStore store(dbs);
        ASSERT_TRUE(app::PreparePasswordTable(store, dialogs));
        app::PasswordChange change(store);
        EXPECT_EQ(change.submit("Régi", dialogs), LoginStep::NextEntry);
        EXPECT_STREQ(change.prompt(), "Kérem a jelszó módosítását");
        EXPECT_EQ(change.submit("Új", dialogs), LoginStep::NextEntry);
        EXPECT_STREQ(change.prompt(), "Kérem az új jelszót még egyszer");
        EXPECT_EQ(change.submit("Új", dialogs), LoginStep::Close);
    }
    EXPECT_EQ(app::KindOfStoredForm(stored()), app::StoredForm::Hash);
    EXPECT_TRUE(app::PasswordMatches(stored(), "Új"));

    fs::remove(dir.file("sys.dbf"));
    oldSys("$argon2id$v=19$m=65536,t=2,p=1$cut");
    const std::string before = bytes();
    {
        db::Database dbs(dir.str());
        app::SysPasswordStore store(dbs);
        ASSERT_TRUE(app::PreparePasswordTable(store, dialogs));
        app::PasswordChange change(store);
        dialogs.clearLog();
        EXPECT_EQ(change.submit("Régi", dialogs), LoginStep::Cancel);
        EXPECT_EQ(dialogs.errors(), std::vector<std::string>{app::kPasswordStoreDamaged});
    }
    EXPECT_EQ(bytes(), before);
}

TEST_F(LoginTest, WithoutAPasswordTheChangeAsksOnlyForTheNewOne) {
    ScriptedDialogs dialogs;
    db::Database dbs(dir.str());
    app::SysPasswordStore store(dbs);
    ASSERT_TRUE(app::PreparePasswordTable(store, dialogs));
    app::PasswordChange change(store);
    EXPECT_EQ(change.question(), app::PasswordChange::Question::New);
    EXPECT_EQ(change.submit("Első", dialogs), LoginStep::NextEntry);
    EXPECT_EQ(change.submit("Első", dialogs), LoginStep::Close);
    EXPECT_TRUE(app::PasswordMatches(store.read(), "Első"));
}

} // namespace
