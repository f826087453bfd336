#include "app/startup.h"

#include <windows.h>
#include <ole2.h>

#include <string>

#include "app/controls.h"
#include "app/display.h"
#include "app/strip_fit.h"
#include "base/fatal.h"
#include "gfx/graphics.h"
#include "gfx/image_window.h"
#include "scheduler/awake.h"
#include "scheduler/scheduler.h"
#include "scheduler/shutdown.h"
#include "scheduler/system_clock.h"

namespace app {

namespace {

constexpr int32_t kTickMs = 1000;

GlobalObjects g_globals;

int32_t ReadInt(WindowId window, uint32_t control, int property) {
    return GetControlProperty(window, control, property).number;
}

std::string ReadText(WindowId window, ControlId control) {
    return GetControlProperty(window, control, kEditContent).text;
}

void WriteText(WindowId window, ControlId control, const std::string& text) {
    SetControlProperty(window, control, kEditContent, text);
}

void MoveWindowTo(WindowId window, ControlId element, const Position& p) {
    SetControlProperty(window, element, kPropLeft, p.left);
    SetControlProperty(window, element, kPropTop, p.top);
}

// The executable's folder becomes the current directory.
void EnterProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    std::string folder(path, n);
    folder.resize(folder.find_last_of("\\/") + 1);
    SetCurrentDirectoryA(folder.c_str());
}

// Each skin object gets its Release call before it is freed.
template <typename T>
void ReleaseSkin(std::unique_ptr<T>& object) {
    if (object)
        object->Release();
    object.reset();
}

// Whether OleInitialize succeeded, so that OleUninitialize balances it.
bool g_oleInitialized = false;

// The browsers are released while OLE still runs; OLE is uninitialised only if this run initialised it.
void EndOfRunCleanup() {
    // A run that ends during a countdown keeps nothing awake behind it.
    scheduler::ReleaseAwake();
    ReleaseWebPanels();
    ReleaseGlobalObjects();
    if (g_oleInitialized)
        OleUninitialize();
    g_oleInitialized = false;
}

}  // namespace

GlobalObjects& Globals() {
    return g_globals;
}

void CreateGlobalObjects() {
    SkinObjects& s = g_globals.skins;
    s.clockSkin = std::make_unique<skin::SkinControl>();
    s.entrySkin = std::make_unique<skin::SkinControl>();
    s.startButtonSkin = std::make_unique<skin::SkinButton>();
    s.stopButtonSkin = std::make_unique<skin::SkinButton>();
    s.closeButtonSkin = std::make_unique<skin::SkinButton>();
    s.mainWindowSkin = std::make_unique<skin::SkinWindow>();
    g_globals.mainPlacement = std::make_unique<DisplayInfo>();
    g_globals.webPanelPlacement = std::make_unique<DisplayInfo>();
    g_globals.countdownPlacement = std::make_unique<DisplayInfo>();
    s.countdownTextSkin = std::make_unique<skin::SkinControl>();
    s.countdownWindowSkin = std::make_unique<skin::SkinWindow>();
}

void ReleaseGlobalObjects() {
    SkinObjects& s = g_globals.skins;
    gfx::ReleaseFrameDimension();
    ReleaseSkin(s.clockSkin);
    ReleaseSkin(s.entrySkin);
    ReleaseSkin(s.startButtonSkin);
    ReleaseSkin(s.stopButtonSkin);
    ReleaseSkin(s.closeButtonSkin);
    ReleaseSkin(s.mainWindowSkin);
    g_globals.mainPlacement.reset();
    g_globals.webPanelPlacement.reset();
    g_globals.countdownPlacement.reset();
    ReleaseSkin(s.countdownTextSkin);
    ReleaseSkin(s.countdownWindowSkin);
}

