#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <new>
#include <string>

#include "app/controls.h"
#include "app/startup.h"
#include "base/fatal.h"
#include "gfx/sysapi.h"
#include "scheduler/scheduler.h"
#include "win_test_support.h"

namespace {

// The fatal box is shown by a child process; the parent finds it from outside, reads it and presses OK.
struct FatalBox {
    std::string caption;
    std::string text;
    DWORD exitCode = 0;
};

struct FindArgs {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindBox(HWND w, LPARAM lParam) {
    auto* args = reinterpret_cast<FindArgs*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == args->pid && std::string(cls) == "#32770" && IsWindowVisible(w)) {
        args->box = w;
        return FALSE;
    }
    return TRUE;
}

// `holdUntil`: the box is answered only once it says so (checked while the box stays up).
FatalBox RunChildUntilFatalBox(const char* child, const std::function<bool()>& holdUntil = {}) {
    FatalBox result;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --child " + child;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return result;
    FindArgs args = {pi.dwProcessId, nullptr};
    for (int i = 0; i < 300 && !args.box; ++i) {
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&args));
        if (!args.box)
            Sleep(100);
    }
    for (int i = 0; args.box && holdUntil && i < 600 && !holdUntil() && IsWindow(args.box); ++i)
        Sleep(50);
    if (args.box) {
        char buffer[1024] = {};
        GetWindowTextA(args.box, buffer, sizeof buffer);
        result.caption = buffer;
        GetDlgItemTextA(args.box, 0xFFFF, buffer, sizeof buffer);
        result.text = buffer;
        PostMessageA(args.box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 98);
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

testsupport::ChildRegistration missingStartWindow("missing-start-window", [](int, char**) {
    return app::StartUp(0x520000FF);  // no such window
});

// A size no process can get.
size_t Unobtainable() {
    volatile size_t size = static_cast<size_t>(PTRDIFF_MAX) - 4096;
    return size;
}

void FailedAllocation() {
    ::operator delete(::operator new(Unobtainable()));
}

testsupport::ChildRegistration failedAllocation("failed-allocation", [](int, char**) {
    FailedAllocation();
    return 0;
});

// The end of the run after the box fails again: that second failure must not show a second box.
testsupport::ChildRegistration failureWhileEnding("failure-while-ending", [](int, char**) {
    base::SetEndOfRunCleanup(FailedAllocation);
    FailedAllocation();
    return 0;
});

void CALLBACK FailOnce(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    base::FatalRunError("x");
}

// A countdown five seconds from now, then a failure: the switch-off, were it asked for under the box, ends the
// child with 77 before the box is answered.
testsupport::ChildRegistration failureDuringCountdown("failure-during-countdown", [](int, char**) {
    app::StartProgram({.requestPowerOff = [] {
        ExitProcess(77);
        return scheduler::SwitchOffResult{};
    }});
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const int target = (now.wHour * 3600 + now.wMinute * 60 + now.wSecond + 5) % 86400;
    const std::string entry =
        std::to_string(target / 3600) + ":" + std::to_string(target / 60 % 60) + ":" + std::to_string(target % 60);
    app::SetControlProperty(app::ids::kMainWindow, app::ids::kTimeEntryEdit, app::kEditContent, entry);
    scheduler::OnStartClicked();
    SetTimer(nullptr, 0, 10, FailOnce);
    return app::RunMessageLoop();
});

Gdiplus::Status WINAPI RefuseGraphics(ULONG_PTR*, const Gdiplus::GdiplusStartupInput*, Gdiplus::GdiplusStartupOutput*) {
    return Gdiplus::GdiplusNotInitialized;
}

// GDI+ refuses to start: no face could be drawn.
testsupport::ChildRegistration graphicsRefused("graphics-refused", [](int, char**) {
    sys::GdiplusStartup.bound().address = reinterpret_cast<void*>(RefuseGraphics);
    return app::StartUp();
});

TEST(FatalError, NothingTicksOrSwitchesOffWhileTheBoxIsUp) {
    const DWORD start = GetTickCount();
    FatalBox box = RunChildUntilFatalBox("failure-during-countdown", [start] {
        // Held until the target and a late tick's allowance have passed.
        return GetTickCount() - start > 8000;
    });
    EXPECT_EQ(box.text, "运行时出错!\r\n\r\n错误信息：x\r\n");
    EXPECT_EQ(box.exitCode, 0xFFFFFFFFu) << "77: the switch-off ran under the box";
}

TEST(FatalError, GraphicsThatCannotStartIsAFatalErrorWithItsStatus) {
    FatalBox box = RunChildUntilFatalBox("graphics-refused");
    EXPECT_EQ(box.text, "运行时出错!\r\n\r\n错误代码：18\r\n\r\n错误信息：启动 GDI+ 失败\r\n");
    EXPECT_EQ(box.exitCode, 0xFFFFFFFFu);
}

TEST(FatalError, StartWindowThatCannotBeLoadedShowsTheRunErrorBoxAndEndsWithMinusOne) {
    FatalBox box = RunChildUntilFatalBox("missing-start-window");
    EXPECT_EQ(box.caption, "错误");
    EXPECT_EQ(box.text, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(box.exitCode, 0xFFFFFFFFu);
}

TEST(FatalError, FailedAllocationNamesTheSizeAndEndsWithMinusOne) {
    FatalBox box = RunChildUntilFatalBox("failed-allocation");
    std::string size = std::to_string(Unobtainable());
    EXPECT_EQ(box.text, "运行时出错!\r\n\r\n错误信息：分配 " + size + " 字节内存失败!\r\n");
    EXPECT_EQ(box.exitCode, 0xFFFFFFFFu);
}

TEST(FatalError, FailureWhileTheRunEndsEndsAtOnceWithoutASecondBox) {
    FatalBox box = RunChildUntilFatalBox("failure-while-ending");
    EXPECT_EQ(box.text, "运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(Unobtainable()) + " 字节内存失败!\r\n");
    EXPECT_EQ(box.exitCode, 0xFFFFFFFFu);  // a second box, left unanswered, would end as 98
}

TEST(FatalError, NothrowAllocationsThatFailAnswerNull) {
    void* single = ::operator new(Unobtainable(), std::nothrow);
    char* array = new (std::nothrow) char[Unobtainable()];
    EXPECT_EQ(single, nullptr);
    EXPECT_EQ(array, nullptr);
    ::operator delete(single);
    delete[] array;
}

TEST(FatalError, TextCarriesTheCodeWhenOneIsKnown) {
    EXPECT_EQ(base::FatalRunErrorText("x", 5), "运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：x\r\n");
    EXPECT_EQ(base::FatalRunErrorText("", std::nullopt), "运行时出错!\r\n\r\n");
    // GBK at run time: 错误 is the two characters B4 ED CE F3.
    EXPECT_EQ(std::string("错误"), "\xB4\xED\xCE\xF3");
}

}  // namespace
