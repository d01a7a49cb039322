// When the register lets a sheet be changed, deleted, cancelled, converted,
// started or closed: plain decisions from the sheet's state, its period,
// the period table and the calendar.
#include "register/NewSheets.h"
#include "register/Register.h"
#include "register/SheetCommands.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace velmora;
using namespace velmora::reg;
using app::Date;
using app::PeriodRow;

namespace {
const std::string kAllowed;  // the decision's "nothing to refuse"
std::string text(const std::optional<std::string>& refusal) { return refusal.value_or(kAllowed); }
}  // namespace

TEST(RegisterDecisions, ModifyByStatePeriodAndCorrectionWindow) {
    const struct { Date today; const char* elkuldve; const char* idoszak; const char* period; std::string result; } cases[] = {
        {{2024, 6, 15}, "", "2024.06", "2024.06", kAllowed},
        {{2024, 6, 15}, "   ", "2024.06", "2024.06", kAllowed},              // blank
        {{2024, 6, 15}, "", "2024.05", "2024.06", kNotThisPeriod},           // unsent, earlier month
        {{2024, 6, 15}, "xxxx.xx", "2024.06", "2024.06", kFromFund},
        {{2024, 6, 15}, "2024.06", "2024.01", "2024.06", kAllowed},          // sent with this shipment, 2024.01 >= 2024.01
        {{2024, 6, 15}, "2024.06", "2023.12", "2024.06", kOutsideCorrection},
        {{2024, 6, 15}, "2024.05", "2024.06", "2024.06", kAllowed},          // this period's sheet, sent elsewhere
        {{2024, 12, 1}, "2024.05", "2024.06", "2024.06", kOutsideCorrection},
        {{2024, 6, 15}, "2024.05", "2024.05", "2024.06", kNotThisPeriod},
        {{2024, 6, 15}, "YY", "2024.06", "2024.06", kAllowed},
        {{2024, 6, 15}, "YY", "2024.05", "2024.06", kNotThisPeriod},
        // Four months before 2011, five from then on.
        {{2010, 12, 15}, "2010.12", "2010.08", "2010.12", kAllowed},
        {{2010, 12, 15}, "2010.12", "2010.07", "2010.12", kOutsideCorrection},
        {{2011, 1, 15}, "2011.01", "2010.08", "2011.01", kAllowed},
        {{2011, 1, 15}, "2011.01", "2010.07", "2011.01", kOutsideCorrection},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(modifyRefusal(c.elkuldve, c.idoszak, c.period, c.today)), c.result)
            << c.today.text() << " " << c.elkuldve << " " << c.idoszak << " in " << c.period;
}

TEST(RegisterDecisions, DeleteWhileUnsentOrFreshlyClosedCancelInsideTheWindow) {
    const PeriodRow closedOnThe3rd{"2024.05", "2024.06.03"};
    const PeriodRow closedLastMonth{"2024.05", "2024.05.31"};
    const struct {
        Date today; const char* elkuldve; const char* idoszak; std::optional<PeriodRow> last; DeleteAction action;
    } cases[] = {
        {{2024, 6, 10}, "", "2023.01", closedOnThe3rd, DeleteAction::Delete},
        {{2024, 6, 10}, "2024.05", "2024.05", closedOnThe3rd, DeleteAction::Delete},   // the 10th
        {{2024, 6, 11}, "2024.05", "2024.05", closedOnThe3rd, DeleteAction::Cancel},   // the 11th
        {{2024, 6, 10}, "2024.05", "2024.04", closedOnThe3rd, DeleteAction::Cancel},   // not the last closed period
        {{2024, 6, 3}, "2024.05", "2024.05", closedLastMonth, DeleteAction::Cancel},   // closed in another month
        {{2024, 6, 3}, "2024.05", "2024.05", PeriodRow{"2024.05", ""}, DeleteAction::Cancel},
        {{2024, 6, 3}, "2024.05", "2024.05", std::nullopt, DeleteAction::Cancel},
        {{2024, 6, 11}, "2024.01", "2024.01", closedOnThe3rd, DeleteAction::Cancel},
        {{2024, 6, 11}, "2023.12", "2023.12", closedOnThe3rd, DeleteAction::Refuse},
        {{2024, 6, 11}, "YY", "2024.04", closedOnThe3rd, DeleteAction::Cancel},        // cancelled again
        {{2024, 6, 10}, "xxxx.xx", "2024.05", closedOnThe3rd, DeleteAction::FromFund},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deleteAction(c.elkuldve, c.idoszak, c.last, c.today), c.action)
            << c.today.text() << " " << c.elkuldve << " " << c.idoszak;
}

