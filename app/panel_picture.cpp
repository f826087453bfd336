#include "app/panel_picture.h"

#include "assets/embedded_images.h"
#include "gfx/graphics.h"
#include "gfx/sysapi.h"

namespace app {

HBRUSH CreatePanelPictureBrush() {
    Gdiplus::GpImage* image = gfx::LoadImageFromMemory(assets::kPanelPicture);
    if (!image)
        return nullptr;
    HBITMAP bitmap = nullptr;
    sys::GdipCreateHBITMAPFromBitmap(static_cast<Gdiplus::GpBitmap*>(image), &bitmap, 0xFFFFFFFF);
    sys::GdipDisposeImage(image);
    if (!bitmap)
        return nullptr;
    // A pattern brush keeps its own copy of the bitmap; filling with it from origin (0, 0) tiles the picture.
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

}  // namespace app
