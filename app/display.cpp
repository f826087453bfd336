#include "app/display.h"

#include <windows.h>

#include "gfx/holders.h"

namespace app {

std::unique_ptr<DisplayInfo> GetDisplayInfo() {
    auto info = std::make_unique<DisplayInfo>();
    gfx::WindowDc screen(nullptr, gfx::WindowDc::Area::kClient);
    if (!screen.get())
        return info;
    info->screenWidth = GetDeviceCaps(screen.get(), HORZRES);
    info->screenHeight = GetDeviceCaps(screen.get(), VERTRES);
    info->bitsPerPixel = GetDeviceCaps(screen.get(), BITSPIXEL);
    info->refreshRate = GetDeviceCaps(screen.get(), VREFRESH);
    return info;
}

Area GetWorkArea() {
    RECT r{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0))
        return {};
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace app
