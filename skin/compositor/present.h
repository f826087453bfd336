#pragma once
// Handing a face to the system: a 32-bit DIB section in a memory DC at the window's size holds what the
// window shows, premultiplied; parts of a face are copied into it and the changed part is presented with
// UpdateLayeredWindowIndirect.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

#include "gfx/holders.h"
#include "skin/floor/geometry.h"

namespace skin {

struct LayeredSurface {
    LayeredSurface() = default;
    LayeredSurface(const LayeredSurface&) = delete;
    LayeredSurface& operator=(const LayeredSurface&) = delete;
    ~LayeredSurface();

    int width = 0;
    int height = 0;
    gfx::UniqueBitmap bitmap;  // deleted after the DC: a selected bitmap cannot be
    gfx::UniqueMemoryDC dc;
    HGDIOBJ dcOwnBitmap = nullptr;  // what the DC held before, put back before the DIB goes
    uint32_t* bits = nullptr;       // premultiplied BGRA, bottom row first, `width` pixels per row
};

// Gives the surface a transparent DIB section of `width`×`height`; false, with no DIB left, when it cannot.
bool MakeSurfaceDib(LayeredSurface& surface, int width, int height);

// Copies the part `area` of `image` (an ARGB bitmap of the surface's size) into the surface, premultiplied.
// False when GDI+ could not read it.
bool CopyImagePart(Gdiplus::GpImage* image, LayeredSurface& surface, const IntRect& area);

// Copies the whole of `image` (any size, any kind) into the surface at its top-left corner; what it does not
// cover becomes transparent.
void CopyWholeImage(Gdiplus::GpImage* image, LayeredSurface& surface);

// Copies the part `area` of `frame` (see CopyImagePart; null or an empty part: nothing) into the surface and
// shows the surface on the layered `window` with per-pixel alpha; only `dirty` changed since the system last
// took it (empty: the whole window). False when the part could not be copied or the system did not take the
// surface (a window that is not layered, or no longer a window). Handlers run by the system may destroy the
// window, and the surface with it, before this returns.
bool ShowSurface(HWND window,
                 LayeredSurface& surface,
                 Gdiplus::GpImage* frame,
                 const IntRect& area,
                 const IntRect& dirty);

}  // namespace skin
