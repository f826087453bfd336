// Whole countdowns driven through the scheduler's port, with a fake clock and a fake port that records what
// the scheduler tells the windows.
#include "scheduler/scheduler.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace scheduler {
namespace {

// The countdown message spelled out byte by byte, independently of CountdownMessage.
std::string Message(const char* hms) {
    return std::string("\xC0\xEB\xB9\xD8\xBB\xFA\xBB\xB9\xD3\xD0\r\n") + hms;
}
const std::string kZeroLeft = Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:0\xC3\xEB");  // 0小时:0分钟:0秒

class Scheduler : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearState();
        SetPort(FakePort());
        // As the windows are created: the prompt in the entry, the strip shown, no countdown.
        entry_ = TIME_PROMPT;
    }

    Port FakePort() {
        Port port;
        port.readEntry = [this] { return entry_; };
        port.writeEntry = [this](const std::string& text) { Record(), entry_ = text; };
        port.writeClock = [this](const std::string& text) { Record(), clockText_ = text; };
        port.writeCountdownMessage = [this](const std::string& text) { Record(), messages_.push_back(text); };
        port.armCountdown = [this](bool armed) { Record(), countdownArmed_ = armed; };
        port.showStrip = [this](bool shown) { Record(), stripShown_ = shown; };
        port.currentTime = [this] { return clock_; };
        port.requestPowerOff = [this] {
            Record();
            requests_.push_back(LastMessage());
            return answer_;
        };
        // A strip font with 12-pixel Chinese characters and 6-pixel ASCII ones.
        port.fitsStrip = [this](const std::string& line) {
            int width = 0;
            for (size_t i = 0; i < line.size(); ++i)
                width += static_cast<unsigned char>(line[i]) >= 0x80 ? (++i, 12) : 6;
            return width <= stripRoom_;
        };
        port.holdAwake = [this](int64_t moment, const std::string& text) {
            Record();
            awake_.push_back({moment, text});
        };
        port.releaseAwake = [this] { Record(), awake_.push_back({-1, "released"}); };
        return port;
    }

    // From here on the clock is a moment in a zone: the local time is the zone's reading of `moment_`.
    void UseZone(ZoneRule zone) {
        zone_ = std::move(zone);
        Port port = FakePort();
        port.currentSeconds = [this] { return moment_; };
        port.localTimeAt = [this](int64_t moment) { return zone_(moment); };
        port.currentTime = [this] { return zone_(moment_); };
        SetPort(std::move(port));
    }
    void TickAtMoment(int64_t moment) {
        moment_ = moment;
        OnCountdownTimer();
    }

    void TearDown() override {
        SetPort({});
        ClearState();
    }

    void Record() { ++portCalls_; }
    void At(int h, int m, int s) {
        clock_.hour = h;
        clock_.minute = m;
        clock_.second = s;
    }
    void TickAt(int h, int m, int s) {
        At(h, m, s);
        OnCountdownTimer();
    }
    void Start(const std::string& entry) {
        entry_ = entry;
        OnStartClicked();
    }
    // Runs the countdown timer once a second from h:m:s (inclusive) for `seconds` ticks, across midnight into
    // the next day.
    void TickEverySecondFrom(int h, int m, int s, int seconds) {
        const int64_t start = CalendarSeconds(clock_) - (clock_.hour * 3600 + clock_.minute * 60 + clock_.second);
        for (int i = 0; i < seconds; ++i) {
            clock_ = FromCalendarSeconds(start + h * 3600 + m * 60 + s + i);
            OnCountdownTimer();
        }
    }
    void NextDayAt(int h, int m, int s) {
        clock_ = FromCalendarSeconds(CalendarSeconds(clock_) + 86400);
        At(h, m, s);
    }
    bool AwakeHeld() const { return !awake_.empty() && awake_.back().moment >= 0; }

    const std::string& Entry() const { return entry_; }
    std::string LastMessage() const { return messages_.empty() ? std::string() : messages_.back(); }
    bool CountdownArmed() const { return countdownArmed_; }
    bool StripShown() const { return stripShown_; }
    bool IsIdleAfterReset(const std::string& entry = TIME_PROMPT) const {
        const State& s = CurrentState();
        return !CountdownArmed() && Entry() == entry && s.targetHour == 0 && s.targetMinute == 0 &&
               s.targetSecond == 0 && s.secondsLeft == 0 && s.stopRequested == 0;
    }
    // A countdown that ended without a switch-off: the entry says the time is past, and nothing on show
    // claims time is left.
    bool EndedAsPast() const {
        return IsIdleAfterReset(PAST_TIME_TEXT) && !StripShown() && LastMessage().empty() && requests_.empty();
    }

    std::string entry_;
    std::string clockText_;
    std::vector<std::string> messages_;
    bool countdownArmed_ = false;
    bool stripShown_ = true;
    std::vector<std::string> requests_;  // the countdown message on show at each switch-off request
    SwitchOffResult answer_{true, 0, {}};
    int portCalls_ = 0;
    int stripRoom_ = 1000;
    DateTime clock_;
    struct AwakeCall {
        int64_t moment;  // -1: released
        std::string text;
        bool operator==(const AwakeCall&) const = default;
    };
    std::vector<AwakeCall> awake_;
    ZoneRule zone_;
    int64_t moment_ = 0;
};

