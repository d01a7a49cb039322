#pragma once
// The sheet entry's windows: the entry window and the activity chooser,
// made once when the program starts and owned by the window they are given
// (the main window). The register opens the entry window through here for
// a new full or first partial invoice, the next part of a series, and for
// changing or viewing a stored sheet.
#include "sheets/Sheet.h"
#include "sheets/SheetEntry.h"
#include "widgets/CommandGuard.h"

#include <optional>

class QWidget;

namespace velmora::ui {

struct MasterDataWindows;
class Tlapuj;
class Ttevki;

class SheetWindows {
public:
    // The choose windows of the master data open beside the entry window.
    SheetWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                 MasterDataWindows& masterData);

    // A new sheet of the current period (kind Full or FirstPart), the entry
    // window placed from `opener` (the owner when null); true when saved.
    bool newSheet(sheets::SheetKind kind, QWidget* opener = nullptr);
    // A stored sheet to change (EntryMode::Modify) or look at (View).
    bool storedSheet(const sheets::Sheet& sheet, sheets::EntryMode mode, QWidget* opener = nullptr);
    // A form prepared elsewhere (the next part of a series); true when saved.
    bool openForm(const sheets::SheetForm& form, QWidget* opener = nullptr);

    // The sheet the entry window saved last, once: empty when nothing was
    // saved since the last call.
    std::optional<sheets::SheetKey> takeSaved();

    Tlapuj* lapuj() const { return lapuj_; }
    Ttevki* tevki() const { return tevki_; }

private:
    bool run(const sheets::SheetForm& form, QWidget* opener);

    QWidget& owner_;
    sheets::SheetContext ctx_;
    CommandGuard guard_;
    Ttevki* tevki_;  // owned by the owner, like the entry window
    Tlapuj* lapuj_;
    std::optional<sheets::SheetKey> saved_;
};

} // namespace velmora::ui
