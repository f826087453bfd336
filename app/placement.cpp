#include "app/placement.h"

#include "base/saturate.h"

namespace app {

using base::TruncateToInt32;

namespace {

// The strip reaches this far past the right edge of the screen.
constexpr double kStripPastScreen = 175.0;

struct Shift {
    double x = 0;
    double y = 0;
};

// The least move along one axis that brings [start, start + size) inside [low, high); the low edge wins when
// the span is larger.
double AxisShift(double start, double size, double low, double high) {
    double shift = 0;
    if (start + size > high)
        shift = high - (start + size);
    if (start + shift < low)
        shift = low - start;
    return shift;
}

Shift ShiftInside(const Area& area, double left, double top, double width, double height) {
    if (area.right <= area.left || area.bottom <= area.top)
        return {};
    return {AxisShift(left, width, area.left, area.right), AxisShift(top, height, area.top, area.bottom)};
}

Shift MainWindowShift(const DisplayInfo& screen, const Area& workArea, int32_t mainWidth, int32_t mainHeight) {
    const Position main = MainWindowPosition(screen, mainWidth, mainHeight);
    return ShiftInside(workArea, main.left, main.top, mainWidth, mainHeight);
}

// `p` moved with MainWindow, then by the least that brings a box of that size inside the work area.
Position FollowMainWindow(Position p, const Shift& withMain, const Area& workArea, double width, double height) {
    const double left = p.left + withMain.x;
    const double top = p.top + withMain.y;
    const Shift own = ShiftInside(workArea, left, top, width, height);
    return {TruncateToInt32(left + own.x), TruncateToInt32(top + own.y)};
}

}  // namespace

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
    double left = static_cast<double>(screen.screenWidth) - width + kStripPastScreen;
    double top = static_cast<double>(screen.screenHeight) - height - 160.0;
    return {TruncateToInt32(left), TruncateToInt32(top)};
}

Position MainWindowPosition(const DisplayInfo& screen, const Area& workArea, int32_t mainWidth, int32_t mainHeight) {
    const Position main = MainWindowPosition(screen, mainWidth, mainHeight);
    return FollowMainWindow(main, {}, workArea, mainWidth, mainHeight);
}

Position WebPanelPosition(const DisplayInfo& screen,
                          const Area& workArea,
                          int32_t mainWidth,
                          int32_t mainHeight,
                          int32_t panelWidth,
                          int32_t panelHeight) {
    return FollowMainWindow(WebPanelPosition(screen, mainWidth, mainHeight, panelWidth),
                            MainWindowShift(screen, workArea, mainWidth, mainHeight), workArea, panelWidth,
                            panelHeight);
}

Position CountdownPosition(const DisplayInfo& screen,
                           const Area& workArea,
                           int32_t mainWidth,
                           int32_t mainHeight,
                           int32_t width,
                           int32_t height) {
    const double onScreen = width > kStripPastScreen ? width - kStripPastScreen : 0.0;
    return FollowMainWindow(CountdownPosition(screen, width, height),
                            MainWindowShift(screen, workArea, mainWidth, mainHeight), workArea, onScreen, height);
}

}  // namespace app
