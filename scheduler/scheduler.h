#pragma once
// The shutdown scheduler: the time entry, the once-a-second countdown and the clock display. The handlers
// take no arguments and reach the windows, the clock and the switch-off only through the port installed
// with SetPort, so the whole countdown runs natively in the tests. Portable: no windows.h.

#include <cstdint>
#include <functional>
#include <string>

#include "scheduler/datetime.h"
#include "scheduler/shutdown.h"

namespace scheduler {

// The entry field's prompt and error texts, GBK.
inline constexpr char TIME_PROMPT[] =
    "\xCA\xB1\xBC\xE4\xB8\xF1\xCA\xBD"
    "00:00:00";  // 时间格式00:00:00
inline constexpr char FORMAT_ERROR_TEXT[] =
    "\xB8\xF1\xCA\xBD\xD2\xAA"
    "00:00:00";  // 格式要00:00:00
inline constexpr char PAST_TIME_TEXT[] = "\xB8\xC3\xCA\xB1\xBC\xE4\xD4\xE7\xB9\xFD\xC8\xA5\xC1\xCB";  // 该时间早过去了

// The pieces of the countdown message and of the clock text, GBK.
inline constexpr char kCountdownHead[] = "\xC0\xEB\xB9\xD8\xBB\xFA\xBB\xB9\xD3\xD0\r\n";  // 离关机还有\r\n
inline constexpr char kHoursUnit[] = "\xD0\xA1\xCA\xB1:";                                 // 小时:
inline constexpr char kMinutesUnit[] = "\xB7\xD6\xD6\xD3:";                               // 分钟:
inline constexpr char kSecondsUnit[] = "\xC3\xEB";                                        // 秒
inline constexpr char kClockPrefix[] = "Now-";
// The strip's message when the system refuses the switch-off, GBK.
inline constexpr char kSwitchOffFailed[] = "\xB9\xD8\xBB\xFA\xCA\xA7\xB0\xDC";  // 关机失败
inline constexpr char kErrorCode[] = "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB";        // 错误代码

// The latest target: 24:00:00 is reached at midnight; a later total never is, since the time of day falls back
// to 0 there.
inline constexpr int32_t kLastTargetSeconds = 24 * 3600;

// How late a tick may find the target and still switch off, when the tick before it counted down
// normally: a busy message loop or a coarse clock can skip the tick that sees one second left.
inline constexpr int32_t kLateTickGraceSeconds = 5;

// The scheduler's state. All 0 at start-up.
struct State {
    int32_t targetHour = 0;
    int32_t targetMinute = 0;
    int32_t targetSecond = 0;
    int32_t secondsLeft = 0;
    int32_t stopRequested = 0;
    // Set by a tick that wrote a message with at least one second left; cleared by every start and reset.
    // Lets the next tick tell a skipped last second from a target that was already past.
    bool countingDown = false;
    // Between an accepted start and the end of its countdown.
    bool countdownArmed = false;
    // The target as a local date-time (calendar seconds, see CalendarSeconds): today's date at the typed time,
    // fixed at the start; and its time of day in seconds (-1 for any before the day began).
    int64_t targetCalendar = 0;
    int32_t targetTotal = 0;
    // Whether the machine is held awake for the countdown, and for which moment (seconds since 1970, UTC).
    bool awakeHeld = false;
    int64_t heldMoment = 0;
    // Set when a tick asked for the switch-off; the next tick then ends the countdown, even one that reads the
    // same second again, so that one countdown asks once. Cleared by every start and reset.
    bool switchOffRequested = false;
};

// How the scheduler reaches the windows, the clock and the switch-off, named by what it means. An entry left
// empty reads as the empty text, does nothing, takes the time from CurrentTime or requests nothing.
struct Port {
    // The text of the time entry field, and a new one for it.
    std::function<std::string()> readEntry;
    std::function<void(const std::string& text)> writeEntry;
    // The clock display.
    std::function<void(const std::string& text)> writeClock;
    // The countdown message ("离关机还有" ...), which the countdown strip then shows.
    std::function<void(const std::string& text)> writeCountdownMessage;
    // true: the countdown ticks once a second; false: it stops and the clock keeps its one-second period.
    std::function<void(bool armed)> armCountdown;
    // Shows or hides the countdown strip.
    std::function<void(bool shown)> showStrip;
    // The local date-time (read from the system on every call, so that a change of time zone shows at once).
    std::function<DateTime()> currentTime;
    // The current moment, in seconds since 1970-01-01 00:00 UTC, and the local date-time of a moment in the
    // system's time zone as it is now. Empty: the local date-time is taken as UTC.
    std::function<int64_t()> currentSeconds;
    std::function<DateTime(int64_t seconds)> localTimeAt;
    // While a countdown runs the machine is kept awake and set to wake for its end: told the moment of the
    // switch-off (seconds since 1970-01-01 00:00 UTC) and the target as the entry held it ("22:30:00"), when
    // a countdown starts and again whenever that moment moves (a change of the system's time or time zone).
    std::function<void(int64_t switchOffSeconds, const std::string& targetText)> holdAwake;
    // The countdown ended, whichever way: nothing is held any more. Told only after a holdAwake.
    std::function<void()> releaseAwake;
    // The forced switch-off: RequestPowerOff() in the program. A refusal is shown in place of the countdown
    // message.
    std::function<SwitchOffResult()> requestPowerOff;
    // Whether one line of text, in the strip's font, lies wholly within the part of the strip that is on the
    // screen. Empty: every line fits.
    std::function<bool(const std::string& line)> fitsStrip;
};

// Installs the port; call once at start-up, before the first handler runs.
void SetPort(Port port);

// The state as the last handler left it.
const State& CurrentState();

// Back to the start-up state (0 everywhere); the installed port stays.
void ClearState();

// Handlers bound to the window events.
void OnTimeEntryFocus();  // MainWindow 编辑框2 got the focus
void OnStartClicked();    // 按钮1 clicked
void OnClockTimer();      // MainWindow 时钟1 period
void OnCountdownTimer();  // MainWindow 时钟2 period
void OnStopClicked();     // 按钮2 clicked
// The system's time or time zone changed, or the machine resumed from sleep: the clock and the countdown read
// the time at once instead of at their next tick.
void OnClockChanged();

// The countdown message for `secondsLeft` seconds: "离关机还有\r\n" H "小时:" M "分钟:" S "秒", GBK.
std::string CountdownMessage(int32_t secondsLeft);

// What the strip shows when the switch-off is refused, GBK: "关机失败", then "(错误代码 N)" when the system
// gave an error code ("(N)" when that line would not fit), and on a second line the system's reason when it
// gave one, shortened with "…" to what fits. The code's digits are never cut.
std::string SwitchOffFailedMessage(const SwitchOffResult& result,
                                   const std::function<bool(const std::string& line)>& fits = {});

// The clock text for a time of day: "Now-" HH ":" MM ":" SS.
std::string ClockText(const DateTime& time);

}  // namespace scheduler
