#include "app/display.h"

#include <windows.h>

namespace app {

std::unique_ptr<DisplayInfo> GetDisplayInfo() {
    auto info = std::make_unique<DisplayInfo>();
    HDC screen = GetDC(nullptr);
    if (!screen)
        return info;
    info->screenWidth = GetDeviceCaps(screen, HORZRES);
    info->screenHeight = GetDeviceCaps(screen, VERTRES);
    info->bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    info->refreshRate = GetDeviceCaps(screen, VREFRESH);
    ReleaseDC(nullptr, screen);
    return info;
}

}  // namespace app
