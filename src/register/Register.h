#pragma once
// The sheet register: which sheets it lists in which mode, its caption,
// and the budget figures above its grid as the labels show them.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"

#include <optional>
#include <string>

namespace velmora::reg {

// The register's three uses, chosen by the command that opens it.
enum class RegisterMode {
    Recording,  // "Elszámolási lapok rögzítése": new sheets, changes, closing
    Sending,    // "Floppy-küldemény RUV-számára": marking and the shipment
    Printing,   // "Elszámolási lapok nyomtatása": marking and printing
};

// The HLAPA filter of the recording and printing modes: the sheets of the
// current period's year.
std::string yearFilter(const std::string& period);

// PART's MEGYE, INTKOD and trimmed INTE: the provider as the captions of
// the register and the first parts' chooser begin.
std::string providerCaption(db::Database& db);

// The provider followed by the mode's suffix
// (" Elszámolási lapjai", " Elszámolási lapok küldése", " Elszámolási lapok
// nyomtatása").
std::string registerCaption(db::Database& db, RegisterMode mode);

// The texts of the budget labels.
struct BudgetTexts {
    std::string STm = "0,0";   // residue of the period, eFt
    std::string STszv, STszf;  // contracted days, eFt
    std::string STav = "0";    // recorded days
    std::string STtf = "0,0";  // recorded amount, eFt
    std::string STtp = "0,0";  // its regional supplement, eFt
};

// The labels for the current period: the residue (MARADV), the contract
// (szvissza) and the recorded figures over all sheets, or over the marked
// ones (`markedOnly`, the sending mode's variant). A figure whose query
// failed keeps its previous text (the failure has been shown).
BudgetTexts budgetTexts(db::Database& db, const app::Session& session, bool markedOnly, app::Dialogs& dialogs,
                        const BudgetTexts& previous = {});
// Only the recorded figures again (after marking or a change).
void refreshRecorded(BudgetTexts& texts, db::Database& db, const app::Session& session, bool markedOnly,
                     app::Dialogs& dialogs);

// Rows of another period than the current one are painted: silver in the
// recording and printing modes, red in the sending mode.
enum class RowPaint { Normal, Silver, Red };
RowPaint rowPaint(const std::string& sheetPeriod, const std::string& currentPeriod, RegisterMode mode);

} // namespace velmora::reg
