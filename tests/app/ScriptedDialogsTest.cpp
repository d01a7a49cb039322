#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

using velmora::app::QuestionKind;
using velmora::test::ScriptedDialogs;

// Other tests rely on the script: answers in order, a loud failure when the
// logic asks something the test did not foresee.
TEST(ScriptedDialogs, AnswersInOrderAndThrowsWhenTheScriptRunsOut) {
    ScriptedDialogs d;
    d.answerYes().answerNo().chooseDirectory("/media/floppy").chooseDirectory(std::nullopt);
    EXPECT_TRUE(d.ask({velmora::app::Msg::ClosedPeriodQuestion, "Első?", QuestionKind::Warning}));
    EXPECT_FALSE(d.ask({velmora::app::Msg::SaveSheetQuestion, "Második?", QuestionKind::Confirmation}));
    EXPECT_EQ(d.chooseDirectory("Hova?", "/"), "/media/floppy");
    EXPECT_EQ(d.chooseDirectory("Hova?", "/"), std::nullopt);
    EXPECT_TRUE(d.scriptUsedUp());
    EXPECT_EQ(d.asked(), (std::vector<velmora::app::Msg>{velmora::app::Msg::ClosedPeriodQuestion,
                                                        velmora::app::Msg::SaveSheetQuestion}));
    EXPECT_THROW(d.ask({velmora::app::Msg::RestoreQuestion, "Harmadik?", QuestionKind::Plain}), ScriptedDialogs::Unscripted);
    EXPECT_THROW(d.chooseDirectory("Hova?", "/"), ScriptedDialogs::Unscripted);

    d.status(0, "Mentés");
    d.status(0, "Kész");
    d.warning("Figyelem");
    EXPECT_EQ(d.statusText(0), "Kész");
    EXPECT_EQ(d.log().front(), (ScriptedDialogs::Entry{ScriptedDialogs::Kind::Question, "Első?",
                                                       QuestionKind::Warning}));
    EXPECT_EQ(d.texts(ScriptedDialogs::Kind::Warning), std::vector<std::string>{"Figyelem"});

    // An error keeps its detail apart from its text.
    d.error("Hiba a lefutásban! (18)");
    d.error("Hiba a lefutásban!", "A(z) NEV mező (Beteg.dbf) értéke hibás");
    EXPECT_EQ(d.errors(), (std::vector<std::string>{"Hiba a lefutásban! (18)", "Hiba a lefutásban!"}));
    EXPECT_EQ(d.errorDetails(), (std::vector<std::string>{"", "A(z) NEV mező (Beteg.dbf) értéke hibás"}));
}
