#pragma once
// The program's three windows in the test process, created, wired and dressed as start-up makes them, with
// the real control layer behind the scheduler. Only the switch-off is replaced: it is counted, never made.

#include <windows.h>
#include <ole2.h>

#include <string>

#include "app/controls.h"
#include "app/startup.h"
#include "app/window_defs.h"
#include "gfx/graphics.h"
#include "gfx/image_window.h"
#include "scheduler/scheduler.h"
#include "win_test_support.h"

namespace testsupport {

inline int& PowerOffRequests() {
    static int count = 0;
    return count;
}

// The start-up of app::StartUp up to its message loop; the tests pump messages themselves.
inline HWND StartProgramInProcess() {
    static const bool sessionReady = [] {
        OleInitialize(nullptr);  // the web panel's browser control needs OLE
        gfx::StartGraphicsSession();
        gfx::RegisterImageWindowClass();
        app::WireEvents();
        return true;
    }();
    (void)sessionReady;
    app::CreateGlobalObjects();
    // app::BindSchedulerSeams with the switch-off counted.
    scheduler::Seams seams;
    seams.getText = [](app::WindowId window, app::ControlId control, int property) {
        return app::GetControlProperty(window, control, property).text;
    };
    seams.setText = [](app::WindowId window, app::ControlId control, int property, const std::string& text) {
        app::SetControlProperty(window, control, property, text);
    };
    seams.setInteger = [](app::WindowId window, app::ControlId control, int property, int32_t value) {
        app::SetControlProperty(window, control, property, value);
    };
    seams.requestPowerOff = [] { return ++PowerOffRequests(), 1; };
    scheduler::SetSeams(std::move(seams));
    scheduler::ClearState();
    PowerOffRequests() = 0;
    return app::LoadWindow(app::ids::kMainWindow);
}

inline HWND ProgramWindow(app::WindowId id) {
    return app::GetControlHandle(id, app::FindWindowDef(id)->element, app::ControlKind::Window);
}

inline HWND ProgramControl(app::WindowId window, app::ControlId control, app::ControlKind kind) {
    return app::GetControlHandle(window, control, kind);
}

// Destroys the windows and runs the end-of-run release of the global objects.
inline void StopProgramInProcess() {
    for (app::WindowId id : {app::ids::kCountdownWindow, app::ids::kWebPanelWindow, app::ids::kMainWindow}) {
        if (HWND w = ProgramWindow(id))
            DestroyWindow(w);
    }
    MSG msg;
    // Timers keep posting, so draining is bounded rather than "until empty".
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    }
    app::ReleaseGlobalObjects();
    scheduler::SetSeams({});
}

}  // namespace testsupport
