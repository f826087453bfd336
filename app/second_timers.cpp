// The timer controls: message-only windows whose system timer fires the control's period event. A one-second
// timer is re-armed at every firing so that it fires just after each second of the wall clock begins.
#include <algorithm>

#include "app/control_records.h"
#include "scheduler/second_ticks.h"

namespace app {

namespace {

// Milliseconds of the system clock, the one the C library's time() reads for the clock and the countdown.
int64_t SystemClockMs() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000);
}

bool IsSecondTimer(const Control& c) {
    return c.interval == scheduler::kSecondMs;
}

// Re-armed from the current time on every firing: the system's timers keep the phase they were started with
// and, on Windows, drift against the wall clock. False when the timer fired before its second began.
bool ReArmSecondTimer(Control& c) {
    const scheduler::SecondTimerStep step = scheduler::StepSecondTimer(SystemClockMs(), c.dueMs);
    c.dueMs = step.dueMs;
    SetTimer(c.hwnd, kSystemTimerId, step.delayMs, nullptr);
    return step.fire;
}

}  // namespace

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSystemTimerId) {
        auto window = static_cast<WindowId>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kTimerWindowKey)));
        auto control = static_cast<ControlId>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kTimerControlKey)));
        // Stepped before the handler runs, so that a handler that stops the timer has the last word.
        Control* c = FindControl(FindWindowRecord(window), control);
        if (c && c->hwnd == hwnd && IsSecondTimer(*c) && !ReArmSecondTimer(*c))
            return 0;
        Fire(window, control, kEventPeriod);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kTimerWindowKey);
        RemovePropA(hwnd, kTimerControlKey);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void SetTimerInterval(Control& c, int32_t interval) {
    interval = std::max(interval, 0);
    if (interval == c.interval)
        return;
    if (c.interval > 0)
        KillTimer(c.hwnd, kSystemTimerId);
    c.interval = interval;
    if (IsSecondTimer(c)) {
        const scheduler::SecondTimerStep step = scheduler::ArmSecondTimer(SystemClockMs());
        c.dueMs = step.dueMs;
        SetTimer(c.hwnd, kSystemTimerId, step.delayMs, nullptr);
    } else if (interval > 0) {
        SetTimer(c.hwnd, kSystemTimerId, static_cast<UINT>(interval), nullptr);
    }
}

}  // namespace app
