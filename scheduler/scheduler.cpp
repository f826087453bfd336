#include "scheduler/scheduler.h"

#include <cmath>
#include <string>
#include <utility>

#include "base/saturate.h"
#include "scheduler/texts.h"

namespace scheduler {

namespace {

// Handlers run one at a time on the user-interface thread, so nothing here is locked.
Port g_port;
State g_state;

// Calls a port entry when it is installed.
template <typename Fn, typename... Args>
void Tell(const Fn& entry, Args&&... args) {
    if (entry)
        entry(std::forward<Args>(args)...);
}

std::string ReadEntry() {
    return g_port.readEntry ? g_port.readEntry() : std::string();
}

DateTime Now() {
    return g_port.currentTime ? g_port.currentTime() : CurrentTime();
}

// Ends the countdown; `entryText` goes into the entry field.
void Reset(const char* entryText = TIME_PROMPT) {
    g_state.secondsLeft = 0;
    g_state.targetHour = 0;
    g_state.targetMinute = 0;
    g_state.targetSecond = 0;
    g_state.countingDown = false;
    g_state.switchOffRequested = false;
    Tell(g_port.armCountdown, false);
    Tell(g_port.writeEntry, entryText);
    g_state.stopRequested = 0;
}

// A countdown that ends without a switch-off leaves nothing that claims time is left: the entry says why it
// ended, and the strip is emptied and hidden.
void EndPastTarget() {
    Reset(PAST_TIME_TEXT);
    Tell(g_port.writeCountdownMessage, std::string());
    Tell(g_port.showStrip, false);
}

// Two digits for the clock; the parts of a local time are never negative.
std::string TwoDigits(int32_t value) {
    return value < 10 ? ConcatTexts({"0", IntegerToText(value)}) : IntegerToText(value);
}

// Asks for the switch-off; a refusal replaces the countdown message, so that the strip says why the computer
// is still on.
void SwitchOff() {
    g_state.switchOffRequested = true;
    if (!g_port.requestPowerOff)
        return;
    const SwitchOffResult result = g_port.requestPowerOff();
    if (!result.accepted)
        Tell(g_port.writeCountdownMessage, SwitchOffFailedMessage(result, g_port.fitsStrip));
}

}  // namespace

void SetPort(Port port) {
    g_port = std::move(port);
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
    return ConcatTexts({kCountdownHead, IntegerToText(base::TruncateToInt32(hours)), kHoursUnit,
                        IntegerToText(base::TruncateToInt32(minutes)), kMinutesUnit,
                        IntegerToText(base::TruncateToInt32(seconds)), kSecondsUnit});
}

std::string SwitchOffFailedMessage(const SwitchOffResult& result,
                                   const std::function<bool(const std::string& line)>& fits) {
    std::string message = kSwitchOffFailed;
    if (result.error != 0) {
        const std::string code = std::to_string(result.error);
        const std::string labelled = ConcatTexts({message, "(", kErrorCode, " ", code, ")"});
        message = !fits || fits(labelled) ? labelled : ConcatTexts({message, "(", code, ")"});
    }
    const std::string reason = ShortenText(result.reason, fits);
    if (!reason.empty())
        message = ConcatTexts({message, "\r\n", reason});
    return message;
}

std::string ClockText(const DateTime& time) {
    return ConcatTexts({kClockPrefix, TwoDigits(TimePart(time, kTimePartHour)), ":",
                        TwoDigits(TimePart(time, kTimePartMinute)), ":", TwoDigits(TimePart(time, kTimePartSecond))});
}

void OnTimeEntryFocus() {
    std::string content = ReadEntry();
    if (CompareText(content, TIME_PROMPT) == 0 || CompareText(content, FORMAT_ERROR_TEXT) == 0)
        Tell(g_port.writeEntry, std::string());
    content = ReadEntry();
    if (CompareText(content, PAST_TIME_TEXT) == 0)
        Tell(g_port.writeEntry, std::string());
}

void OnStartClicked() {
    // "22：30：00", typed with an input method's punctuation, is taken as "22:30:00".
    const std::vector<std::string> pieces = SplitText(FoldFullWidth(ReadEntry()), ":");
    // Every press withdraws a stop that no tick has consumed yet, even when the entry is then rejected.
    g_state.stopRequested = 0;
    if (pieces.size() != 3) {
        Tell(g_port.writeEntry, FORMAT_ERROR_TEXT);
        return;
    }
    const int32_t hour = TextToInteger(pieces[0]);
    const int32_t minute = TextToInteger(pieces[1]);
    const int32_t second = TextToInteger(pieces[2]);
    // A target the countdown can never reach would claim a switch-off that never comes.
    if (hour * 3600.0 + minute * 60.0 + second > kLastTargetSeconds) {
        Tell(g_port.writeEntry, FORMAT_ERROR_TEXT);
        return;
    }
    g_state.targetHour = hour;
    g_state.targetMinute = minute;
    g_state.targetSecond = second;
    // A new target is a new countdown: the late-tick allowance must not carry over from the old one.
    g_state.countingDown = false;
    g_state.switchOffRequested = false;
    Tell(g_port.armCountdown, true);
    Tell(g_port.showStrip, true);
}

void OnClockTimer() {
    Tell(g_port.writeClock, ClockText(Now()));
}

void OnCountdownTimer() {
    const DateTime now = Now();
    const double target = g_state.targetHour * 3600.0 + g_state.targetMinute * 60.0 + g_state.targetSecond;
    const double timeOfDay =
        TimePart(now, kTimePartHour) * 3600.0 + TimePart(now, kTimePartMinute) * 60.0 + TimePart(now, kTimePartSecond);
    // Targets are stored unchecked, so the difference can lie far outside 32 bits.
    g_state.secondsLeft = base::TruncateToInt32(target - timeOfDay);

    if (g_state.stopRequested == 1 || g_state.switchOffRequested) {
        Reset();
        return;
    }
    if (g_state.secondsLeft <= 0) {
        // The tick that would have seen one second left was skipped (the clock moved two seconds or more
        // between ticks): switch off now, a little late, rather than not at all. A target that was past at
        // the first tick, or long past (after the machine slept or the clock was set), only ends the countdown.
        if (g_state.countingDown && g_state.secondsLeft >= -kLateTickGraceSeconds) {
            Tell(g_port.writeCountdownMessage, CountdownMessage(0));
            SwitchOff();
            Reset();
        } else {
            EndPastTarget();
        }
        return;
    }
    g_state.secondsLeft -= 1;
    Tell(g_port.writeCountdownMessage, CountdownMessage(g_state.secondsLeft));
    g_state.countingDown = g_state.secondsLeft >= 1;
    if (g_state.secondsLeft == 0)
        SwitchOff();  // the next tick finds no time left and resets
}

void OnClockChanged() {
    OnClockTimer();
    if (g_state.targetHour != 0 || g_state.targetMinute != 0 || g_state.targetSecond != 0)
        OnCountdownTimer();
}

void OnStopClicked() {
    g_state.stopRequested = 1;
    Tell(g_port.showStrip, false);
}

}  // namespace scheduler
