#include "skin/surface.h"

#include <cstring>
#include <new>
#include <utility>

#include "gfx/sysapi.h"
#include "skin/binding.h"
#include "skin/keys.h"
#include "skin/props.h"

namespace skin {

namespace {

bool MakeDib(LayeredSurface& s, int width, int height) {
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

}  // namespace

LayeredSurface::~LayeredSurface() {
    if (dc && dcOwnBitmap)
        sys::SelectObject(dc.get(), dcOwnBitmap);
}

LayeredSurface* FindSurface(HWND window) {
    return GetSkinPointer<LayeredSurface>(window, key::kSurface);
}

LayeredSurface* SurfaceAtSize(HWND window, int width, int height) {
    if (width <= 0 || height <= 0 || !sys::IsWindow(window))
        return nullptr;
    LayeredSurface* surface = FindSurface(window);
    if (!surface) {
        surface = new (std::nothrow) LayeredSurface();
        if (!surface)
            return nullptr;
        SetSkinProp(window, key::kSurface, reinterpret_cast<intptr_t>(surface));
        SubclassForRelease(window);
    }
    if (surface->width == width && surface->height == height && surface->bits)
        return surface;
    surface->shownKnown = false;
    if (!MakeDib(*surface, width, height)) {
        surface->bits = nullptr;
        surface->width = surface->height = 0;
        return nullptr;
    }
    return surface;
}

void ReleaseSurface(HWND window) {
    delete FindSurface(window);
    sys::RemovePropA(window, key::kSurface);
}

}  // namespace skin
