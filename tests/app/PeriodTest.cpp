#include "app/Period.h"
#include "app/Session.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmora::app;

TEST(Period, STSGivesTheMonthsFirstAndLastDayInBothForms) {
    const struct { const char* period; PeriodDays days; } cases[] = {
        {"2024.02", {"2024.02.01", "2024.02.29", "01.02.2024", "29.02.2024"}},
        {"2023.02", {"2023.02.01", "2023.02.28", "01.02.2023", "28.02.2023"}},
        {"2000.02", {"2000.02.01", "2000.02.29", "01.02.2000", "29.02.2000"}},
        {"2100.02", {"2100.02.01", "2100.02.28", "01.02.2100", "28.02.2100"}},
        {"2024.04", {"2024.04.01", "2024.04.30", "01.04.2024", "30.04.2024"}},
        {"2024.12", {"2024.12.01", "2024.12.31", "01.12.2024", "31.12.2024"}},
        {"2025.01", {"2025.01.01", "2025.01.31", "01.01.2025", "31.01.2025"}},
    };
    for (const auto& c : cases) {
        const PeriodDays got = STS(c.period);
        EXPECT_EQ(got.IDOSZAK1, c.days.IDOSZAK1) << c.period;
        EXPECT_EQ(got.IDOSZAK2, c.days.IDOSZAK2) << c.period;
        EXPECT_EQ(got.IDOSZL1, c.days.IDOSZL1) << c.period;
        EXPECT_EQ(got.IDOSZL2, c.days.IDOSZL2) << c.period;
    }
    EXPECT_THROW(STS("2024.13"), std::invalid_argument);
}

TEST(Period, BaseFeeChangesOnTheFirstPeriodOfEachStep) {
    const struct { const char* period; int fee; } cases[] = {
        {"1999.06", 3240}, {"2004.09", 3240}, {"2004.10", 3600}, {"2007.09", 3600},
        {"2007.10", 3840}, {"2012.10", 3840}, {"2012.11", 4056}, {"2016.10", 4056},
        {"2016.11", 4440}, {"2022.10", 4440}, {"2022.11", 5640}, {"2024.08", 5640},
        {"2024.09", 8400}, {"2031.01", 8400},
    };
    for (const auto& c : cases) EXPECT_EQ(BaseFee(c.period), c.fee) << c.period;
}

TEST(Session, AcceptingAPeriodSetsItsDaysAndTheClosedFlag) {
    FixedClock clock({2024, 6, 10});
    Session s(clock);
    s.acceptPeriod("2024.02", true);
    s.ertad();
    EXPECT_EQ(s.mIdoszak, "2024.02");
    EXPECT_TRUE(s.zarnez);
    EXPECT_EQ(s.IDOSZAK2, "2024.02.29");
    EXPECT_EQ(s.IDOSZL1, "01.02.2024");
    EXPECT_EQ(s.alapert, 5640);
    EXPECT_EQ(s.ellsz, 910000000);

    // A closed period's row may carry more than the seven characters.
    s.acceptPeriod("2024.09xx", false);
    s.ertad();
    EXPECT_EQ(s.mIdoszak, "2024.09");
    EXPECT_FALSE(s.zarnez);
    EXPECT_EQ(s.IDOSZL2, "30.09.2024");
    EXPECT_EQ(s.alapert, 8400);

    // Something that is no month changes nothing.
    EXPECT_THROW(s.acceptPeriod("2024.13", true), std::invalid_argument);
    EXPECT_EQ(s.mIdoszak, "2024.09");
    EXPECT_FALSE(s.zarnez);
    EXPECT_EQ(s.IDOSZAK1, "2024.09.01");
}
