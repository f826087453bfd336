#pragma once
// The control layer: creates the windows of app/window_defs.h, reads and writes their properties by number,
// and dispatches their events to the wired handlers. Registry and dispatch: control_registry.cpp; creation:
// control_creation.cpp; properties: control_properties.cpp.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/ids.h"

namespace app {

// A property value: an integer (booleans are 0 or 1) or a text (GBK bytes; absent = empty).
struct PropertyValue {
    int32_t number = 0;
    std::string text;
    bool isText = false;

    PropertyValue() = default;
    PropertyValue(int32_t n) : number(n) {}  // NOLINT: implicit by design, like the values it stands for
    PropertyValue(std::string t) : text(std::move(t)), isText(true) {}
    PropertyValue(const char* t) : text(t ? t : ""), isText(true) {}
};

using EventHandler = void (*)();

// Binds `handler` to (window, source, event); `source` is a control id or the window's element id.
void BindEvent(WindowId window, uint32_t source, int event, EventHandler handler);

// Creates the window `id` with all its controls, not modal, without parent, and shows it if its definition
// says so. Its creation-complete handler runs once the window and its controls exist. Returns its handle,
// or null when the window cannot be created.
HWND LoadWindow(WindowId id);

PropertyValue GetControlProperty(WindowId window, uint32_t control, int property);
void SetControlProperty(WindowId window, uint32_t control, int property, const PropertyValue& value);

// The handle of the control's underlying window (window, control id, kind code), or null. For the window
// itself pass its element id and ControlKind::Window.
HWND GetControlHandle(WindowId window, uint32_t control, ControlKind kind);

// Esc pressed in one of the program's windows or their controls closes that window. None of the program's
// controls uses Esc itself (an edit box ignores it outside dialogs), so Esc always closes. True when it took
// the message.
bool HandleProgramKey(const MSG& msg);

// Tab and Shift+Tab move the focus among a window's controls that take it (its edit boxes that are not
// read-only and its buttons); Enter on a focused button presses it, and Enter in a single-line box presses
// the window's default button, the focus staying in the box. Space on a focused button is the button's own.
// True when it took the message.
bool HandleFocusKey(const MSG& msg);

class WebPanel;
// The web page panel of (window, control), or null.
const WebPanel* GetWebPanel(WindowId window, ControlId control);

// Runs the message loop until the last of the program's windows is gone.
int RunMessageLoop();

// Destroys every window of the program, the latest loaded first.
void DestroyProgramWindows();

// Every web page panel lets go of its browser, its window staying: the end of the run calls it before OLE is
// uninitialised, since the run may end with the windows still open.
void ReleaseWebPanels();

// How many of the program's windows exist.
int LiveWindowCount();

// The invisible window that owns the program's windows: owned windows stay out of the taskbar whatever their
// extended style becomes.
HWND ProgramOwnerWindow();

}  // namespace app
