#include "skin/compositor/present.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "gfx/sysapi.h"

namespace skin {

LayeredSurface::~LayeredSurface() {
    if (dc && dcOwnBitmap)
        sys::SelectObject(dc.get(), dcOwnBitmap);
}

bool MakeSurfaceDib(LayeredSurface& s, int width, int height) {
    s.bits = nullptr;
    s.width = s.height = 0;
    if (!s.dc) {
        s.dc.reset(sys::CreateCompatibleDC(nullptr));
        if (!s.dc)
            return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    gfx::UniqueBitmap dib(sys::CreateDIBSection(s.dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits)
        return false;
    HGDIOBJ previous = sys::SelectObject(s.dc.get(), dib.get());
    if (!s.dcOwnBitmap)
        s.dcOwnBitmap = previous;
    s.bitmap = std::move(dib);  // the old DIB, no longer selected, goes here
    s.bits = static_cast<uint32_t*>(bits);
    s.width = width;
    s.height = height;
    return true;
}

bool CopyImagePart(Gdiplus::GpImage* image, LayeredSurface& surface, const IntRect& area) {
    const IntRect part = ClipToFace(area, surface.width, surface.height);
    if (IsEmptyRect(part))
        return true;
    // GDI+ converts to premultiplied while it locks.
    const Gdiplus::Rect locked(part.left, part.top, part.width, part.height);
    Gdiplus::BitmapData data{};
    if (sys::GdipBitmapLockBits(static_cast<Gdiplus::GpBitmap*>(image), &locked, Gdiplus::ImageLockModeRead,
                                PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return false;
    for (int y = 0; y < part.height; ++y)
        std::memcpy(surface.bits + static_cast<size_t>(surface.height - 1 - part.top - y) * surface.width + part.left,
                    static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    static_cast<size_t>(part.width) * 4);
    sys::GdipBitmapUnlockBits(static_cast<Gdiplus::GpBitmap*>(image), &data);
    return true;
}

void CopyWholeImage(Gdiplus::GpImage* image, LayeredSurface& surface) {
    UINT iw = 0, ih = 0;
    sys::GdipGetImageWidth(image, &iw);
    sys::GdipGetImageHeight(image, &ih);
    const int cw = std::min(static_cast<int>(iw), surface.width);
    const int ch = std::min(static_cast<int>(ih), surface.height);
    std::memset(surface.bits, 0, static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height) * 4);
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    sys::GdipGetImageType(image, &type);
    if (cw > 0 && ch > 0 && type == Gdiplus::ImageTypeBitmap && CopyImagePart(image, surface, {0, 0, cw, ch}))
        return;
    // An image GDI+ cannot lock (a metafile, say) is drawn instead.
    gfx::UniqueGpGraphics g;
    sys::GdipCreateFromHDC(surface.dc.get(), g.put());
    if (g)
        sys::GdipDrawImageRect(g.get(), image, 0, 0, static_cast<Gdiplus::REAL>(iw), static_cast<Gdiplus::REAL>(ih));
}

bool ShowSurface(HWND window,
                 LayeredSurface& surface,
                 Gdiplus::GpImage* frame,
                 const IntRect& area,
                 const IntRect& dirty) {
    if (frame && !CopyImagePart(frame, surface, area))
        return false;
    sys::GdiFlush();
    POINT source{0, 0};
    SIZE size{surface.width, surface.height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const IntRect part = ClipToFace(dirty, surface.width, surface.height);
    const RECT changed{part.left, part.top, part.left + part.width, part.top + part.height};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.psize = &size;
    info.hdcSrc = surface.dc.get();
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = IsEmptyRect(part) ? nullptr : &changed;
    return sys::UpdateLayeredWindowIndirect(window, &info) != FALSE;
}

}  // namespace skin
