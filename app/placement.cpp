#include "app/placement.h"

#include "base/saturate.h"

namespace app {

using base::TruncateToInt32;

Position MainWindowPosition(const DisplayInfo& screen, int32_t mainWidth, int32_t mainHeight) {
    double left = static_cast<double>(screen.screenWidth) - mainWidth;
    double top = static_cast<double>(screen.screenHeight) - mainHeight - 50.0;
    return {TruncateToInt32(left), TruncateToInt32(top)};
}

Position WebPanelPosition(const DisplayInfo& screen, int32_t mainWidth, int32_t mainHeight, int32_t panelWidth) {
    double left = static_cast<double>(screen.screenWidth) - mainWidth - panelWidth;
    double top = static_cast<double>(screen.screenHeight) - mainHeight - 60.0;
    return {TruncateToInt32(left), TruncateToInt32(top)};
}

Position CountdownPosition(const DisplayInfo& screen, int32_t width, int32_t height) {
    double left = static_cast<double>(screen.screenWidth) - width + 175.0;
    double top = static_cast<double>(screen.screenHeight) - height - 160.0;
    return {TruncateToInt32(left), TruncateToInt32(top)};
}

}  // namespace app
