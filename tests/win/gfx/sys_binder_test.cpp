// Binding of table entries: by name, by ordinal, through the standard libraries, and the fatal end of a
// run when a function cannot be found (in a child process, whose error box is read and closed from here).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "gfx/sys_binder.h"
#include "win_test_support.h"

namespace {

using TickFn = decltype(&::GetTickCount);

int CallMissing(const char* library, const char* function) {
    sys::Entry<TickFn> missing{library, function};
    missing();
    return 0;  // not reached: the fatal end exits with -1
}

testsupport::ChildRegistration missingInNamedLibrary("gfx-missing-named", [](int, char**) {
    return CallMissing("user32", "NoSuchFunctionXyz");
});
testsupport::ChildRegistration missingInStandardLibraries("gfx-missing-unnamed", [](int, char**) {
    return CallMissing("", "NoSuchFunctionXyz");
});
testsupport::ChildRegistration missingLibrary("gfx-missing-library", [](int, char**) {
    return CallMissing("NoSuchLibraryXyz.dll", "Anything");
});

struct FatalBox {
    bool found = false;
    std::string caption;
    std::string text;
};

struct BoxSearch {
    HWND box = nullptr;
};

BOOL CALLBACK FindForeignDialog(HWND window, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (std::strcmp(cls, "#32770") == 0 && pid != GetCurrentProcessId() && IsWindowVisible(window)) {
        reinterpret_cast<BoxSearch*>(param)->box = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for a message box of another process, reads its caption and text, and presses its OK button.
FatalBox ReadAndConfirmForeignBox(DWORD timeoutMs) {
    FatalBox result;
    BoxSearch search;
    const DWORD start = GetTickCount();
    while (!search.box && GetTickCount() - start < testsupport::Scaled(timeoutMs)) {
        EnumWindows(FindForeignDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.box)
            Sleep(50);
    }
    if (!search.box)
        return result;
    result.found = true;
    char buffer[512] = {};
    GetWindowTextA(search.box, buffer, sizeof buffer);
    result.caption = buffer;
    // The message text is the box's static control with id 0xFFFF.
    std::memset(buffer, 0, sizeof buffer);
    if (HWND text = GetDlgItem(search.box, 0xFFFF)) {
        DWORD_PTR copied = 0;
        SendMessageTimeoutA(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                            &copied);
    }
    result.text = buffer;
    PostMessageA(search.box, WM_COMMAND, IDOK, 0);
    return result;
}

struct FatalRun {
    FatalBox box;
    testsupport::ChildResult child;
};

FatalRun RunChildToItsFatalBox(const char* routine) {
    FatalRun run;
    std::thread waiter([&] { run.child = testsupport::RunSelfAsChild(routine); });
    run.box = ReadAndConfirmForeignBox(30000);
    waiter.join();
    return run;
}

TEST(SystemFunctionTable, MissingFunctionOfANamedLibraryEndsTheRunThroughTheErrorBox) {
    FatalRun run = RunChildToItsFatalBox("gfx-missing-named");
    ASSERT_TRUE(run.child.started);
    ASSERT_TRUE(run.box.found);
    EXPECT_EQ(run.box.caption, "错误");
    EXPECT_EQ(run.box.text,
              "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“user32”中的输出命令“NoSuchFunctionXyz”\r\n");
    EXPECT_EQ(run.child.exitCode, 0xFFFFFFFFu);
}

TEST(SystemFunctionTable, MissingFunctionOfTheStandardLibrariesNamesOnlyTheFunction) {
    FatalRun run = RunChildToItsFatalBox("gfx-missing-unnamed");
    ASSERT_TRUE(run.box.found);
    EXPECT_EQ(run.box.caption, "错误");
    EXPECT_EQ(run.box.text, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchFunctionXyz”\r\n");
    EXPECT_EQ(run.child.exitCode, 0xFFFFFFFFu);
}

TEST(SystemFunctionTable, MissingLibraryEndsTheRunNamingLibraryAndFunction) {
    FatalRun run = RunChildToItsFatalBox("gfx-missing-library");
    ASSERT_TRUE(run.box.found);
    EXPECT_EQ(run.box.text,
              "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“NoSuchLibraryXyz.dll”中的输出命令“Anything”\r\n");
    EXPECT_EQ(run.child.exitCode, 0xFFFFFFFFu);
}

// The ordinal under which `module` exports `name`, read from its export directory.
DWORD ExportOrdinal(HMODULE module, const char* name) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name) == 0)
            return exports->Base + ordinals[i];
    return 0;
}

TEST(SystemFunctionTable, OrdinalEntryBindsTheExportWithThatOrdinal) {
    HMODULE user32 = LoadLibraryA("user32.dll");
    const DWORD ordinal = ExportOrdinal(user32, "GetSysColor");
    ASSERT_NE(ordinal, 0u);
    const std::string name = "#" + std::to_string(ordinal);
    sys::Entry<decltype(&::GetSysColor)> byOrdinal{"user32", name.c_str()};
    EXPECT_EQ(byOrdinal(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(byOrdinal.bound().address, reinterpret_cast<void*>(GetProcAddress(user32, "GetSysColor")));
}

TEST(SystemFunctionTable, EntryWithoutLibrarySearchesTheStandardLibrariesInOrder) {
    sys::Entry<TickFn> tick{"", "GetTickCount"};
    EXPECT_GT(tick(), 0u);
    EXPECT_EQ(tick.bound().module, GetModuleHandleA("kernel32.dll"));

    sys::Entry<decltype(&::GetSysColor)> colour{"", "GetSysColor"};
    EXPECT_EQ(colour(COLOR_WINDOW), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(colour.bound().module, GetModuleHandleA("user32.dll"));
}

TEST(SystemFunctionTable, EntryIsBoundOnceAtItsFirstCall) {
    sys::Entry<TickFn> tick{"kernel32.dll", "GetTickCount"};
    EXPECT_EQ(tick.bound().address, nullptr);
    tick();
    void* bound = tick.bound().address;
    EXPECT_EQ(bound, reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount")));
    tick();
    EXPECT_EQ(tick.bound().address, bound);
}

}  // namespace
