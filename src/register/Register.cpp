#include "register/Register.h"

#include "app/Numbers.h"
#include "sheets/ContractFigures.h"
#include "sheets/RowLookup.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::reg {

namespace {

std::string trimmed(const std::string& s) {
    const size_t from = s.find_first_not_of(' ');
    if (from == std::string::npos) return {};
    return s.substr(from, s.find_last_not_of(' ') - from + 1);
}

const char* captionSuffix(RegisterMode mode) {
    switch (mode) {
        case RegisterMode::Recording: return " Elszámolási lapjai";
        case RegisterMode::Sending: return " Elszámolási lapok küldése";
        case RegisterMode::Printing: return " Elszámolási lapok nyomtatása";
    }
    return "";
}

// The residue of the period in MARADV, in thousands of forints; "0,0" when
// the period has none.
std::string residueText(db::Database& db, const std::string& period) {
    const db::Table& maradv = store::tableOf(db, store::schema::MARADV());
    const auto row = sheets::rowWith(maradv, "Midoszak", period);
    if (!row) return "0,0";
    const int ft = maradv.fieldIndex("Ft");
    const db::Value value = ft < 0 ? db::Value() : maradv.valueAt(*row, ft);
    if (!value.isNumber()) return "0,0";
    return app::FormatThousands(value.number());
}

} // namespace

std::string yearFilter(const std::string& period) {
    const std::string year = period.substr(0, 4);
    return "idoszak>='" + year + ".01" + "' and idoszak<='" + year + ".12" + "'";
}

std::string providerCaption(db::Database& db) {
    const db::Table& part = store::tableOf(db, store::schema::PART());
    for (uint32_t r = 0, n = part.physicalCount(); r < n; ++r) {
        if (part.isDeletedAt(r)) continue;
        return sheets::fieldText(part, r, "MEGYE") + " " + sheets::fieldText(part, r, "INTKOD") + " " +
               trimmed(sheets::fieldText(part, r, "INTE"));
    }
    return {};
}

std::string registerCaption(db::Database& db, RegisterMode mode) {
    return providerCaption(db) + captionSuffix(mode);
}

BudgetTexts budgetTexts(db::Database& db, const app::Session& session, bool markedOnly, app::Dialogs& dialogs,
                        const BudgetTexts& previous) {
    BudgetTexts texts = previous;
    const std::string& period = session.mIdoszak;
    try {
        texts.STm = residueText(db, period);
    } catch (const std::exception& e) {
        dialogs.error("Hiba a lefutásban!", e.what());
    }
    try {
        const auto contract = sheets::contractFigures(db, period, session.alapert);
        texts.STszv = app::FormatWhole(contract ? contract->days : 0);
        texts.STszf = app::FormatThousands(contract ? contract->amount : db::Decimal());
    } catch (const std::exception& e) {
        dialogs.error("Hiba a lefutásban!", e.what());
    }
    refreshRecorded(texts, db, session, markedOnly, dialogs);
    return texts;
}

void refreshRecorded(BudgetTexts& texts, db::Database& db, const app::Session& session, bool markedOnly,
                     app::Dialogs& dialogs) {
    const auto figures = sheets::recordedFigures(db, session.mIdoszak, markedOnly, session.alapert, dialogs);
    if (!figures) return;  // shown as "Hiba a lefutásban! (3)" or "(4)"
    texts.STav = app::FormatWhole(figures->days);
    texts.STtf = app::FormatThousands(figures->amount);
    texts.STtp = app::FormatThousands(figures->supplement);
}

RowPaint rowPaint(const std::string& sheetPeriod, const std::string& currentPeriod, RegisterMode mode) {
    if (sheetPeriod == currentPeriod) return RowPaint::Normal;
    return mode == RegisterMode::Sending ? RowPaint::Red : RowPaint::Silver;
}

} // namespace velmora::reg
