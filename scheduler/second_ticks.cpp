#include "scheduler/second_ticks.h"

#include <limits>

namespace scheduler {

namespace {

// Keeps the arithmetic below a second away from the ends of the range.
int64_t Clamp(int64_t ms) {
    constexpr int64_t lowest = std::numeric_limits<int64_t>::min() + 2 * kSecondMs;
    constexpr int64_t highest = std::numeric_limits<int64_t>::max() - 2 * kSecondMs;
    return ms < lowest ? lowest : ms > highest ? highest : ms;
}

SecondTimerStep WaitFor(int64_t nowMs, int64_t dueMs, bool fire) {
    return {fire, dueMs, static_cast<uint32_t>(dueMs - nowMs + kTickMarginMs)};
}

}  // namespace

int64_t NextSecondStart(int64_t nowMs) {
    nowMs = Clamp(nowMs);
    int64_t into = nowMs % kSecondMs;
    if (into < 0)
        into += kSecondMs;
    return nowMs - into + kSecondMs;
}

SecondTimerStep ArmSecondTimer(int64_t nowMs) {
    nowMs = Clamp(nowMs);
    return WaitFor(nowMs, NextSecondStart(nowMs), false);
}

SecondTimerStep StepSecondTimer(int64_t nowMs, int64_t dueMs) {
    nowMs = Clamp(nowMs);
    if (nowMs < dueMs && dueMs <= nowMs + kSecondMs)
        return WaitFor(nowMs, dueMs, false);
    return WaitFor(nowMs, NextSecondStart(nowMs), true);
}

}  // namespace scheduler
