#pragma once
// Real windows and real GDI+ bitmaps for the composition tests: top-level windows whose window rectangle
// equals their client area, typed children, solid images, and pixels read back.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace composetest {

inline void StartGdiplusOnce() {
    static const bool started = (gfx::StartGraphicsSession(), true);
    (void)started;
}

inline const char* TopClassName() {
    static const char* const name = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OcComposeTestTop";
        RegisterClassExA(&wc);
        return "OcComposeTestTop";
    }();
    return name;
}

// A borderless popup at (200, 150): its window rectangle is its client area.
class TopWindow {
  public:
    TopWindow(int width, int height, DWORD exStyle = 0, bool visible = false) {
        StartGdiplusOnce();
        hwnd_ = CreateWindowExA(exStyle, TopClassName(), "", WS_POPUP | (visible ? WS_VISIBLE : 0), 200, 150, width,
                                height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        // A layered window runs the engine's parent procedure, as SkinWindow::Attach leaves it: only such a
        // window keeps a face.
        if (exStyle & WS_EX_LAYERED)
            skin::SubclassForRelease(hwnd_);
    }
    TopWindow(const TopWindow&) = delete;
    TopWindow& operator=(const TopWindow&) = delete;
    ~TopWindow() {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    HWND get() const { return hwnd_; }

  private:
    HWND hwnd_ = nullptr;
};

inline HWND MakeChild(HWND parent, int x, int y, int width, int height, bool visible = true, const char* text = "") {
    return CreateWindowExA(0, "STATIC", text, WS_CHILD | (visible ? WS_VISIBLE : 0), x, y, width, height, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline void SetProp32(HWND window, const char* key, uint32_t value) {
    skin::SetSkinProp(window, key, static_cast<intptr_t>(value));
}

// A PngControl child as the layered binding leaves it, but with no fill and no border unless a test asks.
inline HWND MakePngChild(HWND parent, int x, int y, int width, int height) {
    HWND child = MakeChild(parent, x, y, width, height);
    SetProp32(child, skin::key::kType, skin::kSkinPngControl);
    SetProp32(child, skin::key::kBackColor, skin::kNoColor);
    SetProp32(child, skin::key::kBackAlpha, 255);
    SetProp32(child, skin::key::kOrderColor, skin::kNoColor);
    SetProp32(child, skin::key::kOrderAlpha, 255);
    return child;
}

// Paints an opaque colour over part of an image.
inline void FillImageRect(Gdiplus::GpImage* image, uint32_t argb, int x, int y, int width, int height) {
    gfx::UniqueGpGraphics g;
    sys::GdipGetImageGraphicsContext(image, g.put());
    Gdiplus::GpSolidFill* brush = nullptr;
    sys::GdipCreateSolidFill(argb, &brush);
    sys::GdipFillRectangleI(g.get(), brush, x, y, width, height);
    sys::GdipDeleteBrush(brush);
}

inline gfx::UniqueGpImage SolidImage(int width, int height, uint32_t argb) {
    StartGdiplusOnce();
    Gdiplus::GpBitmap* bitmap = nullptr;
    sys::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    gfx::UniqueGpImage image(bitmap);
    gfx::UniqueGpGraphics g;
    if (image)
        sys::GdipGetImageGraphicsContext(image.get(), g.put());
    if (g)
        Gdiplus::DllExports::GdipGraphicsClear(g.get(),
                                               argb);  // sets the pixels: a translucent colour arrives unchanged
    return image;
}

inline uint32_t PixelAt(Gdiplus::GpImage* image, int x, int y) {
    Gdiplus::ARGB c = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), x, y, &c);
    return c;
}

inline uint32_t Alpha(uint32_t argb) {
    return argb >> 24;
}
inline uint32_t Red(uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
inline uint32_t Green(uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
inline uint32_t Blue(uint32_t argb) {
    return argb & 0xFF;
}

inline void ImageSize(Gdiplus::GpImage* image, UINT& width, UINT& height) {
    width = height = 0;
    sys::GdipGetImageWidth(image, &width);
    sys::GdipGetImageHeight(image, &height);
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Every pixel of `image` for which `match` holds, as (x, y) pairs.
template <typename Match>
std::vector<POINT> PixelsWhere(Gdiplus::GpImage* image, Match match) {
    UINT w = 0, h = 0;
    ImageSize(image, w, h);
    std::vector<POINT> found;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            if (match(PixelAt(image, static_cast<int>(x), static_cast<int>(y))))
                found.push_back({static_cast<LONG>(x), static_cast<LONG>(y)});
    return found;
}

}  // namespace composetest
