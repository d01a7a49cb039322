#include "support/TableFixture.h"

#include "db/DbError.h"
#include "masterdata/PostErrors.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

TEST(PostErrors, ASecondRowWithTheSameKeyIsRefusedWithTheTablesMessage) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    const struct {
        const char* table;
        const char* keyField;
        const char* key;
        masterdata::PostErrorReply reply;
    } cases[] = {
        {"APOL", "Aptaj", "123456788", {"Ilyen ápoló már létezik !", "TApolfel", "Etaj"}},
        {"ORVOS", "Orvoskod", "12345", {"Ilyen orvos már létezik !", "TOrvosfel", "OP"}},
        {"BETEG", "TAJ", "123456788", {"Ilyen beteg már létezik !", "Tbetegfel", "btaj"}},
        {"MARADV", "Midoszak", "2024.05", {"Ennek az időszaknak már van maradványa !", "Tmaradfel", "mft"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        db::Table& t = *start.db.findTable(c.table);
        t.append();
        t.setField(c.keyField, c.key);
        EXPECT_FALSE(masterdata::postRow(t, start.dialogs));
        t.append();
        t.setField(c.keyField, c.key);
        start.dialogs.clearLog();
        const auto reply = masterdata::postRow(t, start.dialogs);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->message, c.reply.message);
        EXPECT_EQ(reply->window, c.reply.window);
        EXPECT_EQ(reply->control, c.reply.control);
        EXPECT_EQ(start.dialogs.texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{c.reply.message});
        EXPECT_EQ(t.state(), db::TableState::Insert);  // the row stays in edit
        t.cancel();
        EXPECT_EQ(t.recordCount(), 1);
    }
}

TEST(PostErrors, OtherErrorsAndOtherTablesTakeTheDefaultPath) {
    const db::DbError keyViolation(db::DbError::Code::KeyViolation, "Kulcsütközés");
    const db::DbError badValue(db::DbError::Code::BadValue, "túl hosszú");
    EXPECT_TRUE(masterdata::postErrorReply("apol", keyViolation));
    EXPECT_FALSE(masterdata::postErrorReply("HLAPA", keyViolation));
    EXPECT_FALSE(masterdata::postErrorReply("APOL", badValue));
    EXPECT_FALSE(masterdata::postErrorReply("APOL", std::runtime_error("x")));

    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    db::Table& apol = *start.db.findTable("APOL");
    apol.close();
    start.dialogs.clearLog();
    EXPECT_THROW(masterdata::postRow(apol, start.dialogs), db::DbError);  // not a key violation: thrown on
    EXPECT_TRUE(start.dialogs.log().empty());
}
