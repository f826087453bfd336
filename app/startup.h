#pragma once
// The program's spine: start-up, the global objects, the creation handlers of the three windows and the end
// of the run.

#include <memory>

#include "app/dressing.h"
#include "app/ids.h"
#include "app/placement.h"

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

// Connects the scheduler to the control layer, the clock and the switch-off.
void BindSchedulerSeams();

void OnMainWindowCreated();
void OnCountdownWindowCreated();
void OnWebPanelWindowCreated();
void OnCloseClicked();

// The program's entry routine: returns 0 when the message loop ends. `startWindow` is the window loaded
// first; one that cannot be loaded is a fatal run error.
int StartUp(WindowId startWindow = ids::kMainWindow);

}  // namespace app
