#pragma once
// Choosing the billing period to work in: what the period window's OK
// decides, given the period table ZARAS.
#include "app/Dialogs.h"
#include "app/Session.h"

#include <optional>
#include <string>

namespace velmora::db {
class Table;
}

namespace velmora::app {

// The part of a ZARAS row the choice looks at.
struct PeriodRow {
    std::string idoszak;
    std::string zaras;  // closing date, "" while the period is open
};

class PeriodTable {
public:
    virtual ~PeriodTable() = default;
    // The row of the period, if there is one.
    virtual std::optional<PeriodRow> find(const std::string& period) = 0;
};

// The shared ZARAS table object, which must be open. Looking a period up
// moves its cursor to the row found.
class ZarasPeriodTable : public PeriodTable {
public:
    explicit ZarasPeriodTable(db::Table& zaras) : zaras_(zaras) {}
    std::optional<PeriodRow> find(const std::string& period) override;

private:
    db::Table& zaras_;
};

enum class PeriodStep {
    Invalid,   // a check failed (its messages shown); the window stays open
    Accepted,  // the session now works in the period
    Declined,  // a closed period the user did not want
};


// The period window's OK for the text of its entry. An open period (no row,
// or a row without closing date) is accepted at once; a closed one only when
// the user says Yes to Msg::ClosedPeriodQuestion, and the session then works in
// it knowingly (zarnez). Every valid entry clears zarnez first, so a declined
// closed period leaves the previous period with zarnez cleared.
PeriodStep SubmitPeriod(Session& session, const std::string& entered, PeriodTable& periods, Dialogs& dialogs);

} // namespace velmora::app
