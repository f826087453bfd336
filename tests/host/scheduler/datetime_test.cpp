#include "scheduler/datetime.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <ctime>
#include <limits>

namespace scheduler {
namespace {

TEST(IntegerPart, TruncatesTowardZero) {
    EXPECT_EQ(IntegerPart(3.99), 3.0);
    EXPECT_EQ(IntegerPart(-3.99), -3.0);
    EXPECT_EQ(IntegerPart(7.0), 7.0);
    EXPECT_EQ(IntegerPart(0.0), 0.0);
}

TEST(IntegerPart, ValueJustBelowNextWholeNumberCountsAsIt) {
    EXPECT_EQ(IntegerPart(2.9999999999999), 3.0);
    EXPECT_EQ(IntegerPart(-2.9999999999999), -3.0);
    EXPECT_EQ(IntegerPart(2.999999999), 2.0);  // 1e-9 short is not close enough
}

TEST(IntegerPart, NonFiniteValuesComeBackUnchanged) {
    EXPECT_TRUE(std::isnan(IntegerPart(std::nan(""))));
    EXPECT_EQ(IntegerPart(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

TEST(IntegerToText, PlainDecimalWithSignForNegatives) {
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(5), "5");
    EXPECT_EQ(IntegerToText(3725), "3725");
    EXPECT_EQ(IntegerToText(-12), "-12");
    EXPECT_EQ(IntegerToText(INT32_MIN), "-2147483648");
}

TEST(TimePart, SixSevenEightAreHourMinuteSecond) {
    DateTime t;
    t.hour = 21;
    t.minute = 4;
    t.second = 59;
    EXPECT_EQ(TimePart(t, 6), 21);
    EXPECT_EQ(TimePart(t, 7), 4);
    EXPECT_EQ(TimePart(t, 8), 59);
    EXPECT_EQ(TimePart(t, 9), 0);
    EXPECT_EQ(TimePart(t, -1), 0);
}

TEST(CurrentTime, IsTheLocalTimeOfTheCLibraryClock) {
    // Retried in case the second turns over between the two readings.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const DateTime now = CurrentTime();
        if (std::time(nullptr) != before)
            continue;
        std::tm tm = {};
        ASSERT_NE(localtime_r(&before, &tm), nullptr);
        EXPECT_EQ(now.year, tm.tm_year + 1900);
        EXPECT_EQ(now.month, tm.tm_mon + 1);
        EXPECT_EQ(now.day, tm.tm_mday);
        EXPECT_EQ(now.hour, tm.tm_hour);
        EXPECT_EQ(now.minute, tm.tm_min);
        EXPECT_EQ(now.second, tm.tm_sec);
        return;
    }
    FAIL() << "the clock kept turning over";
}

}  // namespace
}  // namespace scheduler

namespace scheduler {
namespace {

// Against dates whose day numbers are known, and back, with parts that carry over.
TEST(CalendarSeconds, CountsDaysOfTheGregorianCalendarBothWays) {
    struct Case {
        DateTime time;
        int64_t seconds;
    };
    const Case cases[] = {
        {{1970, 1, 1, 0, 0, 0}, 0},           {{1969, 12, 31, 23, 59, 59}, -1},
        {{2000, 2, 29, 12, 0, 0}, 951825600}, {{2026, 12, 9, 23, 33, 36}, 1796859216},
        {{2100, 3, 1, 0, 0, 0}, 4107542400},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CalendarSeconds(c.time), c.seconds) << c.time.year;
        const DateTime back = FromCalendarSeconds(c.seconds);
        EXPECT_EQ(CalendarSeconds(back), c.seconds);
        EXPECT_EQ(back.month, c.time.month);
        EXPECT_EQ(back.day, c.time.day);
    }
    EXPECT_EQ(CalendarSeconds({2026, 13, 1, 24, 0, 0}), CalendarSeconds({2027, 1, 2, 0, 0, 0}));
    EXPECT_EQ(CalendarSeconds({2026, 0, 1, 0, 0, 0}), CalendarSeconds({2025, 12, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace scheduler
