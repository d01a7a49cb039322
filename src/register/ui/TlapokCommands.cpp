// The register's commands on the sheet under the cursor.
#include "register/ui/Tlapok.h"

#include "app/Dialogs.h"
#include "app/PeriodChoice.h"
#include "db/Table.h"
#include "register/NewSheets.h"
#include "register/SheetCommands.h"
#include "register/ui/Tleido.h"
#include "register/ui/Treszlap.h"
#include "sheets/SheetStore.h"
#include "sheets/ui/SheetWindows.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/QtText.h"

namespace velmora::ui {

using reg::RegisterMode;

std::optional<sheets::SheetKey> Tlapok::currentSheet() const {
    if (!lap_.isOpen() || lap_.position() < 0) return std::nullopt;
    return sheets::SheetKey{lap_.text("SORSZ"), lap_.text("RESZ"), lap_.text("IDOSZAK")};
}

void Tlapok::showSaved() {
    const auto key = sheetWindows_.takeSaved();
    if (!key) return;
    // A sheet outside the register's year is not among its rows: the
    // cursor stays.
    lap_.locate("SORSZ;RESZ;IDOSZAK", {db::Value(key->sorsz), db::Value(key->resz), db::Value(key->idoszak)});
}

void Tlapok::refreshBudget() {
    reg::refreshRecorded(budget_, ctx_.db, ctx_.session, mode_ == RegisterMode::Sending, ctx_.dialogs);
    showBudget();
}

// --- new sheets -------------------------------------------------------------------

void Tlapok::newSheet(sheets::SheetKind kind) {
    if (!recording()) return;
    const auto form = reg::startNewSheet(ctx_, kind);
    if (!form) return;  // refused, the message shown
    sheetWindows_.takeSaved();
    sheetWindows_.openForm(*form, this);
    showSaved();
    refreshBudget();
}

// The chooser lists the year's first parts whose series is not full; the
// register's own filter comes back when it closes.
void Tlapok::nextPart() {
    if (!recording()) return;
    if (const auto refusal = reg::nextPartRefusal(ctx_.session.mIdoszak)) {
        ctx_.dialogs.error(*refusal);
        return;
    }
    const std::string yearFilter = lap_.filterText();
    sheetWindows_.takeSaved();
    {
        struct FilterBack {
            db::Table& lap;
            const std::string& filter;
            ~FilterBack() { lap.setFilter(filter); }
        } back{lap_, yearFilter};
        lap_.setFilter(reg::nextPartFilter(yearFilter));
        reszlap->run(qs(reg::providerCaption(ctx_.db) + " választható részszámlái"));
    }
    showSaved();
    refreshBudget();
}

// --- a stored sheet ---------------------------------------------------------------

void Tlapok::openStored(sheets::EntryMode mode) {
    const auto key = currentSheet();
    if (!key) return;
    const auto sheet = sheets::loadSheet(ctx_.db, *key);
    if (!sheet) return;  // gone since the grid showed it
    sheetWindows_.takeSaved();
    sheetWindows_.storedSheet(*sheet, mode, this);
    showSaved();
    refreshBudget();
}

void Tlapok::modify() {
    if (!recording() || !currentSheet()) return;
    if (const auto refusal = reg::modifyRefusal(lap_.text("ELKULDVE"), lap_.text("IDOSZAK"), ctx_.session.mIdoszak,
                                                ctx_.session.clock().today())) {
        ctx_.dialogs.error(*refusal);
        return;
    }
    openStored(sheets::EntryMode::Modify);
}

void Tlapok::view() {
    if (!recording()) return;
    openStored(sheets::EntryMode::View);
}

void Tlapok::history() {
    if (!recording() || !historyAction_) return;
    if (const auto key = currentSheet()) historyAction_(*key);
}

// --- changes of a stored sheet ------------------------------------------------------

void Tlapok::deleteOrCancel() {
    if (!recording()) return;
    const auto key = currentSheet();
    if (!key) return;
    switch (reg::deleteAction(lap_.text("ELKULDVE"), key->idoszak, reg::lastClosedPeriod(ctx_.db), ctx_.session.clock().today())) {
    case reg::DeleteAction::Delete:
        if (!ctx_.dialogs.ask(app::question(app::Msg::DeleteSheetQuestion))) return;
        reg::deleteSheet(ctx_.db, *key);
        lap_.first();
        refreshBudget();
        return;
    case reg::DeleteAction::Cancel:
        if (!ctx_.dialogs.ask(app::question(app::Msg::CancelSheetQuestion))) return;
        reg::cancelSheet(ctx_.db, *key);
        ctx_.dialogs.information(reg::kCancelDone);
        return;
    case reg::DeleteAction::Refuse:
        ctx_.dialogs.warning(reg::kCancelOutside);
        return;
    case reg::DeleteAction::FromFund:
        ctx_.dialogs.error(reg::kFromFund);
        return;
    }
}

void Tlapok::convert() {
    if (!recording()) return;
    const auto key = currentSheet();
    if (!key) return;
    const std::string& period = ctx_.session.mIdoszak;
    std::optional<app::PeriodRow> periodRow;
    if (ctx_.session.zarnez)
        periodRow = app::ZarasPeriodTable(store::tableOf(ctx_.db, store::schema::ZARAS())).find(period);
    const reg::ConvertDecision decision = reg::convertDecision(lap_.text("ELKULDVE"), key->resz, period,
                                                               ctx_.session.zarnez, periodRow,
                                                               ctx_.session.clock().today());
    if (!decision.refusal.empty()) {
        if (decision.warning)
            ctx_.dialogs.warning(decision.refusal);
        else
            ctx_.dialogs.error(decision.refusal);
        return;
    }
    if (!ctx_.dialogs.ask(app::question(*decision.question))) return;
    reg::convertSheet(ctx_.db, *key, decision.newResz);
}

void Tlapok::closingDate() {
    if (!recording()) return;
    const auto key = currentSheet();
    if (!key) return;
    leido->run(*key, lap_.text("SZAKVET"));
    refreshBudget();
}

// --- marking ------------------------------------------------------------------------

void Tlapok::marking(const std::function<void()>& mark) {
    const db::Table::Bookmark bookmark = lap_.bookmark();
    {
        const BrowseModel::Hold once(*Lapkep1->browse()->model());
        mark();
    }
    lap_.gotoBookmark(bookmark);
    if (mode_ != RegisterMode::Printing) refreshBudget();
}

void Tlapok::markOne() {
    if (recording()) return;
    const auto key = currentSheet();
    if (!key) return;
    marking([&] { reg::toggleMark(ctx_.db, *key); });
}

void Tlapok::markMonth() {
    if (recording() || lap_.isEmpty()) return;
    marking([this] {
        reg::markMonth(ctx_.db, ctx_.session.mIdoszak, ctx_.session.zarnez, bulkToggle_.flip());
    });
}

void Tlapok::markYear() {
    if (mode_ != RegisterMode::Sending || lap_.isEmpty()) return;
    marking([this] { reg::markListed(ctx_.db, bulkToggle_.flip()); });
}

} // namespace velmora::ui
