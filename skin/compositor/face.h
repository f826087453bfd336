#pragma once
// The face a layered window shows, kept by the window: the frame (the face as last drawn, a 32-bit ARGB GDI+
// bitmap at the window's size), the surface the system was given, the place of each child in the frame, where
// the caret line lies on the surface, the text tools, and the damage: where the frame no longer shows the
// window. Whatever changes the face marks its damage where it happens (a property write, a child's move,
// font, text, state or end, the window's resize), and every mark leads to a composition that draws only that:
// at the end of the message that made it (skin/compose.h, ComposeAtEnd), or else through one request posted
// to the window for all the marks before it is handled. One per layered window, kept as its OffClock_Surface
// property and freed with the window (WM_NCDESTROY, through ReleaseWindowState).

#include <windows.h>

#include "gfx/holders.h"
#include "skin/draw.h"
#include "skin/look.h"
#include "skin/present.h"
#include "skin/rules.h"

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
// then damaged whole. Null when it cannot be made.
KeptFace* FaceAtSize(HWND window, int width, int height);

// Part of WM_NCDESTROY: frees the face of `window` and removes its property.
void ReleaseFace(HWND window);

// The whole face of `window` must be drawn again.
void MarkWholeFace(HWND window);

// Has `window` composed soon: nothing when a composition is due at the end of the current message or a request
// is already posted; else one request is posted, which SkinParentProc answers by composing.
void RequestComposition(HWND window);

// The message of that request (registered once).
UINT CompositionRequestMessage();

// What changed of a child: its place, font, z-order or visibility, its end, or (kText) perhaps its text.
enum class ChildChange { kPlace, kText };

// The place of `child` in its parent's face, where it was drawn and where it is now, must be drawn again;
// for kText only when its text is not the one it was drawn with. True when anything was marked.
bool MarkChild(HWND child, ChildChange change = ChildChange::kPlace);

// What a write of a key with `effect` (EffectOfKey) on `window` from `before` to `after` changes: the window's
// own face (whole), or its place in its parent's face.
void MarkPropertyWrite(HWND window, KeyEffect effect, intptr_t before, intptr_t after);

}  // namespace skin
