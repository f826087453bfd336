#pragma once
// Drawing a face with GDI+: the back image at its own size, then every skinned child's face in z-order, into
// a 32-bit ARGB bitmap. Draws what it is given and reads no window.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <utility>
#include <vector>

#include "gfx/fonts.h"
#include "skin/compositor/look.h"
#include "skin/floor/geometry.h"

namespace skin {

// The GDI+ fonts made from the children's LOGFONTs, and the one string format their texts are laid out with:
// made at first use and kept by the face they are drawn into, so a text drawn again makes nothing.
struct TextTools {
    std::vector<std::pair<LOGFONTA, std::unique_ptr<gfx::FontObject>>> fonts;
    std::unique_ptr<gfx::StringFormatObject> format;
};

// Draws the part `area` of the face `look` describes into `frame`, a bitmap of the look's size: the part is
// made transparent, then the back image (never stretched) and every child that meets the part, top of the
// z-order first, are drawn clipped to it. Hidden children are drawn too: the system never shows a layered
// window's children, so visibility says nothing about the face. False when anything could not be drawn (a part
// then leaves the frame as it was; the whole face may leave it half-drawn).
bool DrawFace(Gdiplus::GpBitmap* frame, const FaceLook& look, const IntRect& area, TextTools* tools);

// One child's face through `graphics`: a text box's back colour, the face image placed by its back type, then
// a text box's border and text. False when any part could not be drawn.
bool DrawChildLook(Gdiplus::GpGraphics* graphics, const ChildLook& look, TextTools* tools);

}  // namespace skin
