// The running program told that the clock changed (a time change, a resume from sleep) reads the time at once,
// in the handling of that one message, and only MainWindow answers it. No message is dispatched between, as
// after a sleep, when the program's timers have not run since the clock moved on.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program_in_process.h"
#include "scheduler/awake.h"

namespace {

using namespace app::ids;
using app::ControlKind;
using app::GetControlProperty;
using app::kEditContent;
using testsupport::ProgramControl;
using testsupport::ProgramWindow;

HWND g_clock = nullptr;
int g_clockWrites = 0;

LRESULT CALLBACK CountClockWrites(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->hwnd == g_clock)
        ++g_clockWrites;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Text(app::WindowId window, app::ControlId control) {
    return GetControlProperty(window, control, kEditContent).text;
}

std::string ClockNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return scheduler::ClockText({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

BOOL CALLBACK SendToWindow(HWND hwnd, LPARAM message) {
    const auto* m = reinterpret_cast<const MSG*>(message);
    SendMessageA(hwnd, m->message, m->wParam, m->lParam);
    return TRUE;
}

class ProgramClockChange : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testsupport::StartProgramInProcess(), nullptr);
        g_clock = ProgramControl(kMainWindow, kClockEdit, ControlKind::EditBox);
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, CountClockWrites, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook_);
        testsupport::StopProgramInProcess();
    }
    HHOOK hook_ = nullptr;
};

TEST_F(ProgramClockChange, AResumeOrATimeChangeShowsTheTimeAtOnceAndOnlyMainWindowAnswersIt) {
    enum To { Main, Strip, Panel, Every };
    const struct {
        UINT message;
        WPARAM event;
        To to;
        int writes;  // of the clock, each with the time as it is
    } cases[] = {
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, Main, 1},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, Main, 1},
        {WM_TIMECHANGE, 0, Main, 1},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, Every, 1},  // a broadcast reaches every top-level window
        {WM_TIMECHANGE, 0, Every, 1},
        {WM_POWERBROADCAST, PBT_APMSUSPEND, Main, 0},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, Strip, 0},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, Panel, 0},
    };
    // A countdown ten minutes ahead, or until midnight, the latest target; too close to midnight, the next day's.
    SYSTEMTIME now{};
    for (GetLocalTime(&now); now.wHour == 23 && now.wMinute == 59; GetLocalTime(&now))
        testsupport::PumpMessages(500);
    const int ahead = std::min(now.wHour * 3600 + now.wMinute * 60 + now.wSecond + 600, 24 * 3600);
    char target[16];
    wsprintfA(target, "%02d:%02d:%02d", ahead / 3600, ahead / 60 % 60, ahead % 60);
    app::SetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent, target);
    scheduler::OnStartClicked();
    testsupport::PumpMessages(1500);
    ASSERT_FALSE(Text(kCountdownWindow, kCountdownText).empty()) << "the countdown is not counting";

    for (const auto& c : cases) {
        const std::string clock = Text(kMainWindow, kClockEdit);
        const std::string strip = Text(kCountdownWindow, kCountdownText);
        // The clock moves on while nothing is dispatched.
        const DWORD start = GetTickCount();
        while (ClockNow() == clock && GetTickCount() - start < 3000)
            Sleep(10);
        ASSERT_NE(ClockNow(), clock);

        g_clockWrites = 0;
        MSG message{};
        message.message = c.message;
        message.wParam = c.event;
        const std::string before = ClockNow();
        if (c.to == Every)
            EnumThreadWindows(GetCurrentThreadId(), SendToWindow, reinterpret_cast<LPARAM>(&message));
        else
            SendMessageA(ProgramWindow(c.to == Main    ? kMainWindow
                                       : c.to == Strip ? kCountdownWindow
                                                       : kWebPanelWindow),
                         c.message, c.event, 0);
        const std::string after = ClockNow();

        SCOPED_TRACE(testing::Message() << "message " << c.message << " event " << c.event << " to " << c.to);
        EXPECT_EQ(g_clockWrites, c.writes);
        const std::string shown = Text(kMainWindow, kClockEdit);
        if (c.writes == 0) {
            EXPECT_EQ(shown, clock);
            EXPECT_EQ(Text(kCountdownWindow, kCountdownText), strip);
            continue;
        }
        EXPECT_TRUE(shown == before || shown == after) << shown << " at " << before;
        EXPECT_NE(Text(kCountdownWindow, kCountdownText), strip) << "the countdown still shows the time before";
        EXPECT_EQ(Text(kCountdownWindow, kCountdownText),
                  scheduler::CountdownMessage(scheduler::CurrentState().secondsLeft));
    }
}

// The run can end during a countdown (the close button, a fatal error): nothing stays held behind it.
TEST(ProgramEndOfRun, ReleasesWhatACountdownHeld) {
    ASSERT_NE(testsupport::StartProgramInProcess(), nullptr);
    scheduler::HoldAwake(scheduler::kWakeLeadSeconds + 3600 + time(nullptr), "22:30:00");
    ASSERT_TRUE(scheduler::CurrentAwakeHold().executionState || scheduler::CurrentAwakeHold().request);
    ASSERT_NE(scheduler::CurrentAwakeHold().wakeTimer, nullptr);
    testsupport::StopProgramInProcess();
    EXPECT_FALSE(scheduler::CurrentAwakeHold().executionState || scheduler::CurrentAwakeHold().request);
    EXPECT_EQ(scheduler::CurrentAwakeHold().wakeTimer, nullptr);
}

}  // namespace
