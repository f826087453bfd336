#pragma once
// Helpers shared by the Windows tests: message pumping and child processes of the test program itself.

#include <windows.h>

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

// Starts this test program as "--child NAME ARGS" and waits for it to end (at most timeoutMs).
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
    if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 98);
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

// Dispatches this thread's messages for about `ms` milliseconds.
inline void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

// Pumps until `done` returns true or `ms` milliseconds have passed; returns the last answer of `done`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start >= ms)
            return done();
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
    return true;
}

}  // namespace testsupport
