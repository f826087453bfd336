#pragma once
// Binding of skinned controls: subclassing of their parents and of the controls themselves, the clip and
// transparency styles, and the parent procedure that hands skinned controls their colours.

#include <windows.h>

#include "gfx/holders.h"
#include "skin/floor/geometry.h"

namespace skin {

// Binds a control for skinning: the parent gets SkinParentProc (once, and only when the parent is not a
// skinned control itself), the control stops clipping its siblings and becomes transparent, the parent
// stops clipping its children. False, with nothing changed, when `window` is not a window.
bool AttachWindow(HWND window);

// Installs `procedure` unless the window already carries a saved procedure (it keeps the first one).
void SubclassWindow(HWND window, WNDPROC procedure);

// Makes sure the engine sees the end of `window`, so that what it keeps for the window is freed with it: a
// window that runs none of the engine's procedures, whatever its skin type, is given SkinParentProc.
void SubclassForRelease(HWND window);

// Makes `window` the owner of `image` (an image the engine decoded for it), so that it lives as long as the
// window. `image` is left as it was when `window` is not a window. A window with no skin type of its own is
// given SkinParentProc, through which its destruction is seen.
void KeepDecodedImage(HWND window, gfx::UniqueGpImage& image);

// (old & ~clearBits) | setBits; nothing is written when that equals the old style. A non-zero
// `extraSwpFlags` also calls SetWindowPos with SWP_NOSIZE|SWP_NOMOVE|SWP_NOZORDER|SWP_NOACTIVATE|extra.
// True when the style was written.
bool ModifyStyle(HWND window, DWORD clearBits = 0, DWORD setBits = 0, UINT extraSwpFlags = 0);
bool ModifyExStyle(HWND window, DWORD clearBits = 0, DWORD setBits = 0, UINT extraSwpFlags = 0);

// Invalidates, without erasing, the control's rectangle on its parent and the control's client area.
void RefreshInParent(HWND window);

// Moves and sizes `window` as `request` asks, keeping what it omits from the window's current placement
// (`topLeft` in the coordinates SetWindowPos takes for that window).
void MoveWindowAsRequested(HWND window, POINT topLeft, const MoveRequest& request);

// InvalidateRect for one window; nothing for a null handle, which would invalidate every window on the
// desktop (an unbound skin object has the null handle).
void InvalidateWindow(HWND window, const RECT* rect, bool erase);

// Forwards to the procedure saved under PngControl_WndProc; default handling when none was saved.
LRESULT CallSavedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Forwards to the procedure saved under PngControl_ChildWndProc (the layered-parent procedures' predecessor).
LRESULT CallSavedChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window procedure of every parent of a bound control.
LRESULT CALLBACK SkinParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
