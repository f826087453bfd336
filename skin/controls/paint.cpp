#include "skin/controls/paint.h"

#include <optional>

#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/compositor/look.h"
#include "skin/floor/geometry.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

void PaintControl(HWND window, HDC dc) {
    auto cache = reinterpret_cast<HBITMAP>(GetSkinProp(window, key::kCacheBitmap));
    if (!cache)
        return;
    RECT r{};
    sys::GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;

    // Without a DC of the caller's, the window's own whole-window DC.
    std::optional<gfx::WindowDc> own;
    if (!dc)
        own.emplace(window);
    HDC target = dc ? dc : own->get();
    {
        // Composed off screen so that the window never shows a half-drawn face.
        gfx::UniqueMemoryDC memory(sys::CreateCompatibleDC(target));
        gfx::UniqueBitmap surface(sys::CreateCompatibleBitmap(target, w, h));
        gfx::ScopedSelect selected(memory.get(), surface.get());
        gfx::UniqueGpGraphics graphics;
        sys::GdipCreateFromHDC(memory.get(), graphics.put());

        Gdiplus::GpBitmap* snapshot = nullptr;
        sys::GdipCreateBitmapFromHBITMAP(cache, nullptr, &snapshot);
        gfx::UniqueGpImage background(snapshot);
        if (graphics && background)
            sys::GdipDrawImageRect(graphics.get(), background.get(), 0, 0, static_cast<Gdiplus::REAL>(w),
                                   static_cast<Gdiplus::REAL>(h));

        Gdiplus::GpImage* face = GetStateImage(window, GetSkinCode(window, key::kDrawState));
        if (face && graphics) {
            Gdiplus::REAL iw = 0, ih = 0;
            sys::GdipGetImageDimension(face, &iw, &ih);
            // A natural-size face larger than the window is simply clipped by it.
            ImagePlace p = PlaceImage(GetSkinCode(window, key::kBackType), iw, ih, w, h);
            sys::GdipDrawImageRect(graphics.get(), face, static_cast<Gdiplus::REAL>(p.x),
                                   static_cast<Gdiplus::REAL>(p.y), static_cast<Gdiplus::REAL>(p.width),
                                   static_cast<Gdiplus::REAL>(p.height));
        }
        graphics.reset();  // flushes the drawing before the transfer
        sys::BitBlt(target, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace skin
