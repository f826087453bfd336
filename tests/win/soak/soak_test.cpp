// Long runs of the program's steady work in one process, on its real dressed windows: compositions of both
// layered windows, edit-box writes and timer changes. After a warm-up of 500 iterations (caches, the GDI+
// font and glyph caches, the heap's first growth) the GDI objects, the handles and the private bytes must
// stay flat within 1 % to the end. Each test prints its figures.

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "app/controls.h"
#include "program_in_process.h"
#include "scheduler/scheduler.h"
#include "skin/compose.h"

namespace {

using namespace app::ids;
using app::kEditContent;
using app::kTimerInterval;
using app::SetControlProperty;

constexpr int kIterations = 10000;
constexpr int kWarmUp = 500;
constexpr int kPumpEvery = 50;  // let the timers and the caret blink run as they would

// Live GDI objects: GetGuiResources where the system answers it; Wine answers 0, so there the entries in use
// of its per-process GDI handle table (PEB GdiSharedHandleTable, entries of 24 bytes, type byte at 14).
DWORD GdiObjects() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return n;
#ifdef _WIN64
    constexpr size_t kTableOffset = 0xF8;
#else
    constexpr size_t kTableOffset = 0x94;
#endif
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return 0;
    const auto* peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const uint8_t* const*>(peb + kTableOffset);
    if (!table)
        return 0;
    DWORD count = 0;
    for (size_t i = 0; i < 0x10000; ++i)
        count += table[i * 24 + 14] != 0;
    return count;
}

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

// Private bytes; Wine reports PrivateUsage as 0 and keeps the same figure in PagefileUsage.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

struct Usage {
    DWORD gdi = 0;
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
};

Usage Measure() {
    return {GdiObjects(), KernelHandles(), PrivateBytes()};
}

unsigned long long KB(SIZE_T bytes) {
    return bytes / 1024;
}

bool WithinOnePercent(double base, double now) {
    return now <= base * 1.01;
}

class SoakTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testsupport::StartProgramInProcess(), nullptr);
        testsupport::PumpMessages(100);
    }
    void TearDown() override { testsupport::StopProgramInProcess(); }

    // Runs `step` kIterations times and checks the counters from the end of the warm-up to the end.
    void Soak(const char* name, const std::function<void(int)>& step) {
        const Usage start = Measure();
        Usage warm;
        Usage peak;
        const DWORD began = GetTickCount();
        for (int i = 0; i < kIterations; ++i) {
            step(i);
            if (i % kPumpEvery == kPumpEvery - 1)
                testsupport::PumpMessages(0);
            if (i == kWarmUp - 1)
                warm = peak = Measure();
            if (i >= kWarmUp && i % 1000 == 999) {
                const Usage now = Measure();
                peak = {std::max(peak.gdi, now.gdi), std::max(peak.handles, now.handles),
                        std::max(peak.privateBytes, now.privateBytes)};
            }
        }
        const DWORD elapsed = GetTickCount() - began;
        const Usage end = Measure();
        std::printf(
            "%-34s %5d x in %6lu ms | GDI objects %4lu -> %4lu (peak %4lu) -> %4lu | handles %4lu -> %4lu -> %4lu"
            " | private KB %7llu -> %7llu (peak %7llu) -> %7llu\n",
            name, kIterations, elapsed, start.gdi, warm.gdi, peak.gdi, end.gdi, start.handles, warm.handles,
            end.handles, KB(start.privateBytes), KB(warm.privateBytes), KB(peak.privateBytes), KB(end.privateBytes));
        EXPECT_TRUE(WithinOnePercent(warm.gdi, end.gdi)) << "GDI objects " << warm.gdi << " -> " << end.gdi;
        EXPECT_TRUE(WithinOnePercent(warm.handles, end.handles)) << "handles " << warm.handles << " -> " << end.handles;
        EXPECT_TRUE(WithinOnePercent(static_cast<double>(warm.privateBytes), static_cast<double>(end.privateBytes)))
            << "private bytes " << warm.privateBytes << " -> " << end.privateBytes;
    }
};

TEST_F(SoakTest, ComposingMainWindowTenThousandTimesLeaksNothing) {
    HWND main = testsupport::ProgramWindow(kMainWindow);
    Soak("MainWindow 128x128 compositions", [main](int) { skin::ComposeWindow(main); });
}

TEST_F(SoakTest, ComposingCountdownWindowTenThousandTimesLeaksNothing) {
    HWND countdown = testsupport::ProgramWindow(kCountdownWindow);
    SetControlProperty(kCountdownWindow, kCountdownText, kEditContent, scheduler::CountdownMessage(3723));
    Soak("CountdownWindow 295x56 compositions", [countdown](int) { skin::ComposeWindow(countdown); });
}

TEST_F(SoakTest, TenThousandEditBoxWritesLeakNothing) {
    // The clock display and the countdown text, as the ticks write them: each write recomposes its window.
    Soak("edit-box writes", [](int i) {
        scheduler::DateTime t;
        t.hour = i / 3600 % 24;
        t.minute = i / 60 % 60;
        t.second = i % 60;
        if (i % 2 == 0)
            SetControlProperty(kMainWindow, kClockEdit, kEditContent, scheduler::ClockText(t));
        else
            SetControlProperty(kCountdownWindow, kCountdownText, kEditContent, scheduler::CountdownMessage(i));
    });
}

TEST_F(SoakTest, TenThousandTimerIntervalChangesLeakNothing) {
    // The clock timer: its handler only writes the clock, whatever the interval does.
    Soak("timer interval changes", [](int i) {
        static constexpr int32_t kIntervals[] = {1000, 0, 250, 1000, -1, 1};
        SetControlProperty(kMainWindow, kClockTimer, kTimerInterval, kIntervals[i % 6]);
    });
    SetControlProperty(kMainWindow, kClockTimer, kTimerInterval, 1000);
}

}  // namespace
