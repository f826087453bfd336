#pragma once
// The face a layered window shows, kept by the window: the frame (the face as last drawn, a 32-bit ARGB GDI+
// bitmap at the window's size), the surface the system was given, the place of each child in the frame, where
// the caret line lies on the surface, the text tools, and the damage: where the frame no longer shows the
// window. What changes the face marks its damage where it happens (skin/compositor/marks.h), and every mark
// leads to a composition that draws only that (skin/compositor/compose.h). One per layered window, kept as its
// OffClock_Surface property and freed with the window (WM_NCDESTROY, through ReleaseWindowState).

#include <windows.h>

#include <cstdint>

#include "gfx/holders.h"
#include "skin/compositor/draw.h"
#include "skin/compositor/look.h"
#include "skin/compositor/present.h"
#include "skin/floor/geometry.h"

namespace skin {

struct KeptFace {
    int width = 0;
    int height = 0;
    gfx::UniqueGpImage frame;
    LayeredSurface surface;
    FaceLook drawn;     // the look the frame was last drawn from
    IntRect damage;     // in the window's coordinates; empty: none
    IntRect caretLine;  // drawn on the surface over the frame; empty: none
    IntRect lastArea;   // what the last composition drew
    TextTools text;
    bool requested = false;  // a composition request is posted and not yet handled
    int failures = 0;        // compositions in a row that drew or showed nothing
};

// The face `window` keeps, or null when it keeps none.
KeptFace* FindFace(HWND window);

// The face of `window` at `width`×`height`: made, or its frame and surface remade at a new size, here, and
// then damaged whole. Null when it cannot be made, and for a window that runs none of the engine's procedures:
// the face is freed at the window's end, which only they see.
KeptFace* FaceAtSize(HWND window, int width, int height);

// Part of WM_NCDESTROY: frees the face of `window` and removes its property.
void ReleaseFace(HWND window);

}  // namespace skin
