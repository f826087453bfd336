#include "scheduler/scheduler.h"

#include <cmath>
#include <optional>
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

// Without a zone in the port, local time is taken as UTC.
int64_t NowSeconds() {
    return g_port.currentSeconds ? g_port.currentSeconds() : CalendarSeconds(Now());
}

DateTime LocalTimeAt(int64_t moment) {
    return g_port.localTimeAt ? g_port.localTimeAt(moment) : FromCalendarSeconds(moment);
}

// The moment the target means in the system's time zone as it is now (read anew, so that a change of zone
// moves it to the new zone's wall clock).
int64_t TargetMoment() {
    const std::optional<int64_t> moment = MomentOfLocalTime(g_state.targetCalendar, LocalTimeAt);
    return moment ? *moment : g_state.targetCalendar - CalendarSeconds(Now()) + NowSeconds();
}

// The target's time of day as "HH:MM:SS" (24:00:00 for midnight at the end of the day).
// Two digits for the clock; the parts of a local time are never negative.
std::string TwoDigits(int32_t value) {
    return value < 10 ? ConcatTexts({"0", IntegerToText(value)}) : IntegerToText(value);
}

std::string TargetText(int32_t totalSeconds) {
    return ConcatTexts(
        {TwoDigits(totalSeconds / 3600), ":", TwoDigits(totalSeconds / 60 % 60), ":", TwoDigits(totalSeconds % 60)});
}

// The machine is kept awake for the switch-off at `moment`; told again only when the moment moves.
void HoldAwake(int64_t moment, bool always = false) {
    if (g_state.awakeHeld && g_state.heldMoment == moment && !always)
        return;
    g_state.awakeHeld = true;
    g_state.heldMoment = moment;
    Tell(g_port.holdAwake, moment, TargetText(g_state.targetTotal));
}

void ReleaseAwake() {
    if (!g_state.awakeHeld)
        return;
    g_state.awakeHeld = false;
    g_state.heldMoment = 0;
    Tell(g_port.releaseAwake);
}

// Ends the countdown; `entryText` goes into the entry field.
void Reset(const char* entryText = TIME_PROMPT) {
    g_state.secondsLeft = 0;
    g_state.targetHour = 0;
    g_state.targetMinute = 0;
    g_state.targetSecond = 0;
    g_state.targetCalendar = 0;
    g_state.targetTotal = 0;
    g_state.countdownArmed = false;
    g_state.countingDown = false;
    g_state.switchOffRequested = false;
    ReleaseAwake();
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

// Asks for the switch-off; a refusal replaces the countdown message, so that the strip says why the computer
// is still on.
void SwitchOff() {
    g_state.switchOffRequested = true;
    if (!g_port.requestPowerOff) {
        ReleaseAwake();
        return;
    }
    const SwitchOffResult result = g_port.requestPowerOff();
    // Asked for: whatever the answer, there is nothing more to stay awake for.
    ReleaseAwake();
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
    // A rejected entry changes nothing: a countdown that runs goes on, and a stop that was asked for stands.
    if (pieces.size() != 3) {
        Tell(g_port.writeEntry, FORMAT_ERROR_TEXT);
        return;
    }
    const int32_t hour = TextToInteger(pieces[0]);
    const int32_t minute = TextToInteger(pieces[1]);
    const int32_t second = TextToInteger(pieces[2]);
    const double total = hour * 3600.0 + minute * 60.0 + second;
    // A target the countdown can never reach would claim a switch-off that never comes.
    if (total > kLastTargetSeconds) {
        Tell(g_port.writeEntry, FORMAT_ERROR_TEXT);
        return;
    }
    g_state.stopRequested = 0;
    g_state.targetHour = hour;
    g_state.targetMinute = minute;
    g_state.targetSecond = second;
    // The target is today's date at that time, fixed now: a countdown that runs past midnight, or a machine
    // woken after it, still counts to this moment and not to the same time a day later. Any total before
    // today's start is as past as the start itself.
    const DateTime today = Now();
    const int64_t midnight = CalendarSeconds(today) - (int64_t{today.hour} * 3600 + today.minute * 60 + today.second);
    g_state.targetTotal = total < 0 ? -1 : static_cast<int32_t>(total);
    g_state.targetCalendar = midnight + g_state.targetTotal;
    // A new target is a new countdown: the late-tick allowance must not carry over from the old one.
    g_state.countdownArmed = true;
    g_state.countingDown = false;
    g_state.switchOffRequested = false;
    Tell(g_port.armCountdown, true);
    // The strip shows this countdown's time at once, never an earlier countdown's message. A target that the
    // first tick will find past is not announced at all, and nothing keeps the machine awake for it.
    const int64_t moment = TargetMoment();
    const int64_t left = moment - NowSeconds();
    if (left >= 2) {
        HoldAwake(moment);
        Tell(g_port.writeCountdownMessage, CountdownMessage(base::TruncateToInt32(static_cast<double>(left - 1))));
        Tell(g_port.showStrip, true);
    } else {
        ReleaseAwake();
        Tell(g_port.writeCountdownMessage, std::string());
        Tell(g_port.showStrip, false);
    }
}

void OnClockTimer() {
    Tell(g_port.writeClock, ClockText(Now()));
}

void OnCountdownTimer() {
    if (g_state.stopRequested == 1 || g_state.switchOffRequested || !g_state.countdownArmed) {
        Reset();
        return;
    }
    const int64_t moment = TargetMoment();
    g_state.secondsLeft = base::TruncateToInt32(static_cast<double>(moment - NowSeconds()));
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
    HoldAwake(moment);
    g_state.secondsLeft -= 1;
    Tell(g_port.writeCountdownMessage, CountdownMessage(g_state.secondsLeft));
    g_state.countingDown = g_state.secondsLeft >= 1;
    if (g_state.secondsLeft == 0)
        SwitchOff();  // the next tick finds no time left and resets
}

void OnClockChanged() {
    OnClockTimer();
    if (!g_state.countdownArmed)
        return;
    // The moment may have moved (a new time zone), and a wake timer set before a change of the clock is set
    // anew from the moment itself.
    if (g_state.awakeHeld)
        HoldAwake(TargetMoment(), true);
    OnCountdownTimer();
}

void OnStopClicked() {
    g_state.stopRequested = 1;
    ReleaseAwake();
    Tell(g_port.writeCountdownMessage, std::string());
    Tell(g_port.showStrip, false);
}

}  // namespace scheduler
