// The catalogue of the system's texts: one text and one name an identity,
// the values put where the text says.
#include "app/Finding.h"
#include "app/Messages.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <set>

using namespace velmora;
using app::Msg;

TEST(MessageCatalogue, EveryIdentityHasItsOwnNameAndText) {
    std::set<std::string> names;
    for (const Msg m : app::allMessages()) {
        EXPECT_FALSE(app::text(m).empty()) << app::name(m);
        EXPECT_TRUE(names.insert(app::name(m)).second) << app::name(m);
    }
    EXPECT_EQ(app::text(Msg::SendQuestion, {"12"}), "Elküldhető 12 db elszámolási lap?");
    EXPECT_EQ(app::text(Msg::QueryFailedNumbered, {"13"}), "Hiba a lefutásban! (13)");
}

TEST(Findings, PresentShowsEachInItsBoxInOrderAndReturnsWhatTheAnswersChange) {
    app::Finding silent = app::Finding::refusal("m_szido", Msg::InvalidPeriod);
    silent.text.clear();  // a refusal the system makes without a word
    const app::Findings found = {
        app::Finding::warning("m_taj", Msg::PatientDaysOver150),
        app::Finding::refusal({}, Msg::OnlyNumber),
        app::Finding::refusalAsWarning("m_kozigkod", Msg::NoSettlement),
        app::Finding::question("m_elszam", Msg::FirstOrderQuestion, "1"),
        app::Finding::failure("m_taj", Msg::QueryFailed, "no such table: hlapa"),
        silent,
        app::Finding::question("m_elszam", Msg::FirstOrderQuestion, "1"),
    };
    EXPECT_TRUE(app::refuses(found));
    EXPECT_EQ(app::firstRefusalField(found), "");  // the first refusal points nowhere
    test::ScriptedDialogs dialogs;
    dialogs.answerYes().answerNo();
    EXPECT_EQ(app::present(dialogs, found), (app::Answers{{"m_elszam", "1"}}));
    using Kind = test::ScriptedDialogs::Kind;
    const std::vector<test::ScriptedDialogs::Entry> shown = {
        {Kind::Warning, "A TAJ számra rögzített napok száma nem lehet több 150-nél!"},
        {Kind::Error, "Csak szám írható a mezőbe!"},
        {Kind::Warning, "Nincs ilyen település"},
        {Kind::Question, "Előző elszámolási lap lezárt. Kér 1-es elrendelést?", app::QuestionKind::Confirmation},
        {Kind::Error, "Hiba a lefutásban!", std::nullopt, "no such table: hlapa"},
        {Kind::Question, "Előző elszámolási lap lezárt. Kér 1-es elrendelést?", app::QuestionKind::Confirmation},
    };
    EXPECT_EQ(dialogs.log(), shown);
    EXPECT_EQ(dialogs.asked(), (std::vector<Msg>{Msg::FirstOrderQuestion, Msg::FirstOrderQuestion}));
}