TEST_F(Scheduler, FocusClearsThePromptAndTheFormatError) {
    OnTimeEntryFocus();
    EXPECT_EQ(Entry(), "");
    entry_ = FORMAT_ERROR_TEXT;
    OnTimeEntryFocus();
    EXPECT_EQ(Entry(), "");
}

TEST_F(Scheduler, FocusClearsThePastTimeTextThatOnlyTheUserCanPutThere) {
    entry_ = PAST_TIME_TEXT;
    OnTimeEntryFocus();
    EXPECT_EQ(Entry(), "");
}

TEST_F(Scheduler, FocusLeavesATypedTimeAndOtherTexts) {
    for (const std::string& typed : {std::string("12:00:00"), std::string("abc"), std::string(TIME_PROMPT) + " "}) {
        entry_ = typed;
        OnTimeEntryFocus();
        EXPECT_EQ(Entry(), typed);
    }
}

TEST_F(Scheduler, ValidStartStoresTargetArmsTimerAndShowsCountdownWindow) {
    stripShown_ = false;
    Start("8:5:0");
    EXPECT_EQ(CurrentState().targetHour, 8);
    EXPECT_EQ(CurrentState().targetMinute, 5);
    EXPECT_EQ(CurrentState().targetSecond, 0);
    EXPECT_TRUE(CountdownArmed());
    EXPECT_TRUE(StripShown());
    EXPECT_EQ(Entry(), "8:5:0");  // what the user typed stays
}

TEST_F(Scheduler, FullWidthDigitsAndColonsLeadingBlankAndTrailingColonAreAccepted) {
    Start("\xA3\xB2\xA3\xB2:\xA3\xB3\xA3\xB0:\xA3\xB1\xA3\xB5");  // ２２:３０:１５
    EXPECT_EQ(CurrentState().targetHour, 22);
    EXPECT_EQ(CurrentState().targetMinute, 30);
    EXPECT_EQ(CurrentState().targetSecond, 15);
    for (const char* entry : {"21\xA3\xBA"
                              "40\xA3\xBA"
                              "05",  // 21：40：05
                              "21:40\xA3\xBA"
                              "05"}) {
        ClearState();
        Start(entry);
        EXPECT_EQ(CurrentState().targetHour, 21) << entry;
        EXPECT_EQ(CurrentState().targetMinute, 40) << entry;
        EXPECT_EQ(CurrentState().targetSecond, 5) << entry;
        EXPECT_EQ(Entry(), entry);  // what the user typed stays
    }
    Start(" 7:08:09");
    EXPECT_EQ(CurrentState().targetHour, 7);
    Start("12:30:00:");
    EXPECT_EQ(CurrentState().targetHour, 12);
    EXPECT_EQ(CurrentState().targetMinute, 30);
    EXPECT_TRUE(CountdownArmed());
}

TEST_F(Scheduler, PartsOutsideTheirRangeAreStoredUnchangedWhileTheTotalIsWithinTheDay) {
    Start("-3:99:25");
    EXPECT_EQ(CurrentState().targetHour, -3);
    EXPECT_EQ(CurrentState().targetMinute, 99);
    EXPECT_EQ(CurrentState().targetSecond, 25);
    Start("0:0:86400");  // 24:00:00 in seconds
    EXPECT_EQ(CurrentState().targetSecond, 86400);
    EXPECT_TRUE(CountdownArmed());
}

