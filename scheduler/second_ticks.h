#pragma once
// When a once-a-second timer fires: a few milliseconds after the start of each second of the wall clock, so
// that the clock and the countdown change as the second they show begins, whenever they were started. The
// system's timers keep their own phase and, on Windows, drift against the wall clock, so the timer is armed
// again on every firing from the time read then. Times are milliseconds of the system clock from any fixed
// origin. Portable: no windows.h.

#include <cstdint>

namespace scheduler {

inline constexpr int64_t kSecondMs = 1000;

// How long after the start of a second the timer is set to fire: one that fires on time then reads the new
// second even where the timer and the wall clock are kept by different counters.
inline constexpr int64_t kTickMarginMs = 5;

struct SecondTimerStep {
    bool fire = false;     // the second the timer waited for has begun: show it
    int64_t dueMs = 0;     // the start of the second the timer now waits for
    uint32_t delayMs = 0;  // the period to arm the timer with, so that it fires kTickMarginMs after dueMs
};

// The start of the second after the one `nowMs` lies in.
int64_t NextSecondStart(int64_t nowMs);

// A timer started at `nowMs` waits for the next second (fire is false).
SecondTimerStep ArmSecondTimer(int64_t nowMs);

// A timer that waited for the second starting at `dueMs` fires at `nowMs`. Early (that second has not begun)
// it waits on for it without firing, so a second is never shown twice; on time or late it fires and waits for
// the second after `nowMs`, so none is skipped. A clock set back by more than a second fires at once and
// waits from the new time rather than for the old second.
SecondTimerStep StepSecondTimer(int64_t nowMs, int64_t dueMs);

}  // namespace scheduler
