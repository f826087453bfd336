#pragma once
// The program in the test process, started and stopped through its own start-up (app/startup.h). Only the
// switch-off is replaced: it is counted, never made.

#include <windows.h>

#include "app/controls.h"
#include "app/startup.h"
#include "app/window_defs.h"
#include "scheduler/scheduler.h"
#include "win_test_support.h"

namespace testsupport {

inline int& PowerOffRequests() {
    static int count = 0;
    return count;
}

// app::StartProgram with the switch-off counted; the tests pump messages themselves.
inline HWND StartProgramInProcess() {
    PowerOffRequests() = 0;
    return app::StartProgram({.requestPowerOff = [] {
        return ++PowerOffRequests(), scheduler::SwitchOffResult{true, 0, {}};
    }});
}

inline HWND ProgramWindow(app::WindowId id) {
    return app::GetControlHandle(id, app::FindWindowDef(id)->element, app::ControlKind::Window);
}

inline HWND ProgramControl(app::WindowId window, app::ControlId control, app::ControlKind kind) {
    return app::GetControlHandle(window, control, kind);
}

// app::StopProgram, then what the timers had posted is dropped (they keep posting, so the draining is
// bounded rather than "until empty").
inline void StopProgramInProcess() {
    app::StopProgram();
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    }
}

}  // namespace testsupport
