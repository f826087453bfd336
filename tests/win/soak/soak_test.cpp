// Long runs of the program's steady work in one process, on its real dressed windows: compositions of both
// layered windows, edit-box writes and timer changes, 10000 iterations each (OC_SOAK_ITERATIONS sets another
// number, for slow machines). The GDI objects, the handles and the private bytes are sampled across each run
// and must not grow on through its second half; a one-off step that then stays flat is no leak. A loop that
// leaks on purpose shows that the same check catches a steady leak. Each test prints its samples.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "program_in_process.h"
#include "scheduler/scheduler.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "win_test_support.h"

namespace {

using namespace app::ids;
using app::kEditContent;
using app::kTimerInterval;
using app::SetControlProperty;

constexpr int kPumpEvery = 50;  // let the timers and the caret blink run as they would
// Growth over the second half still taken for a step: a few objects. A leak of one object per 100 iterations
// adds 5 in the second half of the shortest run allowed, 50 in the default one.
constexpr double kGdiAllowance = 4;
constexpr double kHandleAllowance = 4;
// Private bytes of a steady run move in whole steps only: up by some pages while the heap first grows, down by
// about 1 MB when Wine returns a heap region, never up in both later quarters. A heap leak shows once it has
// filled the heap's free committed space (a few hundred KB): 64 bytes per iteration over the default run add
// about 320 KB in the second half, five times this allowance.
constexpr double kPrivateKBAllowance = 64;

// Open kernel handles: GetProcessHandleCount, or on Wine (which answers 0) the handle values that are valid.
DWORD KernelHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count)
        return count;
    for (uintptr_t h = 4; h < 0x10000; h += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) != 0;
    }
    return count;
}

// The run is sampled at its start and after each eighth; the first eighth is the warm-up (caches, the GDI+
// font and glyph caches, the heap's first growth).
constexpr int kCheckpoints = 8;

// A counter's readings over a run and the growth over the second half that is still taken for a step.
struct Series {
    const char* name;
    double allowance;
    double values[kCheckpoints + 1] = {};
};

// Growth that goes on: the count rises in at least three of the four eighths of the second half, by more than
// the allowance in all. A cache that fills once, however late, rises in one eighth; jitter around a level
// does not keep rising; a heap that gives memory back (Wine trims a heap some time after large blocks were
// freed, by a megabyte and more, in any eighth) only falls, and a fall is neither a rise nor a reason to miss
// one. A steady leak rises in every eighth, by an amount that grows with the iterations. (Judged by peaks
// against the first half's, a trim after the first eighth hid a leak of 640 KB.)
bool GrowsOn(const Series& s) {
    int risingEighths = 0;
    double risen = 0;
    for (int i = 4; i < 8; ++i) {
        const double step = s.values[i + 1] - s.values[i];
        if (step > 0) {
            ++risingEighths;
            risen += step;
        }
    }
    return risingEighths >= 3 && risen > s.allowance;
}

// OC_SOAK_ITERATIONS, or 10000; 0 when it is set to anything but a whole number from 1000 (the fewest that
// still show a leak of one object per 100 iterations in every eighth of the second half) to 10 million.
int SoakIterations() {
    char text[16] = {};
    const DWORD length = GetEnvironmentVariableA("OC_SOAK_ITERATIONS", text, sizeof text);
    if (length == 0)
        return 10000;
    char* end = nullptr;
    const long n = length < sizeof text ? std::strtol(text, &end, 10) : 0;
    return end && *end == '\0' && n >= 1000 && n <= 10'000'000 ? static_cast<int>(n) : 0;
}

struct SoakResult {
    Series gdi{"GDI objects", kGdiAllowance};
    Series handles{"handles", kHandleAllowance};
    Series privateKB{"private KB", kPrivateKBAllowance};
};