// A total beyond 24:00:00 is never reached (the time of day falls back to 0 at midnight): refused as a format
// error, and a countdown already running goes on.
TEST_F(Scheduler, ATargetBeyondTheEndOfTheDayIsRefusedAndNothingStarts) {
    for (const char* entry : {"25:00:00", "23:75:00", "24:00:01", "0:0:86401", "0:1441:0", "99999999999:00:00"}) {
        ClearState();
        countdownArmed_ = false;
        stripShown_ = false;
        Start(entry);
        EXPECT_EQ(Entry(), FORMAT_ERROR_TEXT) << entry;
        EXPECT_FALSE(CountdownArmed()) << entry;
        EXPECT_FALSE(StripShown()) << entry;
        EXPECT_EQ(CurrentState().targetHour, 0) << entry;
    }
    At(10, 0, 0);
    Start("10:00:10");
    Start("25:00:00");
    TickAt(10, 0, 1);
    EXPECT_EQ(LastMessage(), Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:8\xC3\xEB"));
}

TEST_F(Scheduler, WrongNumberOfPiecesShowsFormatErrorAndArmsNothing) {
    const std::string twoFullWidthPieces =
        "12\xA3\xBA"
        "30";  // 12：30
    for (const std::string& entry : {std::string("12:30"), std::string("12:30:00:15"), std::string(""),
                                     std::string("123000"), twoFullWidthPieces}) {
        Start(entry);
        EXPECT_EQ(Entry(), FORMAT_ERROR_TEXT) << entry;
        EXPECT_FALSE(CountdownArmed()) << entry;
        EXPECT_EQ(CurrentState().targetHour, 0) << entry;
    }
}

TEST_F(Scheduler, LettersArmACountdownToMidnightThatTheFirstTickEndsAsPast) {
    At(9, 0, 0);
    Start("ab:cd:ef");
    EXPECT_TRUE(CountdownArmed());
    TickAt(9, 0, 1);
    EXPECT_TRUE(EndedAsPast());
}

TEST_F(Scheduler, FiveSecondsAheadCountsDownAndRequestsOneSecondBeforeTheTarget) {
    At(10, 0, 0);
    Start("10:00:05");
    TickAt(10, 0, 1);
    TickAt(10, 0, 2);
    TickAt(10, 0, 3);
    EXPECT_TRUE(requests_.empty());
    TickAt(10, 0, 4);
    EXPECT_EQ(messages_,
              (std::vector<std::string>{Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:4\xC3\xEB"),  // at the start
                                        Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:3\xC3\xEB"),
                                        Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:2\xC3\xEB"),
                                        Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:1\xC3\xEB"), kZeroLeft}));
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0], kZeroLeft);  // the message is written before the request
    EXPECT_TRUE(CountdownArmed());       // still running after the request

    TickAt(10, 0, 5);
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(IsIdleAfterReset());
    EXPECT_EQ(LastMessage(), kZeroLeft);  // the last message stays on show
    EXPECT_TRUE(StripShown());
}

// A refused switch-off is said in the strip, with the system's code and reason; the countdown ends as usual
// and the refusal stays on show.
TEST_F(Scheduler, RefusedSwitchOffIsShownInPlaceOfTheLastMessage) {
    const std::string failed = "\xB9\xD8\xBB\xFA\xCA\xA7\xB0\xDC";  // 关机失败
    answer_ = {false, 1314, "A required privilege is not held by the client"};
    At(10, 0, 0);
    Start("10:00:02");
    TickAt(10, 0, 1);
    ASSERT_EQ(requests_, std::vector<std::string>{kZeroLeft});
    EXPECT_EQ(LastMessage(), failed + "(\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB 1314)\r\n" + answer_.reason);
    TickAt(10, 0, 2);
    EXPECT_TRUE(IsIdleAfterReset());
    EXPECT_TRUE(StripShown());
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_EQ(messages_.size(), 3u);  // the start's, 0 seconds, the refusal, and nothing after it

    answer_ = {};  // refused without a code or a reason
    Start("10:00:04");
    TickAt(10, 0, 3);
    EXPECT_EQ(LastMessage(), failed);
}

// Only the strip's left 118 pixels of text room are on the screen: the code keeps every digit, the reason is
// shortened to what fits there.
TEST_F(Scheduler, ARefusalIsLaidOutWithinTheVisiblePartOfTheStrip) {
    const std::string failed = "\xB9\xD8\xBB\xFA\xCA\xA7\xB0\xDC";  // 关机失败
    // 并非所有被引用的特权或组都分配给呼叫方
    const std::string reason =
        "\xB2\xA2\xB7\xC7\xCB\xF9\xD3\xD0\xB1\xBB\xD2\xFD\xD3\xC3\xB5\xC4\xCC\xD8\xC8\xA8\xBB\xF2\xD7\xE9"
        "\xB6\xBC\xB7\xD6\xC5\xE4\xB8\xF8\xBA\xF4\xBD\xD0\xB7\xBD";
    struct Case {
        int room;
        SwitchOffResult answer;
        std::string shown;
    };
    const Case cases[] = {
        {1000, {false, 1300, reason}, failed + "(\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB 1300)\r\n" + reason},
        {118, {false, 1300, reason}, failed + "(1300)\r\n" + reason.substr(0, 16) + "\xA1\xAD"},
        {120, {false, 5, "Access is denied"}, failed + "(\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB 5)\r\nAccess is denied"},
        {70, {false, 5, "Access is denied"}, failed + "(5)\r\nAccess is\xA1\xAD"},
        {118, {false, 0, {}}, failed},
    };
    for (const Case& c : cases) {
        stripRoom_ = c.room;
        answer_ = c.answer;
        At(10, 0, 0);
        Start("10:00:02");
        TickAt(10, 0, 1);
        EXPECT_EQ(LastMessage(), c.shown) << c.room << " " << c.answer.error;
    }
}

TEST_F(Scheduler, ATickThatReadsTheLastSecondAgainEndsTheCountdownWithoutAskingAgain) {
    At(10, 0, 0);
    Start("10:00:02");
    TickAt(10, 0, 1);
    TickAt(10, 0, 1);  // the timer fired twice within one second of the clock
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(IsIdleAfterReset());
    EXPECT_EQ(LastMessage(), kZeroLeft);
}

TEST_F(Scheduler, MessageNumbersHaveNoLeadingZeros) {
    At(10, 0, 0);
    Start("11:02:06");  // 3726 s ahead, 3725 after the decrement
    TickAt(10, 0, 0);
    EXPECT_EQ(LastMessage(), Message("1\xD0\xA1\xCA\xB1:2\xB7\xD6\xD6\xD3:5\xC3\xEB"));  // 1小时:2分钟:5秒
    EXPECT_EQ(CurrentState().secondsLeft, 3725);
}

// The strip had shown an earlier countdown's last message: it is emptied and hidden, so it claims nothing.
TEST_F(Scheduler, TargetNowOrEarlierEndsAtTheFirstTickSayingTheTimeIsPast) {
    struct Case {
        int h, m, s;
        const char* entry;
    };
    for (const Case& c : {Case{10, 0, 0, "10:00:00"}, Case{10, 0, 0, "09:59:59"}, Case{10, 0, 0, "0:0:0"},
                          Case{0, 0, 0, "0:0:0"}, Case{12, 0, 0, "-99999999999:-99999999999:-99999999999"}}) {
        messages_ = {kZeroLeft};
        At(c.h, c.m, c.s);
        Start(c.entry);
        EXPECT_FALSE(StripShown()) << c.entry;  // nothing announced for a time already past
        EXPECT_EQ(LastMessage(), "") << c.entry;
        EXPECT_FALSE(AwakeHeld()) << c.entry;
        TickAt(c.h, c.m, c.s);
        EXPECT_TRUE(EndedAsPast()) << c.entry;
    }
}

TEST_F(Scheduler, StopHidesTheWindowAtOnceAndTheNextTickResets) {
    At(10, 0, 0);
    Start("11:00:00");
    TickAt(10, 0, 1);
    OnStopClicked();
    EXPECT_FALSE(StripShown());
    EXPECT_EQ(CurrentState().stopRequested, 1);
    EXPECT_TRUE(CountdownArmed());
    EXPECT_EQ(LastMessage(), "");  // a later start never shows this countdown's time
    TickAt(10, 0, 2);
    EXPECT_TRUE(IsIdleAfterReset());
    EXPECT_EQ(messages_.size(), 3u);  // the start's, the tick's and the emptied one
}

// Stop is final: only an accepted new target counts down again. A rejected one within the same second, or
// before any countdown, leaves the stop standing.
TEST_F(Scheduler, StopStandsUntilAnAcceptedStart) {
    OnStopClicked();
    Start("12:30");
    EXPECT_EQ(CurrentState().stopRequested, 1);

    At(10, 0, 0);
    Start("10:00:03");
    EXPECT_EQ(CurrentState().stopRequested, 0);
    TickAt(10, 0, 1);
    OnStopClicked();
    Start("10:00");
    EXPECT_EQ(Entry(), FORMAT_ERROR_TEXT);
    TickAt(10, 0, 2);
    EXPECT_TRUE(IsIdleAfterReset());
    TickAt(10, 0, 3);
    EXPECT_TRUE(requests_.empty());
    EXPECT_FALSE(StripShown());
}

TEST_F(Scheduler, MalformedStartDuringCountdownKeepsTheOldTarget) {
    At(10, 0, 0);
    Start("10:00:10");
    TickAt(10, 0, 1);
    Start("10:00:03:00");
    EXPECT_EQ(Entry(), FORMAT_ERROR_TEXT);
    TickAt(10, 0, 2);
    EXPECT_EQ(LastMessage(), Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:7\xC3\xEB"));
    EXPECT_TRUE(CountdownArmed());
}

TEST_F(Scheduler, ValidStartDuringCountdownReplacesTheTarget) {
    At(10, 0, 0);
    Start("12:00:00");
    TickAt(10, 0, 1);
    Start("10:00:09");
    TickAt(10, 0, 2);
    EXPECT_EQ(LastMessage(), Message("0\xD0\xA1\xCA\xB1:0\xB7\xD6\xD6\xD3:6\xC3\xEB"));
}

TEST_F(Scheduler, TwentyFourHundredIsReachedAtOneSecondBeforeMidnight) {
    At(23, 59, 50);
    Start("24:00:00");
    TickEverySecondFrom(23, 59, 50, 10);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0], kZeroLeft);
}

// The target is a moment of the day it was typed on: midnight does not turn it into tomorrow's.
TEST_F(Scheduler, TheTargetStaysOnTheDayItWasTypedOnAcrossMidnight) {
    At(23, 59, 50);
    Start("24:00:00");
    TickEverySecondFrom(23, 59, 50, 9);  // up to 23:59:58, one second left
    NextDayAt(0, 0, 0);                  // 23:59:59 never came
    OnCountdownTimer();
    ASSERT_EQ(requests_.size(), 1u) << "the late tick after midnight switches off";
    EXPECT_EQ(requests_[0], kZeroLeft);

    // Woken after midnight from a countdown of the evening before: long past, not due again tonight.
    requests_.clear();
    At(23, 0, 0);
    Start("23:30:00");
    TickAt(23, 0, 1);
    NextDayAt(0, 10, 0);
    OnClockChanged();
    EXPECT_TRUE(EndedAsPast());
}

// The machine is held awake from an accepted start to every end of the countdown, and told the moment of
// the switch-off and the target's time.
TEST_F(Scheduler, TheMachineIsHeldAwakeExactlyWhileACountdownRuns) {
    const auto held = [this](int h, int m, int s, const char* text) {
        return AwakeCall{
            CalendarSeconds(clock_) - (clock_.hour * 3600 + clock_.minute * 60 + clock_.second) + h * 3600 + m * 60 + s,
            text};
    };
    const AwakeCall released{-1, "released"};
    struct Case {
        const char* name;
        std::function<void()> end;
    };
    const Case ends[] = {
        {"stop", [] { OnStopClicked(); }},
        {"switch-off accepted", [this] { TickAt(10, 0, 4); }},
        {"switch-off refused",
         [this] {
             answer_ = {false, 5, {}}, TickAt(10, 0, 4);
         }},
        {"past after a sleep", [this] { TickAt(10, 0, 30); }},
    };
    for (const Case& c : ends) {
        ClearState();
        awake_.clear();
        answer_ = {true, 0, {}};
        At(10, 0, 0);
        Start("10:00:05");
        TickAt(10, 0, 1);
        ASSERT_EQ(awake_, std::vector<AwakeCall>{held(10, 0, 5, "10:00:05")}) << c.name;
        c.end();
        EXPECT_EQ(awake_, (std::vector<AwakeCall>{held(10, 0, 5, "10:00:05"), released})) << c.name;
        TickAt(10, 0, 40);
        EXPECT_EQ(awake_.size(), 2u) << c.name << ": released once";
    }

    ClearState();
    awake_.clear();
    At(22, 0, 0);
    Start("22:30:00");
    Start("0:0:86400");  // a new target moves the hold
    Start("9:00:00");    // and one already past ends it
    EXPECT_EQ(awake_, (std::vector<AwakeCall>{held(22, 30, 0, "22:30:00"), held(24, 0, 0, "24:00:00"), released}));
    Start("10:00");  // rejected: nothing held, nothing told
    EXPECT_EQ(awake_.size(), 3u);
}

TEST_F(Scheduler, AChangeOfTheClockShowsTheTimeAtOnce) {
    At(10, 0, 0);
    Start("11:00:00");
    At(10, 20, 0);  // resumed from sleep; the next tick is up to a second away
    OnClockChanged();
    EXPECT_EQ(clockText_, "Now-10:20:00");
    EXPECT_EQ(LastMessage(), Message("0\xD0\xA1\xCA\xB1:39\xB7\xD6\xD6\xD3:59\xC3\xEB"));
    EXPECT_EQ(awake_.size(), 2u) << "the wake timer is set again after a change of the clock";
    At(10, 59, 59);
    OnClockChanged();
    EXPECT_EQ(requests_.size(), 1u);
    TickAt(10, 59, 59);  // the regular tick of the same second asks no second time
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(IsIdleAfterReset());

    OnClockChanged();  // no countdown: only the clock
    EXPECT_TRUE(IsIdleAfterReset());
}

// A zone one hour ahead of UTC that moves to two hours at 01:00 UTC on 2026-03-29 and back at 01:00 UTC on
// 2026-10-25, as central Europe does.
DateTime CentralEurope(int64_t moment) {
    const int64_t springForward = CalendarSeconds({2026, 3, 29, 1, 0, 0});
    const int64_t fallBack = CalendarSeconds({2026, 10, 25, 1, 0, 0});
    return FromCalendarSeconds(moment + (moment >= springForward && moment < fallBack ? 7200 : 3600));
}

TEST(MomentOfLocalTime, FollowsTheRulesForTimesOnceTwiceAndNever) {
    const auto utc = [](int64_t moment) { return FromCalendarSeconds(moment); };
    struct Case {
        const char* name;
        DateTime local;
        int64_t expectedUtc;  // calendar seconds of the UTC reading
    };
    const Case cases[] = {
        {"winter", {2026, 1, 10, 22, 30, 0}, CalendarSeconds({2026, 1, 10, 21, 30, 0})},
        {"summer", {2026, 7, 10, 22, 30, 0}, CalendarSeconds({2026, 7, 10, 20, 30, 0})},
        {"skipped, reached at the skip", {2026, 3, 29, 2, 30, 0}, CalendarSeconds({2026, 3, 29, 1, 0, 0})},
        {"last before the skip", {2026, 3, 29, 1, 59, 59}, CalendarSeconds({2026, 3, 29, 0, 59, 59})},
        {"first after the skip", {2026, 3, 29, 3, 0, 0}, CalendarSeconds({2026, 3, 29, 1, 0, 0})},
        {"repeated, the first of the two", {2026, 10, 25, 2, 30, 0}, CalendarSeconds({2026, 10, 25, 0, 30, 0})},
        {"after the repeat", {2026, 10, 25, 3, 0, 0}, CalendarSeconds({2026, 10, 25, 2, 0, 0})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MomentOfLocalTime(CalendarSeconds(c.local), CentralEurope), c.expectedUtc) << c.name;
        EXPECT_EQ(MomentOfLocalTime(CalendarSeconds(c.local), utc), CalendarSeconds(c.local)) << c.name;
    }
}

TEST_F(Scheduler, ATargetInTheSkippedHourSwitchesOffWhenTheClockJumpsPastIt) {
    UseZone(CentralEurope);
    const int64_t skip = CalendarSeconds({2026, 3, 29, 1, 0, 0});
    moment_ = skip - 10;  // 01:59:50 local
    Start("02:30:00");
    EXPECT_TRUE(StripShown());
    for (int64_t t = skip - 9; t < skip; ++t)
        TickAtMoment(t);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(awake_.front().moment, skip);
}

// A new zone moves the target to that zone's wall clock: the typed time is what the user sees.
TEST_F(Scheduler, ANewTimeZoneMovesTheTargetToItsWallClock) {
    UseZone([](int64_t moment) { return FromCalendarSeconds(moment + 3600); });
    moment_ = CalendarSeconds({2026, 1, 10, 20, 0, 0});  // 21:00 local
    Start("22:00:00");
    TickAtMoment(moment_ + 1);
    EXPECT_EQ(CurrentState().secondsLeft, 3598);
    zone_ = [](int64_t moment) { return FromCalendarSeconds(moment + 3 * 3600); };  // now 23:00:01 local
    OnClockChanged();
    EXPECT_TRUE(EndedAsPast());

    UseZone([](int64_t moment) { return FromCalendarSeconds(moment + 3600); });
    moment_ = CalendarSeconds({2026, 1, 10, 20, 0, 0});
    Start("22:00:00");
    zone_ = [](int64_t moment) { return FromCalendarSeconds(moment); };  // now 20:00 local
    OnClockChanged();
    EXPECT_EQ(CurrentState().secondsLeft, 2 * 3600 - 1);
    EXPECT_EQ(awake_.back().moment, CalendarSeconds({2026, 1, 10, 22, 0, 0}));
}

TEST_F(Scheduler, ClockShowsTwoDigitPartsAtMidnightAndJustBefore) {
    At(0, 0, 0);
    OnClockTimer();
    EXPECT_EQ(clockText_, "Now-00:00:00");
    At(23, 59, 59);
    OnClockTimer();
    EXPECT_EQ(clockText_, "Now-23:59:59");
    At(9, 5, 7);
    OnClockTimer();
    EXPECT_EQ(clockText_, "Now-09:05:07");
}

TEST_F(Scheduler, SkippedLastSecondStillRequestsOnceThenResets) {
    At(10, 0, 0);
    Start("10:00:05");
    TickAt(10, 0, 2);
    TickAt(10, 0, 3);  // 1 s left after the decrement
    TickAt(10, 0, 5);  // 10:00:04 never came
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0], kZeroLeft);
    EXPECT_TRUE(IsIdleAfterReset());
    TickAt(10, 0, 6);
    EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(Scheduler, LateTickWithinFiveSecondsRequestsBeyondThatOnlyResets) {
    At(10, 0, 0);
    Start("10:00:05");
    TickAt(10, 0, 1);
    TickAt(10, 0, 10);  // five seconds past
    EXPECT_EQ(requests_.size(), 1u);

    requests_.clear();
    Start("10:00:15");
    TickAt(10, 0, 11);
    TickAt(10, 0, 21);  // six seconds past, as after a sleep or a clock set forward
    EXPECT_TRUE(EndedAsPast());
}

