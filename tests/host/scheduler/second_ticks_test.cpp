#include "scheduler/second_ticks.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace scheduler {
namespace {

int64_t SecondOf(int64_t ms) {
    return ms >= 0 ? ms / kSecondMs : (ms - kSecondMs + 1) / kSecondMs;
}

// A system timer that runs `rate` times as fast as the wall clock and answers `latencyMs` late, started at
// `startMs`: the seconds shown over a minute, and the latest a shown second began before it was shown.
struct TimerRun {
    std::vector<int64_t> shown;
    int64_t latestMs = 0;
};

TimerRun RunTimer(int64_t startMs, double rate, int64_t latencyMs) {
    TimerRun run;
    int64_t now = startMs;
    SecondTimerStep step = ArmSecondTimer(now);
    EXPECT_FALSE(step.fire);
    while (now < startMs + 60 * kSecondMs) {
        now += static_cast<int64_t>(step.delayMs / rate) + latencyMs;
        step = StepSecondTimer(now, step.dueMs);
        if (step.fire) {
            run.shown.push_back(SecondOf(now));
            run.latestMs = std::max(run.latestMs, now - SecondOf(now) * kSecondMs);
        }
    }
    return run;
}

TEST(SecondTimer, ShowsEverySecondOnceSoonAfterItBeginsWhetherTheTimerRunsFastSlowOrLate) {
    for (int64_t start : {int64_t{1'700'000'000'000}, int64_t{1'700'000'000'999}, int64_t{-3'456}}) {
        for (double rate : {1.0, 1.03, 0.97}) {
            for (int64_t latency : {0, 16}) {
                const TimerRun run = RunTimer(start, rate, latency);
                SCOPED_TRACE(testing::Message() << "start " << start << " rate " << rate << " latency " << latency);
                ASSERT_GE(run.shown.size(), 59u);
                EXPECT_EQ(run.shown.front(), SecondOf(start) + 1) << "the first tick shows the next second";
                for (size_t i = 1; i < run.shown.size(); ++i)
                    ASSERT_EQ(run.shown[i], run.shown[i - 1] + 1) << "a second shown twice or skipped";
                EXPECT_LE(run.latestMs, kTickMarginMs + latency + 35);
            }
        }
    }
}

TEST(SecondTimer, ALateTickFiresAndWaitsForTheNextSecondAndAClockSetBackDoesNotStopIt) {
    const SecondTimerStep late = StepSecondTimer(5'990, 5'000);
    EXPECT_TRUE(late.fire);
    EXPECT_EQ(late.dueMs, 6'000);
    EXPECT_EQ(late.delayMs, 10 + kTickMarginMs);

    const SecondTimerStep early = StepSecondTimer(4'996, 5'000);
    EXPECT_FALSE(early.fire);
    EXPECT_EQ(early.dueMs, 5'000);
    EXPECT_EQ(early.delayMs, 4 + kTickMarginMs);

    const SecondTimerStep setBack = StepSecondTimer(5'000, 3'605'000);
    EXPECT_TRUE(setBack.fire);
    EXPECT_EQ(setBack.dueMs, 6'000);
    // The ends of the range give a step, not an overflow.
    for (int64_t extreme : {std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()}) {
        EXPECT_LE(StepSecondTimer(extreme, extreme).delayMs, kSecondMs + kTickMarginMs);
        EXPECT_LE(ArmSecondTimer(extreme).delayMs, kSecondMs + kTickMarginMs);
    }
}

}  // namespace
}  // namespace scheduler
