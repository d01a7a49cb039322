// Where a sheet stands with the fund, and what each event makes of it: one
// table of every state under every event, and the correction mark's
// calendar.
#include "sheets/SendingState.h"

#include <gtest/gtest.h>

using namespace velmora;
using sheets::SendingEvent;
using sheets::SendingFields;
using sheets::SendingState;

namespace {

const char* nameOf(SendingState s) {
    switch (s) {
        case SendingState::Recorded: return "Recorded";
        case SendingState::Sent: return "Sent";
        case SendingState::SentLate: return "SentLate";
        case SendingState::Corrected: return "Corrected";
        case SendingState::ClosedLater: return "ClosedLater";
        case SendingState::Cancelled: return "Cancelled";
        case SendingState::CorrectionSent: return "CorrectionSent";
        case SendingState::FromFund: return "FromFund";
    }
    return "?";
}

const char* nameOf(SendingEvent e) {
    switch (e) {
        case SendingEvent::Shipment: return "Shipment";
        case SendingEvent::Modification: return "Modification";
        case SendingEvent::Closing: return "Closing";
        case SendingEvent::Cancellation: return "Cancellation";
    }
    return "?";
}

constexpr bool kMark = true, kNoMark = false;

struct Case {
    SendingFields from;
    SendingState state;
    SendingEvent event;
    const char* period;  // the shipment's ("" for the other events)
    bool mark;
    SendingFields to;
};

} // namespace

