#pragma once
// Keeping the machine awake while a countdown runs, and setting it to wake for the switch-off: a
// system-required power request (the thread's execution state where the system makes no request) and a
// waitable timer with resume. Windows build only; the scheduler reaches it through its port.

#include <windows.h>

#include <cstdint>
#include <string>

namespace scheduler {

// How long before the switch-off the wake timer is due. A resume from hibernation, or on a slow laptop, takes
// up to about a minute; two minutes leave the machine awake for the whole of the countdown's last minute,
// which the user then sees counting. The held power request keeps a wake without a user from sleeping again.
inline constexpr int64_t kWakeLeadSeconds = 120;

// The power-request functions, found by name in kernel32 at a hold. The tests put fakes in their place: the
// real request cannot be observed under Wine, which makes none.
struct PowerRequestFunctions {
    HANDLE(WINAPI* create)(REASON_CONTEXT* context) = nullptr;
    BOOL(WINAPI* set)(HANDLE request, POWER_REQUEST_TYPE type) = nullptr;
    BOOL(WINAPI* clear)(HANDLE request, POWER_REQUEST_TYPE type) = nullptr;
};

// Replaces the functions used from the next hold on; an empty table goes back to the system's.
void SetPowerRequestFunctions(const PowerRequestFunctions& functions);

// What is held now: the power request or the execution state (never both), and the armed wake timer.
struct AwakeHold {
    HANDLE request = nullptr;
    bool executionState = false;
    HANDLE wakeTimer = nullptr;
};
const AwakeHold& CurrentAwakeHold();

// Holds the machine awake until ReleaseAwake, the request's reason naming `targetText` (GBK, as the entry held
// it): "定时关机 22:30:00". The wake timer is armed for kWakeLeadSeconds before `switchOffSeconds` (seconds since
// 1970-01-01 00:00 UTC); a moment already that close needs none, since the machine is awake now and held so.
// Called again, the timer follows the new moment and the request stays (made anew for another target).
void HoldAwake(int64_t switchOffSeconds, const std::string& targetText);

// Clears and closes the request (or gives the execution state back), cancels and closes the timer. Nothing
// happens when nothing is held.
void ReleaseAwake();

}  // namespace scheduler
