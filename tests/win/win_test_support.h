#pragma once
// Helpers shared by the Windows tests: message pumping, child processes of the test program itself, the
// count of live GDI objects and the private bytes.

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

namespace testsupport {

using ChildRoutine = std::function<int(int argc, char** argv)>;

inline std::map<std::string, ChildRoutine>& ChildRoutines() {
    static std::map<std::string, ChildRoutine> routines;
    return routines;
}

// Registers a routine that a child process of the test program runs; use at namespace scope:
//   static testsupport::ChildRegistration reg("name", [](int, char**) { ...; return 0; });
struct ChildRegistration {
    ChildRegistration(const char* name, ChildRoutine routine) { ChildRoutines()[name] = std::move(routine); }
};

inline int RunChild(const std::string& name, int argc, char** argv) {
    auto it = ChildRoutines().find(name);
    return it == ChildRoutines().end() ? 97 : it->second(argc, argv);
}

struct ChildResult {
    bool started = false;
    DWORD exitCode = 0;
};

// Deadlines are multiplied by OC_TIME_SCALE (set by the build: 5 for the i686 build under 32-bit Wine through
// qemu, where everything costs about five times the CPU); what a test expects never is.
inline DWORD Scaled(DWORD ms) {
    static const DWORD scale = [] {
        char text[16] = {};
        const DWORD length = GetEnvironmentVariableA("OC_TIME_SCALE", text, sizeof text);
        const long value = length > 0 && length < sizeof text ? std::strtol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : 1UL;
    }();
    return ms * scale;
}

// Starts this test program as "--child NAME ARGS" and waits for it to end (at most timeoutMs, scaled).
inline ChildResult RunSelfAsChild(const std::string& name, const std::string& args = "", DWORD timeoutMs = 60000) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --child " + name + (args.empty() ? "" : " " + args);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ChildResult result;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return result;
    result.started = true;
    if (WaitForSingleObject(pi.hProcess, Scaled(timeoutMs)) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 98);
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

// Dispatches this thread's messages for about `ms` milliseconds. The clock ends it, not an empty queue: a
// timer whose handling takes longer than its period (a 10 ms timer under emulation) never lets the queue empty.
inline void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (GetTickCount() - start <= ms && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

// Pumps until `done` returns true or `ms` milliseconds (scaled) have passed; returns the last answer of `done`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    ms = Scaled(ms);
    DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start >= ms)
            return done();
        while (GetTickCount() - start < ms && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
    return true;
}

// Live GDI objects of this process: GetGuiResources where the system answers it; Wine answers 0, so there the
// entries in use of its per-process GDI handle table (PEB GdiSharedHandleTable, entries of 24 bytes, type
// byte at 14).
inline DWORD GdiObjectCount() {
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

// The process's private bytes. Wine leaves PrivateUsage at 0 and keeps the same figure (the anonymous memory
// in use, so written pages only) in PagefileUsage.
inline SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace testsupport