void WireEvents() {
    using namespace ids;
    BindEvent(kMainWindow, kMainWindowElement, kEventCreated, OnMainWindowCreated);
    // The system tells every top-level window; MainWindow, which lives as long as the program, places all three.
    BindEvent(kMainWindow, kMainWindowElement, kEventDisplayChanged, OnDisplayChanged);
    BindEvent(kMainWindow, kStartButton, kEventClicked, scheduler::OnStartClicked);
    BindEvent(kMainWindow, kStopButton, kEventClicked, scheduler::OnStopClicked);
    BindEvent(kMainWindow, kCloseButton, kEventClicked, OnCloseClicked);
    // MainWindow closed any other way (Esc, Alt+F4, the system's close) ends the program as the close button
    // does: its timers go with it, so a program left running would never switch off. The strip announces a
    // countdown, so closing it stops the countdown (it is only hidden, for the next one to show).
    BindEvent(kMainWindow, kMainWindowElement, kEventClose, OnCloseClicked);
    BindEvent(kCountdownWindow, kCountdownWindowElement, kEventClose, scheduler::OnStopClicked);
    BindEvent(kMainWindow, kTimeEntryEdit, kEventGotFocus, scheduler::OnTimeEntryFocus);
    BindEvent(kMainWindow, kClockTimer, kEventPeriod, scheduler::OnClockTimer);
    BindEvent(kMainWindow, kCountdownTimer, kEventPeriod, scheduler::OnCountdownTimer);
    // MainWindow alone answers a change of the clock, so that each broadcast reads the time once.
    BindEvent(kMainWindow, kMainWindowElement, kEventClockChanged, scheduler::OnClockChanged);
    BindEvent(kCountdownWindow, kCountdownWindowElement, kEventCreated, OnCountdownWindowCreated);
    BindEvent(kWebPanelWindow, kWebPanelWindowElement, kEventCreated, OnWebPanelWindowCreated);
    // CountdownWindow 编辑框1's content-changed and the panel's "before navigating" handlers are empty:
    // nothing happens and every navigation is allowed, so nothing is bound for them.
}

void BindSchedulerPort(PowerOffFn requestPowerOff) {
    using namespace ids;
    scheduler::Port port;
    port.readEntry = [] { return ReadText(kMainWindow, kTimeEntryEdit); };
    port.currentTime = scheduler::SystemLocalTime;
    port.currentSeconds = scheduler::SystemMoment;
    port.localTimeAt = scheduler::SystemLocalTimeAt;
    port.writeEntry = [](const std::string& text) { WriteText(kMainWindow, kTimeEntryEdit, text); };
    port.writeClock = [](const std::string& text) { WriteText(kMainWindow, kClockEdit, text); };
    // The message goes to the hidden 编辑框3 and from there to the strip at once, only when it is written.
    port.writeCountdownMessage = [](const std::string& text) {
        WriteText(kMainWindow, kCountdownTextHolder, text);
        MirrorCountdownMessage();
    };
    port.armCountdown = [](bool armed) {
        SetControlProperty(kMainWindow, kCountdownTimer, kTimerInterval, armed ? kTickMs : 0);
        if (!armed)
            SetControlProperty(kMainWindow, kClockTimer, kTimerInterval, kTickMs);
    };
    port.showStrip = [](bool shown) {
        SetControlProperty(kCountdownWindow, kCountdownWindowElement, kPropVisible, shown ? 1 : 0);
    };
    port.fitsStrip = LineFitsStrip;
    port.holdAwake = scheduler::HoldAwake;
    port.releaseAwake = scheduler::ReleaseAwake;
    if (requestPowerOff)
        port.requestPowerOff = requestPowerOff;
    else
        port.requestPowerOff = scheduler::RequestPowerOff;
    scheduler::SetPort(std::move(port));
}

void OnMainWindowCreated() {
    using namespace ids;
    LoadWindow(kCountdownWindow);
    LoadWindow(kWebPanelWindow);
    DressMainWindow(g_globals.skins);
    PlaceMainWindow();
}