TEST(SendingState, EveryStateUnderEveryEvent) {
    using E = SendingEvent;
    using S = SendingState;
    // The sheets belong to period 2024.05.
    const Case cases[] = {
        // recorded: not sent yet
        {{"", ""}, S::Recorded, E::Shipment, "2024.05", kNoMark, {"2024.05", ""}},
        {{"", ""}, S::Recorded, E::Shipment, "2024.06", kNoMark, {"2024.06", "P"}},
        {{"", ""}, S::Recorded, E::Modification, "", kMark, {"", ""}},  // the fund never had it
        {{"", ""}, S::Recorded, E::Modification, "", kNoMark, {"", ""}},
        {{"", ""}, S::Recorded, E::Closing, "", kMark, {"", ""}},  // goes with its first shipment
        {{"", ""}, S::Recorded, E::Closing, "", kNoMark, {"", ""}},
        {{"", ""}, S::Recorded, E::Cancellation, "", kNoMark, {"YY", "S"}},
        // sent with its own period's shipment
        {{"2024.05", ""}, S::Sent, E::Shipment, "2024.05", kNoMark, {"2024.05", ""}},  // the shipment repeated
        {{"2024.05", ""}, S::Sent, E::Shipment, "2024.06", kNoMark, {"2024.06", "P"}},
        {{"2024.05", ""}, S::Sent, E::Modification, "", kMark, {"YY", "K"}},
        {{"2024.05", ""}, S::Sent, E::Modification, "", kNoMark, {"", ""}},
        {{"2024.05", ""}, S::Sent, E::Closing, "", kMark, {"YY", "L"}},
        {{"2024.05", ""}, S::Sent, E::Closing, "", kNoMark, {"2024.05", ""}},
        {{"2024.05", ""}, S::Sent, E::Cancellation, "", kNoMark, {"YY", "S"}},
        // sent late
        {{"2024.06", "P"}, S::SentLate, E::Shipment, "2024.07", kNoMark, {"2024.07", "P"}},
        {{"2024.06", "P"}, S::SentLate, E::Modification, "", kMark, {"YY", "K"}},
        {{"2024.06", "P"}, S::SentLate, E::Modification, "", kNoMark, {"", ""}},
        {{"2024.06", "P"}, S::SentLate, E::Closing, "", kMark, {"YY", "L"}},
        {{"2024.06", "P"}, S::SentLate, E::Closing, "", kNoMark, {"2024.06", "P"}},
        {{"2024.06", "P"}, S::SentLate, E::Cancellation, "", kNoMark, {"YY", "S"}},
        // corrected, waiting to go again: the next shipment keeps "K"
        {{"YY", "K"}, S::Corrected, E::Shipment, "2024.06", kNoMark, {"2024.06", "K"}},
        {{"YY", "K"}, S::Corrected, E::Modification, "", kMark, {"YY", "K"}},
        {{"YY", "K"}, S::Corrected, E::Modification, "", kNoMark, {"", ""}},
        {{"YY", "K"}, S::Corrected, E::Closing, "", kMark, {"YY", "L"}},
        {{"YY", "K"}, S::Corrected, E::Closing, "", kNoMark, {"YY", "K"}},
        {{"YY", "K"}, S::Corrected, E::Cancellation, "", kNoMark, {"YY", "S"}},
        // closed later
        {{"YY", "L"}, S::ClosedLater, E::Shipment, "2024.06", kNoMark, {"2024.06", "L"}},
        {{"YY", "L"}, S::ClosedLater, E::Modification, "", kMark, {"YY", "K"}},
        {{"YY", "L"}, S::ClosedLater, E::Modification, "", kNoMark, {"", ""}},
        {{"YY", "L"}, S::ClosedLater, E::Closing, "", kMark, {"YY", "L"}},
        {{"YY", "L"}, S::ClosedLater, E::Closing, "", kNoMark, {"YY", "L"}},
        {{"YY", "L"}, S::ClosedLater, E::Cancellation, "", kNoMark, {"YY", "S"}},
        // cancelled: never closed
        {{"YY", "S"}, S::Cancelled, E::Shipment, "2024.06", kNoMark, {"2024.06", "S"}},
        {{"YY", "S"}, S::Cancelled, E::Modification, "", kMark, {"YY", "K"}},
        {{"YY", "S"}, S::Cancelled, E::Modification, "", kNoMark, {"", ""}},
        {{"YY", "S"}, S::Cancelled, E::Closing, "", kMark, {"YY", "S"}},
        {{"YY", "S"}, S::Cancelled, E::Closing, "", kNoMark, {"YY", "S"}},
        {{"YY", "S"}, S::Cancelled, E::Cancellation, "", kNoMark, {"YY", "S"}},
        // the correction, closing or cancellation went out
        {{"2024.06", "K"}, S::CorrectionSent, E::Shipment, "2024.07", kNoMark, {"2024.07", "K"}},
        {{"2024.06", "K"}, S::CorrectionSent, E::Modification, "", kMark, {"YY", "K"}},
        {{"2024.06", "K"}, S::CorrectionSent, E::Modification, "", kNoMark, {"", ""}},
        {{"2024.06", "K"}, S::CorrectionSent, E::Closing, "", kMark, {"YY", "L"}},
        {{"2024.06", "K"}, S::CorrectionSent, E::Closing, "", kNoMark, {"2024.06", "K"}},
        {{"2024.06", "K"}, S::CorrectionSent, E::Cancellation, "", kNoMark, {"YY", "S"}},
        {{"2024.06", "L"}, S::CorrectionSent, E::Closing, "", kMark, {"YY", "L"}},
        {{"2024.06", "S"}, S::CorrectionSent, E::Closing, "", kMark, {"2024.06", "S"}},  // a sent cancellation
        {{"2024.06", "S"}, S::CorrectionSent, E::Shipment, "2024.07", kNoMark, {"2024.07", "S"}},
        // from the fund: never changes
        {{"xxxx.xx", ""}, S::FromFund, E::Shipment, "2024.06", kNoMark, {"xxxx.xx", ""}},
        {{"xxxx.xx", ""}, S::FromFund, E::Modification, "", kMark, {"xxxx.xx", ""}},
        {{"xxxx.xx", ""}, S::FromFund, E::Modification, "", kNoMark, {"xxxx.xx", ""}},
        {{"xxxx.xx", ""}, S::FromFund, E::Closing, "", kMark, {"xxxx.xx", ""}},
        {{"xxxx.xx", "K"}, S::FromFund, E::Cancellation, "", kNoMark, {"xxxx.xx", "K"}},
        // damaged MODTIPUS: ELKULDVE alone tells whether the sheet went out
        {{"", "K"}, S::Recorded, E::Closing, "", kMark, {"", "K"}},
        {{"YY", ""}, S::Corrected, E::Shipment, "2024.06", kNoMark, {"2024.06", "P"}},
        {{"2024.05", "X"}, S::Sent, E::Closing, "", kMark, {"YY", "L"}},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(nameOf(c.state)) + " {" + c.from.elkuldve + "," + c.from.modtipus +
                                 "} " + nameOf(c.event) + (c.mark ? " with the mark" : "") + " " + c.period;
        EXPECT_STREQ(nameOf(sheets::stateOf(c.from)), nameOf(c.state)) << what;
        const SendingFields to = sheets::transition(c.from, {c.event, "2024.05", c.period, c.mark});
        EXPECT_EQ(to.elkuldve, c.to.elkuldve) << what;
        EXPECT_EQ(to.modtipus, c.to.modtipus) << what;
    }
}

TEST(SendingState, TheCorrectionMarkAppliesUnlessThePeriodWentOutThisMonthAndTodayIsAtMostThe10th) {
    const struct { bool hasRow; const char* closing; app::Date today; bool applies; } cases[] = {
        {true, "2024.06.03", {2024, 6, 10}, false},  // the shipment can still be repeated
        {true, "2024.06.03", {2024, 6, 1}, false},
        {true, "2024.06.03", {2024, 6, 11}, true},
        {true, "2024.06.03", {2024, 7, 1}, true},
        {true, "2024.06.03", {2025, 6, 5}, true},  // the same month of another year
        {true, "2024.05.28", {2024, 6, 5}, true},
        {false, "", {2024, 6, 20}, false},  // no row: the period was not sent
        {true, "", {2024, 6, 20}, false},   // a row without a closing date: not sent yet
        {true, "20240231", {2024, 6, 5}, true},  // damaged: the row says the period went out
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheets::correctionMarkApplies(c.hasRow, c.closing, c.today), c.applies)
            << c.hasRow << " " << c.closing << " " << c.today.text();
}