TEST_F(Scheduler, StopBeforeALateTickWins) {
    At(10, 0, 0);
    Start("10:00:05");
    TickAt(10, 0, 3);
    OnStopClicked();
    TickAt(10, 0, 5);
    EXPECT_TRUE(requests_.empty());
    EXPECT_TRUE(IsIdleAfterReset());
}

TEST_F(Scheduler, NewPastTargetAfterARunningCountdownDoesNotRequest) {
    At(10, 0, 0);
    Start("11:00:00");
    TickAt(10, 0, 1);
    Start("10:00:00");  // already past: a new countdown, not a late end of the old one
    TickAt(10, 0, 2);
    EXPECT_TRUE(EndedAsPast());
}

TEST_F(Scheduler, HandlersRunWithNoPortInstalled) {
    SetPort({});
    OnTimeEntryFocus();
    OnStartClicked();  // reads the empty text: a format error, told to no one
    OnClockTimer();
    OnStopClicked();
    EXPECT_EQ(CurrentState().stopRequested, 1);
    OnCountdownTimer();  // real clock; the stop resets
    EXPECT_EQ(CurrentState().stopRequested, 0);
    EXPECT_EQ(portCalls_, 0) << "the fake port was uninstalled and heard nothing";
}

}  // namespace
}  // namespace scheduler
