// velmora-batch answers the program's questions by their identity: every
// question of every command, and a question whose words were changed.
#include "batch_console.h"

#include <gtest/gtest.h>

#include <optional>

using namespace velmora;
using app::Msg;

namespace {

batch::Options optionsOf(const std::string& command, bool yes, bool archive = false, bool encrypt = false) {
    batch::Options o;
    o.command = command;
    o.yes = yes;
    if (archive) o.archive = "/media/pendrive";
    o.encrypt = encrypt;
    return o;
}

// The answer the tool gives, nothing when it refuses to go on.
std::optional<bool> answer(const batch::Options& options, const app::Question& question) {
    batch::ConsoleDialogs dialogs(options.yes, [&options](Msg id) { return batch::answerFor(options, id); });
    const bool yes = dialogs.ask(question);
    if (dialogs.refused()) {
        EXPECT_FALSE(yes);
        return std::nullopt;
    }
    return yes;
}

const char* const kCommands[] = {"backup",           "restore",     "ship",    "import-billed", "import-contracts",
                                 "import-full",      "reindex",     "report",  "history"};

} // namespace

TEST(BatchAnswers, EveryQuestionOfEveryCommandByItsIdentity) {
    const struct {
        const char* command;
        Msg question;
        bool yes, archive, encrypt;
        std::optional<bool> expected;  // nothing: refused, the tool exits asking for --yes
    } cases[] = {
        // The command line answers these itself, --yes or not.
        {"backup", Msg::OutsideCopyQuestion, false, true, false, true},
        {"backup", Msg::OutsideCopyQuestion, true, false, false, false},
        {"backup", Msg::EncryptQuestion, false, true, true, true},
        {"backup", Msg::EncryptQuestion, true, true, false, false},
        {"ship", Msg::EReportQuestion, true, false, false, false},  // the page is for a person
        {"report", Msg::ClosedPeriodQuestion, false, false, false, true},
        {"history", Msg::ClosedPeriodQuestion, false, false, false, true},
        // The rest need --yes.
        {"ship", Msg::ClosedPeriodQuestion, false, false, false, std::nullopt},
        {"ship", Msg::ClosedPeriodQuestion, true, false, false, true},
        {"ship", Msg::SendQuestion, false, false, false, std::nullopt},
        {"ship", Msg::SendAgainQuestion, true, false, false, true},
        {"restore", Msg::RestoreQuestion, false, false, false, std::nullopt},
        {"restore", Msg::RestoreQuestion, true, false, false, true},
        {"import-billed", Msg::BilledQuestion, false, false, false, std::nullopt},
        {"import-contracts", Msg::ContractQuestion, true, false, false, true},
        {"import-full", Msg::ReplaceAllQuestion, false, false, false, std::nullopt},
        {"import-full", Msg::ReplaceAllQuestion, true, false, false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(answer(optionsOf(c.command, c.yes, c.archive, c.encrypt), app::question(c.question)), c.expected)
            << c.command << " " << app::name(c.question) << (c.yes ? " --yes" : "");

    // Whatever the program may ask, no command goes on without an answer
    // of its own or --yes, and --yes never refuses.
    for (const Msg q : app::allMessages()) {
        if (!app::isQuestion(q)) continue;
        for (const char* command : kCommands) {
            const batch::Options plain = optionsOf(command, false);
            const std::optional<bool> own = batch::answerFor(plain, q);
            EXPECT_EQ(answer(plain, app::question(q)), own) << command << " " << app::name(q);
            EXPECT_TRUE(answer(optionsOf(command, true), app::question(q)).has_value()) << command << " " << app::name(q);
        }
    }
}

TEST(BatchAnswers, AQuestionWhoseWordsChangedIsAnsweredAllTheSame) {
    const app::Question reworded{Msg::OutsideCopyQuestion, "Hová kerüljön a mentés másolata?",
                                 app::QuestionKind::Confirmation};
    EXPECT_EQ(answer(optionsOf("backup", false, true), reworded), true);
    EXPECT_EQ(answer(optionsOf("backup", false, false), reworded), false);
    // And the catalogue's words of another question do not stand in for it.
    const app::Question borrowed{Msg::RestoreQuestion, app::text(Msg::OutsideCopyQuestion),
                                 app::QuestionKind::Confirmation};
    EXPECT_EQ(answer(optionsOf("backup", false, true), borrowed), std::nullopt);
}
