#include "overview/ui/OverviewCommands.h"

#include "overview/ui/Tnemfiz.h"

namespace velmora::ui {

OverviewCommands::OverviewCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                                   OverviewLinks links)
    : attekint(new Tattekint(&owner, session, dbs, dialogs, std::move(links))), session_(session), db_(dbs),
      dialogs_(dialogs), guard_(dialogs, &dbs) {}

MenuCommands OverviewCommands::commands() {
    return {{"ttekints1", guard_.guarded([this] { attekint->run(); })},
            {"Kinemfizetettnapok1", guard_.guarded([this] { attekint->nemfiz->run(); })}};
}

void OverviewCommands::offer() {
    guard_.run([this] {
        const auto notes = overview::overviewNotes(overview::makeOverview(db_, session_, dialogs_));
        if (notes.empty()) return;
        std::string text = "Az áttekintés szerint figyelmet kér:";
        const size_t shown = std::min<size_t>(notes.size(), 6);
        for (size_t i = 0; i < shown; ++i) text += "\n• " + notes[i];
        if (notes.size() > shown) text += "\n… és még " + std::to_string(notes.size() - shown) + " tétel.";
        if (dialogs_.ask({app::Msg::OverviewQuestion, text + "\n\n" + app::text(app::Msg::OverviewQuestion)})) attekint->run();
    });
}

} // namespace velmora::ui
