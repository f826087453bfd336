#pragma once
// Procedures put in front of a skinned control's own procedure (edit boxes bound as PNG controls).

#include <windows.h>

namespace skin {

// On an ordinary parent: the engine paints the control's frame and background itself and restores the
// client background from a cached copy whenever the control erases.
LRESULT CALLBACK PngControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// On a layered parent: the control's own painting never reaches the screen, so every message that can
// change its look recomposes the parent; focus changes also move the simulated caret.
LRESULT CALLBACK LayeredChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Paints back colour, back image and border over the whole window rectangle and replaces
// PngControl_CacheBitmap with the part that lies under the client area.
void PaintControlFrame(HWND window);

// Copies PngControl_CacheBitmap into the client area on `dc` (when there is one) and invalidates the
// control without erasing.
void EraseFromCache(HWND window, HDC dc);

}  // namespace skin