TEST(RegisterDecisions, ConvertOnlyUnsentOrSentWithTheFreshlyClosedPeriodsShipment) {
    const PeriodRow may{"2024.05", "2024.06.03"};
    const struct {
        Date today; const char* elkuldve; const char* resz; bool zarnez; std::optional<PeriodRow> row;
        std::string refusal; bool warning; std::optional<app::Msg> question; std::string newResz;
    } cases[] = {
        {{2024, 6, 20}, "", "A", false, std::nullopt, "", false, app::Msg::ToFullQuestion, ""},
        {{2024, 6, 20}, "", "", false, std::nullopt, "", false, app::Msg::ToPartQuestion, "A"},
        {{2024, 6, 20}, "", "B", false, std::nullopt, kConvertOther, false, std::nullopt, ""},
        {{2024, 6, 9}, "2024.05", "A", true, may, "", false, app::Msg::ToFullQuestion, ""},      // the 9th
        {{2024, 6, 10}, "2024.05", "A", true, may, kConvertSent, true, std::nullopt, ""},        // the 10th
        {{2024, 6, 9}, "2024.05", "A", false, may, kConvertSent, true, std::nullopt, ""},        // an open period chosen
        {{2024, 6, 9}, "2024.04", "", true, may, kConvertSent, true, std::nullopt, ""},          // went with another shipment
        {{2024, 6, 9}, "YY", "", true, may, kConvertSent, true, std::nullopt, ""},
        {{2024, 6, 9}, "2024.05", "C", true, may, kConvertOther, false, std::nullopt, ""},
        {{2024, 6, 9}, "xxxx.xx", "", true, PeriodRow{"2024.05", "2024.06.03"}, kFromFund, false, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const ConvertDecision d = convertDecision(c.elkuldve, c.resz, "2024.05", c.zarnez, c.row, c.today);
        const std::string where = c.today.text() + " " + c.elkuldve + " '" + c.resz + "'";
        EXPECT_EQ(d.refusal, c.refusal) << where;
        EXPECT_EQ(d.warning, c.warning) << where;
        EXPECT_EQ(d.question, c.question) << where;
        EXPECT_EQ(d.newResz, c.newResz) << where;
    }
}

TEST(RegisterDecisions, NewSheetsWithinTheLateReportWindowNextPartsNeverInJanuary) {
    const struct { Date today; const char* period; std::string fresh; std::string next; } cases[] = {
        {{2024, 6, 10}, "2008.01", kLateReport, kJanuaryNoNext},
        {{2024, 6, 10}, "2007.12", kBefore2008, kBefore2008},
        {{2024, 6, 10}, "2024.02", kAllowed, kAllowed},        // four months: limit 2024.02
        {{2024, 6, 10}, "2024.01", kLateReport, kJanuaryNoNext},
        {{2015, 12, 20}, "2015.10", kAllowed, kAllowed},       // two months before 2016
        {{2015, 12, 20}, "2015.09", kLateReport, kAllowed},    // the next part knows no window
        {{2016, 5, 31}, "2016.01", kAllowed, kJanuaryNoNext},
        {{2016, 5, 31}, "2015.12", kLateReport, kAllowed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(newSheetRefusal(c.period, c.today)), c.fresh) << c.today.text() << " " << c.period;
        EXPECT_EQ(text(nextPartRefusal(c.period)), c.next) << c.period;
    }
}

TEST(RegisterDecisions, TheClosingDateGoesToTheFundWhenItsShipmentIsOut) {
    const struct { Date today; std::optional<PeriodRow> last; bool applies; } cases[] = {
        {{2024, 6, 15}, PeriodRow{"2024.05", "2024.06.05"}, true},   // shipped in a later month
        {{2024, 6, 15}, PeriodRow{"2024.04", "2024.05.05"}, false},  // its period not yet closed
        {{2024, 7, 2}, PeriodRow{"2024.06", "2024.07.01"}, true},    // a later period closed
        {{2024, 6, 19}, PeriodRow{"2024.05", "2024.05.31"}, false},
        {{2024, 6, 20}, PeriodRow{"2024.05", "2024.05.31"}, true},   // from the 20th on
        {{2024, 6, 15}, std::nullopt, false},
    };
    for (const auto& c : cases) EXPECT_EQ(closingMarkApplies("2024.05", c.last, c.today), c.applies) << c.today.text();
}

TEST(RegisterDecisions, AnotherPeriodsRowIsSilverOrInTheSendingModeRed) {
    EXPECT_EQ(rowPaint("2024.05", "2024.05", RegisterMode::Sending), RowPaint::Normal);
    EXPECT_EQ(rowPaint("2024.04", "2024.05", RegisterMode::Recording), RowPaint::Silver);
    EXPECT_EQ(rowPaint("2024.04", "2024.05", RegisterMode::Printing), RowPaint::Silver);
    EXPECT_EQ(rowPaint("2024.04", "2024.05", RegisterMode::Sending), RowPaint::Red);
}
