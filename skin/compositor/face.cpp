#include "skin/compositor/face.h"

#include <algorithm>
#include <new>

#include "gfx/sysapi.h"
#include "skin/compositor/look.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

KeptFace* FindFace(HWND window) {
    return window ? GetSkinPointer<KeptFace>(window, key::kSurface) : nullptr;
}

KeptFace* FaceAtSize(HWND window, int width, int height) {
    if (width <= 0 || height <= 0 || !sys::IsWindow(window))
        return nullptr;
    KeptFace* face = FindFace(window);
    if (!face) {
        if (GetSkinProp(window, key::kWndProc) == 0 && GetSkinProp(window, key::kChildWndProc) == 0)
            return nullptr;
        face = new (std::nothrow) KeptFace();
        if (!face)
            return nullptr;
        // Bookkeeping, not a change of look: written without marking anything.
        sys::SetPropA(window, key::kSurface, reinterpret_cast<HANDLE>(face));
    }
    if (face->width == width && face->height == height && face->frame && face->surface.bits)
        return face;
    face->width = face->height = 0;
    face->frame.reset();
    face->caretLine = {};
    Gdiplus::GpBitmap* frame = nullptr;
    // No pixel buffer given: GDI+ allocates one cleared to transparent black.
    sys::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &frame);
    face->frame.reset(frame);
    if (!face->frame || !MakeSurfaceDib(face->surface, width, height)) {
        face->frame.reset();
        return nullptr;
    }
    face->width = width;
    face->height = height;
    face->damage = {0, 0, width, height};
    return face;
}

void ReleaseFace(HWND window) {
    delete FindFace(window);
    sys::RemovePropA(window, key::kSurface);
}

}  // namespace skin
