#include "sheets/SendingState.h"

#include "app/TextHelpers.h"

#include <array>

namespace velmora::sheets {

namespace {

constexpr const char* kChanged = "YY";        // changed after sending, waits to go again
constexpr const char* kFromFund = "xxxx.xx";  // taken over from the fund's data

// What ELKULDVE says of a sheet; MODTIPUS tells the rest.
enum class Sent { No, Changed, Fund, WithPeriod };

Sent sentOf(const std::string& elkuldve) {
    if (elkuldve.empty()) return Sent::No;
    if (elkuldve == kChanged) return Sent::Changed;
    if (elkuldve == kFromFund) return Sent::Fund;
    return Sent::WithPeriod;
}

// The states as their fields hold them, first match wins. A MODTIPUS the
// table does not name (damaged data) matches "*": ELKULDVE alone then
// decides whether the sheet went out.
struct StateRow {
    Sent sent;
    const char* modtipus;  // "*": any
    SendingState state;
};
constexpr std::array<StateRow, 10> kStates = {{
    {Sent::Fund, "*", SendingState::FromFund},
    {Sent::No, "*", SendingState::Recorded},
    {Sent::Changed, "L", SendingState::ClosedLater},
    {Sent::Changed, "S", SendingState::Cancelled},
    {Sent::Changed, "*", SendingState::Corrected},
    {Sent::WithPeriod, "P", SendingState::SentLate},
    {Sent::WithPeriod, "K", SendingState::CorrectionSent},
    {Sent::WithPeriod, "L", SendingState::CorrectionSent},
    {Sent::WithPeriod, "S", SendingState::CorrectionSent},
    {Sent::WithPeriod, "*", SendingState::Sent},
}};

// What an event does to a sheet in a state.
enum class Effect {
    Keep,     // nothing changes
    Ship,     // ELKULDVE := the shipment's period; "P" when another period's sheet had no MODTIPUS
    Correct,  // with the mark "YY"/"K", without it recorded again
    Record,   // recorded (again): nothing to tell the fund
    Close,    // with the mark "YY"/"L", unless the cancellation already went out
    Cancel,   // "YY"/"S"
};

struct EventRow {
    SendingState state;
    Effect shipment, modification, closing, cancellation;
};
// A change or a closing date only matters to the fund for a sheet it has: a
// recorded sheet takes either to its first shipment, and a cancelled one is
// never closed. A sheet from the fund never changes.
constexpr std::array<EventRow, 8> kEvents = {{
    {SendingState::Recorded, Effect::Ship, Effect::Record, Effect::Keep, Effect::Cancel},
    {SendingState::Sent, Effect::Ship, Effect::Correct, Effect::Close, Effect::Cancel},
    {SendingState::SentLate, Effect::Ship, Effect::Correct, Effect::Close, Effect::Cancel},
    {SendingState::Corrected, Effect::Ship, Effect::Correct, Effect::Close, Effect::Cancel},
    {SendingState::ClosedLater, Effect::Ship, Effect::Correct, Effect::Close, Effect::Cancel},
    {SendingState::Cancelled, Effect::Ship, Effect::Correct, Effect::Keep, Effect::Cancel},
    {SendingState::CorrectionSent, Effect::Ship, Effect::Correct, Effect::Close, Effect::Cancel},
    {SendingState::FromFund, Effect::Keep, Effect::Keep, Effect::Keep, Effect::Keep},
}};

Effect effectOf(SendingState state, SendingEvent event) {
    for (const EventRow& row : kEvents) {
        if (row.state != state) continue;
        switch (event) {
            case SendingEvent::Shipment: return row.shipment;
            case SendingEvent::Modification: return row.modification;
            case SendingEvent::Closing: return row.closing;
            case SendingEvent::Cancellation: return row.cancellation;
        }
    }
    return Effect::Keep;
}

SendingFields ship(const SendingFields& from, const TransitionInput& in) {
    const bool late = from.modtipus.empty() && in.sheetPeriod != in.period;
    return {in.period, late ? std::string("P") : from.modtipus};
}

} // namespace

SendingState stateOf(const SendingFields& fields) {
    const Sent sent = sentOf(fields.elkuldve);
    for (const StateRow& row : kStates)
        if (row.sent == sent && (std::string(row.modtipus) == "*" || fields.modtipus == row.modtipus))
            return row.state;
    return SendingState::Sent;  // not reached: every Sent value has a "*" row
}

SendingFields transition(const SendingFields& from, const TransitionInput& input) {
    switch (effectOf(stateOf(from), input.event)) {
        case Effect::Keep: return from;
        case Effect::Ship: return ship(from, input);
        case Effect::Correct: return input.markApplies ? SendingFields{kChanged, "K"} : SendingFields{};
        case Effect::Record: return {};
        case Effect::Close:
            return input.markApplies && from.modtipus != "S" ? SendingFields{kChanged, "L"} : from;
        case Effect::Cancel: return {kChanged, "S"};
    }
    return from;
}

bool correctionMarkApplies(bool hasRow, const std::string& closingDate, const app::Date& today) {
    // No row, or a row without a closing date: the period has not gone to
    // the fund yet, so the changed sheet simply goes with its shipment.
    if (!hasRow || app::IsBlank(closingDate)) return false;
    const std::optional<app::Date> closed = app::Date::parse(closingDate);
    // A damaged closing date still says the period went out: the fund must
    // hear of the change.
    if (!closed) return true;
    const bool shipmentMonth = closed->year == today.year && closed->month == today.month;
    return !(shipmentMonth && today.day <= 10);
}

} // namespace velmora::sheets
