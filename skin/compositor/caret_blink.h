#pragma once
// The caret's blink, and the caret following the focus and the input, as the system's own text boxes show
// theirs: at once when the focus comes and after each key or click, blinking anew from then, and gone with the
// focus. The line itself is skin/compositor/caret.h.

#include <windows.h>

#include <cstdint>

namespace skin {

// Identifier of the blink timer of a layered skin window.
inline constexpr uintptr_t kCaretBlinkTimerId = 64;

// Blink interval of the caret.
inline constexpr UINT kCaretBlinkMs = 500;

// Timer procedure of the blink (timer kCaretBlinkTimerId, every kCaretBlinkMs, one per layered window): while
// the window holds the focused child, re-presents the kept face with and without the caret line, composing
// nothing.
VOID CALLBACK CaretBlinkProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// The blink timer runs only while a text child of the window has the focus: a window without one would wake
// twice a second for nothing. PngControl_Time records the timer exactly while it runs. Starting a running
// timer or stopping a stopped one changes nothing.
void StartCaretBlink(HWND window);
void StopCaretBlink(HWND window);
// The blink begins anew from now (the caret was just shown); a timer that is not running is started.
void RestartCaretBlink(HWND window);

// The text child `child` of a layered window gained or lost the focus (after it has placed its own caret):
// the caret shows at once on its parent's face and blinks, or is taken off and stops.
void FollowFocus(HWND child, bool gained);

// Input after which the system's own text box shows its caret at once and blinks anew.
bool MovesTheCaret(UINT message);

// When `child` holds the focus: its caret is in its visible half from now, and the blink restarts. True then.
bool ShowCaretAnew(HWND child);

}  // namespace skin
