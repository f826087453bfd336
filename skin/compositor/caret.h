#pragma once
// The caret of a layered window's text child. The system cannot show a caret on a layered window, so the engine
// draws one on the kept face of the window that holds the focused text child: a line of kCaretHeight pixels.
// Here are its record, its place and its line; skin/compositor/caret_blink.h makes it blink and follow the focus.

#include <windows.h>

#include "skin/floor/geometry.h"

namespace skin {

// The one focused text child across all layered windows; its parent's kept face is what the caret blinks on.
struct FocusCaretState {
    int caretVisible = 0;
    HWND focusParent = nullptr;
    HWND focusChild = nullptr;
};

// The process-wide record; GUI thread only.
FocusCaretState& FocusCaret();

// Height in pixels of the caret line.
inline constexpr int kCaretHeight = 12;

// The caret line's place in `parent` for the caret in `child`: 5 pixels right of the caret's position, centred
// vertically in the child (the caret's own height and vertical position play no part). False when `child`
// is no longer a window.
bool CaretLineAt(HWND parent, HWND child, POINT& top);

// The caret line: kCaretHeight pixels of opaque black down from (x, y), drawn on `dc`. Returns the pixels it
// may cover.
IntRect DrawCaretLine(HDC dc, int x, int y);

// Whether the caret shows on `window` now: it holds the focused child, and the blink is in its visible half.
bool CaretShowsOn(HWND window);

// Draws the focused child's caret line on `dc`, a `width`×`height` surface of `window`'s face; returns the
// pixels it covers, empty when no text child has the focus.
IntRect DrawFocusedCaret(HWND window, HDC dc, int width, int height);

// Part of a window's end: the record no longer names it.
void ForgetCaretWindow(HWND window);

}  // namespace skin
