#pragma once
// The state painter of skinned buttons: the snapshot of what lies beneath the control, the face of its
// current state placed by its back type, put on the window in one block transfer.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

namespace skin {

// Paints into `dc` when given, else into the window's whole-window DC. Without a snapshot
// (PngControl_CacheBitmap) nothing at all is drawn.
void PaintControl(HWND window, HDC dc = nullptr);

}  // namespace skin
