#pragma once
// What drawing a layered window's face reads from the window: its back image and, in z-order, every skinned
// child's place and what its face is drawn from. Reading changes nothing.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/floor/geometry.h"

namespace skin {

// What drawing one skinned child reads from it: its kind, place (its window rectangle in the parent's client
// coordinates), face image (a button's for its state) and, for a text box, its colours, font and text.
struct ChildLook {
    HWND child = nullptr;
    int32_t type = 0;
    IntRect box;
    int32_t backType = 0;
    Gdiplus::GpImage* image = nullptr;
    uint32_t backColor = 0;
    uint32_t backAlpha = 0;
    uint32_t orderColor = 0;
    uint32_t orderAlpha = 0;
    uint32_t textColor = 0;
    HFONT font = nullptr;
    std::string text;
    bool operator==(const ChildLook&) const = default;
};

struct FaceLook {
    int width = 0;
    int height = 0;
    Gdiplus::GpImage* back = nullptr;
    std::vector<ChildLook> children;  // in z-order, top first
};

// The face of a DrawState code; a missing face (and any unknown state) gives the normal face, which may
// itself be null.
Gdiplus::GpImage* GetStateImage(HWND window, int32_t state);

// The child's window rectangle with its top-left corner in the parent's client coordinates; false when
// `child` is no longer a window.
bool ChildBoxInParent(HWND parent, HWND child, IntRect& box);

// Reads what drawing `child` on `parent` needs; false for a child that draws nothing (no skin type that is
// drawn, or no longer a window).
bool ReadChildLook(HWND parent, HWND child, ChildLook& look);

// Everything drawing `window` at `width`×`height` reads, each property once. With `kept` (the look last read)
// a child that lies where it was, away from `area` (the part to be drawn), is taken from `kept` unread: what
// changes a child marks its place, so it has not changed since.
void ReadFaceLook(HWND window,
                  int width,
                  int height,
                  FaceLook& look,
                  const FaceLook* kept = nullptr,
                  const IntRect& area = {});

}  // namespace skin
