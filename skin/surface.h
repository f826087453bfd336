#pragma once
// What a layered window keeps for showing its face: a 32-bit DIB section selected into a memory DC at the
// window's size, remade only when the size changes; the signature of the face ComposeWindow last presented
// on it; and the GDI+ fonts and string format its children's texts are drawn with. One per window, kept as a
// window property and freed with the window (WM_NCDESTROY, through ReleaseWindowState).

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/fonts.h"
#include "gfx/holders.h"

namespace skin {

// A child's window rectangle, its top-left corner in the parent's client coordinates.
struct ChildBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ChildBox&) const = default;
};

// What composing one skinned child reads from it: its kind, place, face image (a button's for its state) and,
// for a text box, its colours, font and text.
struct ChildLook {
    HWND child = nullptr;
    int32_t type = 0;
    ChildBox box;
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

// What composing a window reads: equal looks compose to equal faces. Images and fonts are known by their
// address; the engine is told when one is replaced (ForgetShownFace, or a composition that is unconditional).
struct FaceLook {
    int width = 0;
    int height = 0;
    Gdiplus::GpImage* back = nullptr;
    std::vector<ChildLook> children;  // in z-order, top first
    bool operator==(const FaceLook&) const = default;
};

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
    // The look of the face on screen when ComposeWindow presented it last; not known when the screen may
    // show anything else (nothing presented yet, or another image was presented since).
    FaceLook shown;
    bool shownKnown = false;
    // GDI+ fonts made from the children's LOGFONTs, and the one string format their texts are laid out with.
    std::vector<std::pair<LOGFONTA, std::unique_ptr<gfx::FontObject>>> fonts;
    std::unique_ptr<gfx::StringFormatObject> textFormat;
};

// The surface `window` keeps, or null when it keeps none.
LayeredSurface* FindSurface(HWND window);

// The surface of `window` with a DIB section of `width`×`height` (made, or remade at a new size, here); null
// when it cannot be made. The surface is freed with the window (SubclassForRelease).
LayeredSurface* SurfaceAtSize(HWND window, int width, int height);

// Part of WM_NCDESTROY: frees the surface of `window` and removes its property.
void ReleaseSurface(HWND window);

}  // namespace skin
