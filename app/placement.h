#pragma once
// Where the three windows are parked, from the screen size and the windows' sizes. Positions are computed in
// double precision and truncated toward zero. Portable: no windows.h.

#include <cstdint>

namespace app {

// A 16-byte record of the primary display, filled by GetDisplayInfo (app/display.h).
struct DisplayInfo {
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t bitsPerPixel = 0;
    int32_t refreshRate = 0;
};
static_assert(sizeof(DisplayInfo) == 16);

struct Position {
    int32_t left;
    int32_t top;
    bool operator==(const Position&) const = default;
};

// Flush with the right edge of the screen, its bottom 50 pixels above the screen's bottom.
Position MainWindowPosition(const DisplayInfo& screen, int32_t mainWidth, int32_t mainHeight);

// Directly left of MainWindow, its top 10 pixels above MainWindow's.
Position WebPanelPosition(const DisplayInfo& screen, int32_t mainWidth, int32_t mainHeight, int32_t panelWidth);

// Across MainWindow's top edge, reaching 175 pixels past the right edge of the screen.
Position CountdownPosition(const DisplayInfo& screen, int32_t width, int32_t height);

// A part of the screen: the work area is what the taskbar and other desktop toolbars leave free.
struct Area {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The same places kept inside the work area. Where MainWindow's place above lies inside, nothing moves;
// otherwise MainWindow moves by the least that brings it inside, and the strip and the panel move with it,
// so that they stay across its top edge and to its left; then each of them moves by the least that brings it
// inside in turn. Of the strip only the part that lies on the screen at its place above counts (its width
// less the 175 pixels past the screen's edge). A window larger than the work area has its left and top edges
// in it; an empty work area moves nothing.
Position MainWindowPosition(const DisplayInfo& screen, const Area& workArea, int32_t mainWidth, int32_t mainHeight);
Position WebPanelPosition(const DisplayInfo& screen,
                          const Area& workArea,
                          int32_t mainWidth,
                          int32_t mainHeight,
                          int32_t panelWidth,
                          int32_t panelHeight);
Position CountdownPosition(const DisplayInfo& screen,
                           const Area& workArea,
                           int32_t mainWidth,
                           int32_t mainHeight,
                           int32_t width,
                           int32_t height);

}  // namespace app
