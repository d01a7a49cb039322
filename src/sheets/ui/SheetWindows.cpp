#include "sheets/ui/SheetWindows.h"

#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/StaffChooseWindow.h"
#include "masterdata/ui/Tbetegval.h"
#include "masterdata/ui/Tbnoval.h"
#include "masterdata/ui/Ttelepval.h"
#include "sheets/ui/Tlapuj.h"
#include "sheets/ui/Ttevki.h"

#include <utility>

namespace velmora::ui {

SheetWindows::SheetWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                           MasterDataWindows& masterData)
    : owner_(owner), ctx_{dbs, session, dialogs}, guard_(dialogs, &dbs), tevki_(new Ttevki(&owner, guard_)),
      lapuj_(new Tlapuj(&owner, ctx_, guard_, masterData, *tevki_)) {
    tevki_->setSheetEntry(lapuj_);
    masterData.betegval->setSheetEntryWindow(lapuj_);
    masterData.bnoval->setSheetWindow(lapuj_);
    masterData.apolf->setSheetEntry(lapuj_);
}

bool SheetWindows::newSheet(sheets::SheetKind kind, QWidget* opener) {
    return run(sheets::newSheetForm(ctx_, kind), opener);
}

bool SheetWindows::storedSheet(const sheets::Sheet& sheet, sheets::EntryMode mode, QWidget* opener) {
    return run(sheets::storedSheetForm(ctx_, sheet, mode), opener);
}

bool SheetWindows::openForm(const sheets::SheetForm& form, QWidget* opener) { return run(form, opener); }

bool SheetWindows::run(const sheets::SheetForm& form, QWidget* opener) {
    const bool saved = lapuj_->run(form, opener ? opener : &owner_);
    if (saved) saved_ = lapuj_->form().key();
    return saved;
}

std::optional<sheets::SheetKey> SheetWindows::takeSaved() { return std::exchange(saved_, std::nullopt); }

} // namespace velmora::ui
