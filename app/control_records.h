#pragma once
// Inside the control layer: the records of the live windows and controls, shared by the registry (lookup,
// event dispatch, window procedures), the creation of windows and the property layer. Not for other folders.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/webpanel.h"
#include "app/window_defs.h"
#include "base/unique_handle.h"
#include "gfx/holders.h"

namespace app {

inline constexpr char kWindowClass[] = "OffClockWindow";
inline constexpr char kTimerClass[] = "OffClockTimer";
inline constexpr char kOwnerClass[] = "OffClockOwner";
// A timer control is a message-only window that carries its (window, control) ids as properties.
inline constexpr char kTimerWindowKey[] = "OffClock_Window";
inline constexpr char kTimerControlKey[] = "OffClock_Control";
inline constexpr UINT_PTR kSystemTimerId = 1000;
// A read-only edit box keeps the procedure it had before it passed the pointer through (control_creation.cpp).
inline constexpr char kNoInputBoxProcKey[] = "OffClock_BoxProc";

struct Control {
    const ControlDef* def = nullptr;
    HWND hwnd = nullptr;
    gfx::UniqueFont font;
    gfx::UniqueBrush backBrush;
    uint32_t textColor = 0;
    uint32_t backColor = 0;
    int32_t interval = 0;
    // A one-second timer fires at the start of each second: the start of the second it waits for, in
    // milliseconds of the system clock (scheduler/second_ticks.h).
    int64_t dueMs = 0;
    bool ignoreChange = false;
    std::string tag;
    std::unique_ptr<WebPanel> web;
};

struct Window {
    const WindowDef* def = nullptr;
    HWND hwnd = nullptr;
    std::vector<std::unique_ptr<Control>> controls;
    gfx::UniqueBrush pictureBrush;
    base::UniqueIcon bigIcon;
    base::UniqueIcon smallIcon;
    bool dragAnywhere = false;
    bool escCloses = true;
    std::string tag;
};

// The registry: the live window of `id`, the window of a handle, a control by id or by handle; null when
// there is none.
Window* FindWindowRecord(WindowId id);
Window* WindowFromHandle(HWND hwnd);
Control* FindControl(Window* w, uint32_t id);
Control* ControlFromHandle(Window* w, HWND hwnd);

// Every live window's record, in the order they were made.
const std::vector<std::unique_ptr<Window>>& WindowRecords();

// Takes a new window into the registry; it leaves it at its WM_NCDESTROY.
void AddWindowRecord(std::unique_ptr<Window> w);

// Registers the three window classes once; false when the system refuses one.
bool RegisterClasses();

// Runs the handler wired to (window, source, event), if any.
void Fire(WindowId window, uint32_t source, int event);

// Starts, restarts or stops the timer of a timer control; a negative interval counts as 0, and the running
// interval written again leaves the timer undisturbed. A one-second timer fires just after the start of each
// second of the wall clock rather than a second after it was started.
void SetTimerInterval(Control& c, int32_t interval);

// Window procedure of the timer controls' message-only windows.
LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Puts a shown window that floats over another at the top of the topmost windows, and any that is found below
// the window it floats over above it again (`shown`: the window being shown now, or null). Part of
// WM_WINDOWPOSCHANGED.
void KeepFloatingWindowsAbove(HWND shown);

// Part of WM_WINDOWPOSCHANGING of `w`: a raise over the shown window that floats over it goes just below that
// one instead.
void KeepBelowFloatingWindow(const Window& w, WINDOWPOS& pos);

// Replaces an edit box's text: one content-changed event per write, even when the text is the same. A box on a
// layered window is never shown by the system, so the write leaves it nothing to paint.
void WriteEditContent(Control& c, const std::string& text);

}  // namespace app
