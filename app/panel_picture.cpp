#include "app/panel_picture.h"

#include "assets/embedded_images.h"
#include "gfx/graphics.h"
#include "gfx/sysapi.h"

namespace app {

gfx::UniqueBrush CreatePanelPictureBrush() {
    gfx::UniqueGpImage image = gfx::LoadImageFromMemory(assets::kPanelPicture);
    if (!image)
        return {};
    gfx::UniqueBitmap bitmap;
    sys::GdipCreateHBITMAPFromBitmap(static_cast<Gdiplus::GpBitmap*>(image.get()), bitmap.put(), 0xFFFFFFFF);
    if (!bitmap)
        return {};
    // A pattern brush keeps its own copy of the bitmap; filling with it from origin (0, 0) tiles the picture.
    return gfx::UniqueBrush(CreatePatternBrush(bitmap.get()));
}

}  // namespace app
