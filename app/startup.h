#pragma once
// The program's spine: start-up, the global objects, the creation handlers of the three windows and the end
// of the run.

#include <cstdint>
#include <memory>

#include "app/dressing.h"
#include "app/ids.h"
#include "app/placement.h"
#include "scheduler/shutdown.h"

namespace app {

// The global objects, created at start-up before any window exists and released by the end-of-run
// clean-up, in the order of creation.
struct GlobalObjects {
    SkinObjects skins;
    std::unique_ptr<DisplayInfo> mainPlacement;
    std::unique_ptr<DisplayInfo> webPanelPlacement;
    std::unique_ptr<DisplayInfo> countdownPlacement;
};

GlobalObjects& Globals();
void CreateGlobalObjects();
void ReleaseGlobalObjects();

// Binds every wired event of the three windows to its handler.
void WireEvents();

using PowerOffFn = scheduler::SwitchOffResult (*)();

// Connects the scheduler's port to the controls, and its switch-off to `requestPowerOff` (null: the forced
// power-off of the system).
void BindSchedulerPort(PowerOffFn requestPowerOff = nullptr);

void OnMainWindowCreated();
void OnCountdownWindowCreated();
void OnWebPanelWindowCreated();
void OnCloseClicked();
// The screen's size or the work area changed: the three windows are placed anew, as at start-up.
void OnDisplayChanged();
// Where each window goes, from the screen and the work area as they are now (app/placement.h).
void PlaceMainWindow();
void PlaceCountdownWindow();
void PlaceWebPanelWindow();
// The strip (CountdownWindow 编辑框1) shows what the countdown last wrote into MainWindow's 编辑框3: called
// on every write of the message, and when CountdownWindow is created.
void MirrorCountdownMessage();

struct StartOptions {
    WindowId startWindow = ids::kMainWindow;
    // Null: the forced power-off of the system. The tests count requests instead.
    PowerOffFn requestPowerOff = nullptr;
};

// All of the start-up but the message loop: OLE and the program folder, the global objects and the
// end-of-run clean-up, GDI+ and the image window class, the wiring and the scheduler's port, then the start
// window. Returns the start window; one that cannot be loaded is a fatal run error.
HWND StartProgram(const StartOptions& options = {});

// The program's entry routine: StartProgram, then the message loop; returns 0 when the loop ends.
int StartUp(WindowId startWindow = ids::kMainWindow);

// Destroys the program's windows and runs the end-of-run clean-up without ending the process, so that the
// program can be started again in it (the Windows tests and the benchmark).
void StopProgram();

}  // namespace app
