#pragma once
// Where a sheet stands with the fund: held by ELKULDVE and MODTIPUS (and
// the mark JELOLES). One table of states and one function of transitions,
// so every command that moves a sheet moves it the same way.
#include "app/Date.h"

#include <optional>
#include <string>

namespace velmora::sheets {

enum class SendingState {
    Recorded,        // ELKULDVE empty, MODTIPUS empty: not yet sent
    Sent,            // "YYYY.MM", empty: sent with that period's shipment
    SentLate,        // "YYYY.MM", "P": sent with a later period's shipment
    Corrected,       // "YY", "K": changed after sending, waits to go again
    ClosedLater,     // "YY", "L": closing date entered after sending
    Cancelled,       // "YY", "S": cancelled after sending, waits to go
    CorrectionSent,  // "YYYY.MM", "K", "L" or "S": the correction went out
    FromFund,        // "xxxx.xx": taken over from the fund's data, never changed
};

struct SendingFields {
    std::string elkuldve;
    std::string modtipus;
    bool operator==(const SendingFields&) const = default;
};

// A MODTIPUS no state names (damaged data) reads by ELKULDVE alone: empty
// Recorded, "YY" Corrected, a period Sent.
SendingState stateOf(const SendingFields& fields);

// What happens to a sheet.
enum class SendingEvent {
    Shipment,      // it went out with a shipment (the period in `period`)
    Modification,  // it was saved again after changes
    Closing,       // its closing date was entered afterwards
    Cancellation,  // it was cancelled
};

struct TransitionInput {
    SendingEvent event;
    std::string sheetPeriod;  // the sheet's IDOSZAK
    std::string period;       // Shipment: the shipment's period
    bool markApplies = false; // Modification and Closing: the calendar says the fund must hear of it
};

// The fields after the event. A sheet from the fund never changes. A
// shipment sets its period and gives "P" to another period's sheet without
// MODTIPUS ("K", "L", "S" stay); a modification gives "YY"/"K" with the
// mark to a sheet that was sent and makes the sheet recorded again without
// it (a never-sent sheet stays recorded either way); a closing date with
// the mark gives "YY"/"L" only to a sheet the fund has (never to a recorded
// or a cancelled one); a cancellation gives "YY"/"S".
SendingFields transition(const SendingFields& from, const TransitionInput& input);

// The correction mark of a saved modification: the sheet's period has a row
// in the period table (closingDate is its closing date ZARAS, "" when
// empty or there is no row: hasRow tells) and that closing date is not in
// today's month of today's year with today at most the 10th. A row with an
// empty closing date is a period not sent yet: no mark. A closing date that
// is no date (damaged data) still tells that the period was sent: the mark
// applies.
bool correctionMarkApplies(bool hasRow, const std::string& closingDate, const app::Date& today);

} // namespace velmora::sheets
