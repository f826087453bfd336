#pragma once
// What the engine keeps on a window beside its settings, and its release. A window owns the images the engine
// decoded for it and its cache bitmap; both are freed, and every engine property removed, when the window
// is destroyed (WM_NCDESTROY reaches one of the engine's procedures).

#include <windows.h>

#include <vector>

#include "gfx/holders.h"

namespace skin {

// The images the engine decoded for a window, kept as its PngControl_DecodedImages property.
using DecodedImages = std::vector<gfx::UniqueGpImage>;

// Replaces PngControl_CacheBitmap with a `width`×`height` copy of what `dc` shows at (x, y) and returns it;
// null, with the old one deleted all the same, when no copy can be made.
HBITMAP ReplaceCacheBitmap(HWND window, HDC dc, int x, int y, int width, int height);

// Part of WM_NCDESTROY, after the window's own procedure has run: frees what the window owns, drops it from
// the focus record and removes every property of the engine.
void ReleaseWindowState(HWND window);

}  // namespace skin
