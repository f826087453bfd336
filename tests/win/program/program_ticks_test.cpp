// The running program's wake-ups, counted in its own message loop: once a second idle (the clock), twice
// counting down (the clock and the countdown, wherever the focus was put), just after the start of each
// second, and never a paint of a child the system does not show.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "program_in_process.h"
#include "skin/compositor/face.h"
#include "skin/compositor/look.h"

namespace {

using namespace app::ids;
using app::ControlKind;
using app::GetControlProperty;
using app::kEditContent;
using testsupport::ProgramControl;

struct Write {
    int msIntoSecond;
    int secondNow;  // the local time's second when the text was written
    std::string text;
};

// What is written into the clock and the strip, and when, seen as the text reaches the box.
std::map<HWND, std::vector<Write>> g_writes;

LRESULT CALLBACK RecordWrites(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT) {
        auto found = g_writes.find(call->hwnd);
        if (found != g_writes.end()) {
            SYSTEMTIME now{};
            GetLocalTime(&now);
            found->second.push_back({now.wMilliseconds, now.wSecond, reinterpret_cast<const char*>(call->lParam)});
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Taken {
    int messages = 0;
    int paints = 0;
    std::map<HWND, int> timers;
};

// The program's loop for `ms` milliseconds, counting what it takes.
Taken RunLoop(DWORD ms) {
    Taken taken;
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++taken.messages;
            if (msg.message == WM_PAINT)
                ++taken.paints;
            if (msg.message == WM_TIMER)
                ++taken.timers[msg.hwnd];

            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return taken;
}

int SecondOfClockText(const std::string& text) {
    return text.size() >= 2 ? std::stoi(text.substr(text.size() - 2)) : -1;
}

// Each write comes within 50 ms after the start of a second and shows that second, one second after the last.
// The strip's write follows the clock's, whose composition it waits for: under emulation, where that work takes
// about five times as long, the same behaviour lands up to five times later, so the bound is scaled with the
// build's time factor (50 ms natively, 250 ms under emulation: still the first quarter of the second, far from
// a tick that slips into the next one). The latest write of each run is printed.
void ExpectOnTheSecond(const std::vector<Write>& writes, bool clock) {
    ASSERT_GE(writes.size(), 2u);
    int latest = 0;
    for (const Write& w : writes)
        latest = std::max(latest, w.msIntoSecond);
    std::printf("%s: %zu writes, the latest %d ms into its second\n", clock ? "clock" : "strip", writes.size(), latest);
    for (size_t i = 0; i < writes.size(); ++i) {
        const Write& w = writes[i];
        EXPECT_LT(static_cast<DWORD>(w.msIntoSecond), testsupport::Scaled(50)) << "write " << i << ": " << w.text;
        if (clock) {
            EXPECT_EQ(SecondOfClockText(w.text), w.secondNow) << w.text;
        }
        if (i == 0)
            continue;
        EXPECT_EQ(w.secondNow, (writes[i - 1].secondNow + 1) % 60) << "a second shown twice or skipped";
        EXPECT_NE(w.text, writes[i - 1].text);
    }
}

class ProgramTicks : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testsupport::StartProgramInProcess(), nullptr);
        clock_ = ProgramControl(kMainWindow, kClockEdit, ControlKind::EditBox);
        strip_ = ProgramControl(kCountdownWindow, kCountdownText, ControlKind::EditBox);
        g_writes = {{clock_, {}}, {strip_, {}}};
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, RecordWrites, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook_);
        testsupport::StopProgramInProcess();
    }
    HWND clock_ = nullptr, strip_ = nullptr;
    HHOOK hook_ = nullptr;
};

TEST_F(ProgramTicks, IdleTheClockAloneWakesTheLoopOnceASecondOnTheSecondAndNothingPaints) {
    EXPECT_EQ(GetControlProperty(kCountdownWindow, kCountdownText, kEditContent).text, "")
        << "the strip shows the empty holder from the start";
    RunLoop(2000);  // the start-up's own messages (the web panel's paints), the clock's first tick
    g_writes[clock_].clear();
    const Taken taken = RunLoop(3000);
    EXPECT_LE(taken.messages, 4) << "paints " << taken.paints << ", timer windows " << taken.timers.size();
    EXPECT_EQ(taken.paints, 0);
    ASSERT_EQ(taken.timers.size(), 1u) << "the clock's timer alone";
    EXPECT_GE(taken.timers.begin()->second, 2);
    ExpectOnTheSecond(g_writes[clock_], true);
    EXPECT_TRUE(g_writes[strip_].empty());
    // The second drew the clock's text box alone, though the entry field's box overlaps it by two rows.
    HWND main = testsupport::ProgramWindow(kMainWindow);
    skin::IntRect clockBox;
    ASSERT_TRUE(skin::ChildBoxInParent(main, clock_, clockBox));
    EXPECT_EQ(skin::FindFace(main)->lastArea, skin::FaceExtent(clockBox));
}

TEST_F(ProgramTicks, CountingDownTheClockAndTheStripChangeTogetherOnTheSecondAndNothingPaints) {
    // A target an hour ahead (at most the day's end, 24:00:00), started half-way through a second.
    SYSTEMTIME now{};
    for (GetLocalTime(&now); now.wMilliseconds < 400 || now.wMilliseconds > 600; GetLocalTime(&now))
        RunLoop(10);
    char target[16];
    const int ahead = std::min(now.wHour * 3600 + now.wMinute * 60 + now.wSecond + 3600, 86400);
    wsprintfA(target, "%02d:%02d:%02d", ahead / 3600, ahead / 60 % 60, ahead % 60);
    app::SetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent, target);
    scheduler::OnStartClicked();
    // The focus given to the unseen holder of the message, as a click at its place once gave it: no system
    // caret wakes the loop.
    SetFocus(ProgramControl(kMainWindow, kCountdownTextHolder, ControlKind::EditBox));
    RunLoop(1200);
    g_writes[clock_].clear();
    g_writes[strip_].clear();
    const Taken taken = RunLoop(3000);
    EXPECT_LE(taken.messages, 7) << "paints " << taken.paints << ", timer windows " << taken.timers.size();
    EXPECT_EQ(taken.paints, 0);
    EXPECT_EQ(taken.timers.size(), 2u) << "the clock's and the countdown's timers alone";
    ExpectOnTheSecond(g_writes[clock_], true);
    ExpectOnTheSecond(g_writes[strip_], false);
    EXPECT_EQ(GetControlProperty(kCountdownWindow, kCountdownText, kEditContent).text,
              GetControlProperty(kMainWindow, kCountdownTextHolder, kEditContent).text);
    EXPECT_EQ(GetControlProperty(kCountdownWindow, kCountdownText, kEditContent).text,
              scheduler::CountdownMessage(scheduler::CurrentState().secondsLeft));
}

}  // namespace