class LongRuns : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(SoakIterations(), 0) << "OC_SOAK_ITERATIONS must be a whole number from 1000 to 10000000";
        ASSERT_NE(testsupport::StartProgramInProcess(), nullptr);
        testsupport::PumpMessages(100);
    }
    void TearDown() override { testsupport::StopProgramInProcess(); }

    // Runs `step` for the set number of iterations, sampling the counters, and prints the samples.
    static SoakResult Soak(const char* name, const std::function<void(int)>& step) {
        SoakResult r;
        const int iterations = SoakIterations();
        auto sample = [&r](int k) {
            r.gdi.values[k] = testsupport::GdiObjectCount();
            r.handles.values[k] = KernelHandles();
            r.privateKB.values[k] = static_cast<double>(testsupport::PrivateBytes()) / 1024;
        };
        sample(0);
        const DWORD began = GetTickCount();
        for (int i = 0, k = 1; i < iterations; ++i) {
            step(i);
            if (i % kPumpEvery == kPumpEvery - 1)
                testsupport::PumpMessages(0);
            if (i + 1 == static_cast<long long>(iterations) * k / kCheckpoints)
                sample(k++);
        }
        std::printf("%s: %d x in %lu ms; at the start, then after each eighth\n", name, iterations,
                    GetTickCount() - began);
        for (const Series* s : {&r.gdi, &r.handles, &r.privateKB}) {
            std::printf("  %-11s", s->name);
            for (double v : s->values)
                std::printf(" %.0f", v);
            std::printf("  -> %s\n", GrowsOn(*s) ? "grows on" : "steady");
        }
        return r;
    }

    static void ExpectSteady(const SoakResult& r) {
        for (const Series* s : {&r.gdi, &r.handles, &r.privateKB})
            EXPECT_FALSE(GrowsOn(*s)) << s->name << " grow on through the second half";
    }
};

// The whole face drawn again, as a new face or a failure makes the next composition do.
void ComposeWhole(HWND window) {
    skin::MarkWholeFace(window);
    skin::ComposeWindow(window);
}

TEST_F(LongRuns, RepeatedMainWindowCompositionsLeakNothing) {
    HWND main = testsupport::ProgramWindow(kMainWindow);
    ExpectSteady(Soak("MainWindow 128x128 compositions", [main](int) { ComposeWhole(main); }));
}

TEST_F(LongRuns, RepeatedCountdownWindowCompositionsLeakNothing) {
    HWND countdown = testsupport::ProgramWindow(kCountdownWindow);
    SetControlProperty(kCountdownWindow, kCountdownText, kEditContent, scheduler::CountdownMessage(3723));
    ExpectSteady(Soak("CountdownWindow 295x56 compositions", [countdown](int) { ComposeWhole(countdown); }));
}

TEST_F(LongRuns, RepeatedEditBoxWritesLeakNothing) {
    // The clock display and the countdown text, as the ticks write them: each write recomposes its window.
    ExpectSteady(Soak("edit-box writes", [](int i) {
        scheduler::DateTime t;
        t.hour = i / 3600 % 24;
        t.minute = i / 60 % 60;
        t.second = i % 60;
        if (i % 2 == 0)
            SetControlProperty(kMainWindow, kClockEdit, kEditContent, scheduler::ClockText(t));
        else
            SetControlProperty(kCountdownWindow, kCountdownText, kEditContent, scheduler::CountdownMessage(i));
    }));
}

TEST_F(LongRuns, RepeatedTimerIntervalChangesLeakNothing) {
    // The clock timer: its handler only writes the clock, whatever the interval does.
    ExpectSteady(Soak("timer interval changes", [](int i) {
        static constexpr int32_t kIntervals[] = {1000, 0, 250, 1000, -1, 1};
        SetControlProperty(kMainWindow, kClockTimer, kTimerInterval, kIntervals[i % 6]);
    }));
    SetControlProperty(kMainWindow, kClockTimer, kTimerInterval, 1000);
}

// The other side of the check: compositions that keep one brush and one event per 100 iterations and one
// heap block per iteration (64 bytes in the default run; as much in all, 640 KB, in shorter runs) are judged
// to grow on, in each counter.
TEST_F(LongRuns, CheckJudgesASteadyLeakOfOneObjectPerHundredIterationsALeak) {
    HWND countdown = testsupport::ProgramWindow(kCountdownWindow);
    std::vector<HGDIOBJ> brushes;
    std::vector<HANDLE> events;
    std::vector<void*> blocks;
    blocks.reserve(SoakIterations());  // so that only the blocks add to the private bytes
    const SIZE_T blockSize = 640 * 1024 / SoakIterations();
    const SoakResult r = Soak("compositions leaking on purpose", [&](int i) {
        ComposeWhole(countdown);
        if (i % 100 == 99) {
            brushes.push_back(CreateSolidBrush(RGB(i % 256, 0, 0)));
            events.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        }
        blocks.push_back(HeapAlloc(GetProcessHeap(), 0, blockSize));
    });
    EXPECT_TRUE(GrowsOn(r.gdi));
    EXPECT_TRUE(GrowsOn(r.handles));
    EXPECT_TRUE(GrowsOn(r.privateKB));
    for (HGDIOBJ b : brushes)
        DeleteObject(b);
    for (HANDLE e : events)
        CloseHandle(e);
    for (void* b : blocks)
        HeapFree(GetProcessHeap(), 0, b);
}

}  // namespace
