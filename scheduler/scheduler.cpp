#include "scheduler/scheduler.h"

#include <cmath>
#include <utility>

#include "scheduler/texts.h"

namespace scheduler {

namespace {

using namespace app::ids;
using app::kEditContent;
using app::kPropVisible;
using app::kTimerInterval;

constexpr int32_t kTickMs = 1000;

// Handlers run one at a time on the user-interface thread, so nothing here is locked.
Seams g_seams;
State g_state;

std::string ReadText(app::WindowId window, app::ControlId control) {
    return g_seams.getText ? g_seams.getText(window, control, kEditContent) : std::string();
}

void WriteText(app::WindowId window, app::ControlId control, const std::string& text) {
    if (g_seams.setText)
        g_seams.setText(window, control, kEditContent, text);
}

void WriteInteger(app::WindowId window, app::ControlId control, int property, int32_t value) {
    if (g_seams.setInteger)
        g_seams.setInteger(window, control, property, value);
}

DateTime Now() {
    return g_seams.currentTime ? g_seams.currentTime() : CurrentTime();
}

void RequestPowerOff() {
    if (g_seams.requestPowerOff)
        g_seams.requestPowerOff();
}

void Reset() {
    g_state.secondsLeft = 0;
    g_state.targetHour = 0;
    g_state.targetMinute = 0;
    g_state.targetSecond = 0;
    g_state.countingDown = false;
    WriteInteger(kMainWindow, kCountdownTimer, kTimerInterval, 0);
    WriteInteger(kMainWindow, kClockTimer, kTimerInterval, kTickMs);
    WriteText(kMainWindow, kTimeEntryEdit, TIME_PROMPT);
    g_state.stopRequested = 0;
}

// Two digits for the clock; the parts of a local time are never negative.
std::string TwoDigits(int32_t value) {
    return value < 10 ? ConcatTexts({"0", IntegerToText(value)}) : IntegerToText(value);
}

}  // namespace

void SetSeams(Seams seams) {
    g_seams = std::move(seams);
}

const State& CurrentState() {
    return g_state;
}

void ClearState() {
    g_state = State{};
}

std::string CountdownMessage(int32_t secondsLeft) {
    const double left = secondsLeft;
    const double hours = IntegerPart(left / 3600);
    const double minutes = std::trunc(IntegerPart(left - hours * 3600) / 60);
    const double seconds = IntegerPart(left - hours * 3600 - minutes * 60);
    return ConcatTexts({kCountdownHead, IntegerToText(ClampToInt32(hours)), kHoursUnit,
                        IntegerToText(ClampToInt32(minutes)), kMinutesUnit, IntegerToText(ClampToInt32(seconds)),
                        kSecondsUnit});
}

std::string ClockText(const DateTime& time) {
    return ConcatTexts({kClockPrefix, TwoDigits(TimePart(time, kTimePartHour)), ":",
                        TwoDigits(TimePart(time, kTimePartMinute)), ":", TwoDigits(TimePart(time, kTimePartSecond))});
}

void OnTimeEntryFocus() {
    std::string content = ReadText(kMainWindow, kTimeEntryEdit);
    if (CompareText(content, TIME_PROMPT) == 0 || CompareText(content, FORMAT_ERROR_TEXT) == 0)
        WriteText(kMainWindow, kTimeEntryEdit, std::string());
    content = ReadText(kMainWindow, kTimeEntryEdit);
    if (CompareText(content, PAST_TIME_TEXT) == 0)
        WriteText(kMainWindow, kTimeEntryEdit, std::string());
}

void OnStartClicked() {
    const std::vector<std::string> pieces = SplitText(ReadText(kMainWindow, kTimeEntryEdit), ":");
    // Every press withdraws a stop that no tick has consumed yet, even when the entry is then rejected.
    g_state.stopRequested = 0;
    if (pieces.size() != 3) {
        WriteText(kMainWindow, kTimeEntryEdit, FORMAT_ERROR_TEXT);
        return;
    }
    g_state.targetHour = TextToInteger(pieces[0]);
    g_state.targetMinute = TextToInteger(pieces[1]);
    g_state.targetSecond = TextToInteger(pieces[2]);
    // A new target is a new countdown: the late-tick allowance must not carry over from the old one.
    g_state.countingDown = false;
    WriteInteger(kMainWindow, kCountdownTimer, kTimerInterval, kTickMs);
    WriteInteger(kCountdownWindow, kCountdownWindowElement, kPropVisible, 1);
}

void OnClockTimer() {
    WriteText(kMainWindow, kClockEdit, ClockText(Now()));
}

void OnCountdownTimer() {
    const DateTime now = Now();
    const double target = g_state.targetHour * 3600.0 + g_state.targetMinute * 60.0 + g_state.targetSecond;
    const double timeOfDay =
        TimePart(now, kTimePartHour) * 3600.0 + TimePart(now, kTimePartMinute) * 60.0 + TimePart(now, kTimePartSecond);
    // Targets are stored unchecked, so the difference can lie far outside 32 bits.
    g_state.secondsLeft = ClampToInt32(target - timeOfDay);

    if (g_state.stopRequested == 1) {
        Reset();
        return;
    }
    if (g_state.secondsLeft <= 0) {
        // The tick that would have seen one second left was skipped (the clock moved two seconds or more
        // between ticks): switch off now, a little late, rather than not at all. A target that was past at
        // the first tick, or long past (after the machine slept), only ends the countdown.
        if (g_state.countingDown && g_state.secondsLeft >= -kLateTickGraceSeconds) {
            WriteText(kMainWindow, kCountdownTextHolder, CountdownMessage(0));
            RequestPowerOff();
        }
        Reset();
        return;
    }
    g_state.secondsLeft -= 1;
    WriteText(kMainWindow, kCountdownTextHolder, CountdownMessage(g_state.secondsLeft));
    g_state.countingDown = g_state.secondsLeft >= 1;
    if (g_state.secondsLeft == 0)
        RequestPowerOff();  // the next tick finds no time left and resets
}

void OnStopClicked() {
    g_state.stopRequested = 1;
    WriteInteger(kCountdownWindow, kCountdownWindowElement, kPropVisible, 0);
}

void OnMirrorTimer() {
    WriteText(kCountdownWindow, kCountdownText, ReadText(kMainWindow, kCountdownTextHolder));
}

}  // namespace scheduler