// Each window is placed from the screen and the work area as they are now. MainWindow's size never changes,
// so the strip and the panel can be placed before MainWindow itself is.
void PlaceMainWindow() {
    using namespace ids;
    g_globals.mainPlacement = GetDisplayInfo();
    int32_t width = ReadInt(kMainWindow, kMainWindowElement, kPropWidth);
    int32_t height = ReadInt(kMainWindow, kMainWindowElement, kPropHeight);
    MoveWindowTo(kMainWindow, kMainWindowElement,
                 MainWindowPosition(*g_globals.mainPlacement, GetWorkArea(), width, height));
}

void PlaceCountdownWindow() {
    using namespace ids;
    g_globals.countdownPlacement = GetDisplayInfo();
    int32_t mainWidth = ReadInt(kMainWindow, kMainWindowElement, kPropWidth);
    int32_t mainHeight = ReadInt(kMainWindow, kMainWindowElement, kPropHeight);
    int32_t width = ReadInt(kCountdownWindow, kCountdownWindowElement, kPropWidth);
    int32_t height = ReadInt(kCountdownWindow, kCountdownWindowElement, kPropHeight);
    MoveWindowTo(kCountdownWindow, kCountdownWindowElement,
                 CountdownPosition(*g_globals.countdownPlacement, GetWorkArea(), mainWidth, mainHeight, width, height));
}

void PlaceWebPanelWindow() {
    using namespace ids;
    g_globals.webPanelPlacement = GetDisplayInfo();
    int32_t mainWidth = ReadInt(kMainWindow, kMainWindowElement, kPropWidth);
    int32_t mainHeight = ReadInt(kMainWindow, kMainWindowElement, kPropHeight);
    int32_t width = ReadInt(kWebPanelWindow, kWebPanelWindowElement, kPropWidth);
    int32_t height = ReadInt(kWebPanelWindow, kWebPanelWindowElement, kPropHeight);
    MoveWindowTo(kWebPanelWindow, kWebPanelWindowElement,
                 WebPanelPosition(*g_globals.webPanelPlacement, GetWorkArea(), mainWidth, mainHeight, width, height));
}

void OnDisplayChanged() {
    PlaceMainWindow();
    PlaceCountdownWindow();
    PlaceWebPanelWindow();
}

void OnCountdownWindowCreated() {
    PlaceCountdownWindow();
    // The strip shows what the holder shows from the start (empty until the first countdown tick), and its
    // face is composed with that.
    MirrorCountdownMessage();
    DressCountdownWindow(g_globals.skins);
}

void OnWebPanelWindowCreated() {
    PlaceWebPanelWindow();
}

void OnCloseClicked() {
    base::EndProgram(0);
}

void MirrorCountdownMessage() {
    using namespace ids;
    WriteText(kCountdownWindow, kCountdownText, ReadText(kMainWindow, kCountdownTextHolder));
}

HWND StartProgram(const StartOptions& options) {
    g_oleInitialized = SUCCEEDED(OleInitialize(nullptr));
    EnterProgramFolder();
    CreateGlobalObjects();
    base::SetEndOfRunCleanup(EndOfRunCleanup);
    // "启动 GDI+ 失败": without GDI+ no face can be drawn, and a countdown would run invisibly.
    if (const int status = gfx::StartGraphicsSession(); status != 0)
        base::FatalRunError("启动 GDI+ 失败", status);
    gfx::RegisterImageWindowClass();
    WireEvents();
    scheduler::ClearState();
    BindSchedulerPort(options.requestPowerOff);
    HWND start = LoadWindow(options.startWindow);
    // "载入启动窗口失败": the start window cannot be loaded.
    if (!start)
        base::FatalRunError("载入启动窗口失败");
    return start;
}

int StartUp(WindowId startWindow) {
    StartProgram({.startWindow = startWindow});
    return RunMessageLoop();
}

void StopProgram() {
    DestroyProgramWindows();
    base::RunEndOfRun();
    scheduler::SetPort({});
}

}  // namespace app
