#pragma once
// The button skin's window procedures: the pressed, lit and disabled faces follow the mouse, the capture, the
// keyboard and the enabled state as the system's own button does. On an ordinary parent the button paints
// itself; on a layered parent it records its state and its parent's face is composed.

#include <windows.h>

#include <cstdint>

namespace skin {

// Stores `state` and repaints when it changed, or always with `force`.
void SetDrawState(HWND window, int32_t state, bool force);

// Replaces PngControl_CacheBitmap with a window-sized copy of what `dc` shows now and returns it.
HBITMAP CaptureBackground(HWND window, HDC dc);

// The button on an ordinary parent paints itself: background snapshot plus the face of its state.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The button on a layered parent only records its state and has the parent recomposed.
LRESULT CALLBACK LayeredButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
