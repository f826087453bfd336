#include "app/placement.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/window_defs.h"

namespace app {
namespace {

const DisplayInfo kScreen1024{1024, 768, 32, 60};

TEST(WindowPlaces, DesignSizesOn1024x768LandInTheBottomRightCorner) {
    const WindowDef* main = FindWindowDef(ids::kMainWindow);
    const WindowDef* panel = FindWindowDef(ids::kWebPanelWindow);
    const WindowDef* countdown = FindWindowDef(ids::kCountdownWindow);
    ASSERT_TRUE(main && panel && countdown);

    EXPECT_EQ(MainWindowPosition(kScreen1024, main->width, main->height), (Position{896, 590}));
    EXPECT_EQ(WebPanelPosition(kScreen1024, main->width, main->height, panel->width), (Position{646, 580}));
    Position strip = CountdownPosition(kScreen1024, countdown->width, countdown->height);
    EXPECT_EQ(strip, (Position{904, 552}));
    // The strip reaches to x = 1199: only its left 120 pixels are on screen, over MainWindow's top 18 rows.
    EXPECT_EQ(strip.left + countdown->width, 1199);
    EXPECT_EQ(1024 - strip.left, 120);
    EXPECT_EQ(strip.top + countdown->height - 590, 18);
}

// Each window keeps its place where it lies inside the work area; MainWindow moves by the least that brings it
// inside, the strip and the panel with it and then by their own least.
TEST(WindowPlaces, PlacesMoveByTheLeastThatBringsThemInsideTheWorkArea) {
    struct Case {
        const char* name;
        Area workArea;
        Position main, panel, strip;
    };
    const Case cases[] = {
        {"the whole screen", {0, 0, 1024, 768}, {896, 590}, {646, 580}, {904, 552}},
        {"none to be had", {}, {896, 590}, {646, 580}, {904, 552}},
        {"a taskbar 40 px high: only the panel's last rows", {0, 0, 1024, 728}, {896, 590}, {646, 573}, {904, 552}},
        {"a two-row taskbar", {0, 0, 1024, 688}, {896, 560}, {646, 533}, {904, 522}},
        {"a taskbar 60 px wide on the right", {0, 0, 964, 768}, {836, 590}, {586, 580}, {844, 552}},
        {"a taskbar on the top or the left", {60, 40, 1024, 768}, {896, 590}, {646, 580}, {904, 552}},
        {"a work area smaller than MainWindow", {10, 20, 100, 100}, {10, 20}, {10, 20}, {10, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Position main = MainWindowPosition(kScreen1024, c.workArea, 128, 128);
        const Position strip = CountdownPosition(kScreen1024, c.workArea, 128, 128, 295, 56);
        EXPECT_EQ(main, c.main);
        EXPECT_EQ(WebPanelPosition(kScreen1024, c.workArea, 128, 128, 250, 155), c.panel);
        EXPECT_EQ(strip, c.strip);
        if (c.workArea.right - c.workArea.left >= 250) {
            // The strip's left 120 pixels lie inside, and it stays over MainWindow's top edge.
            EXPECT_LE(strip.left + 120, c.workArea.right);
            EXPECT_EQ(strip.left - main.left, 8);
            EXPECT_EQ(strip.top + 56 - main.top, 18);
        }
    }
}

TEST(WindowPlaces, NoScreenGivesZerosAndPlacesWindowsOffTheTopLeft) {
    const DisplayInfo none{};
    EXPECT_EQ(MainWindowPosition(none, 128, 128), (Position{-128, -178}));
    EXPECT_EQ(WebPanelPosition(none, 128, 128, 250), (Position{-378, -188}));
    EXPECT_EQ(CountdownPosition(none, 295, 56), (Position{-120, -216}));
}

TEST(WindowPlaces, ExtremeScreenValuesSaturateInsteadOfOverflowing) {
    const DisplayInfo huge{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(), 0, 0};
    EXPECT_EQ(MainWindowPosition(huge, std::numeric_limits<int32_t>::max(), 128).left,
              std::numeric_limits<int32_t>::min());
}

TEST(WindowDefs, ControlsKeepTheirGeometryAndIdsClassBytes) {
    for (const WindowDef& w : AllWindowDefs()) {
        EXPECT_EQ(w.id >> 24, 0x52u) << w.name;
        EXPECT_EQ(w.element >> 24, 0x06u) << w.name;
        EXPECT_TRUE(w.topmost && !w.inTaskbar && w.escCloses) << w.name;
        for (const ControlDef& c : w.controls)
            EXPECT_EQ(c.id >> 24, 0x16u) << c.name;
    }
    const ControlDef* entry = FindControlDef(ids::kMainWindow, ids::kTimeEntryEdit);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->left, 16);
    EXPECT_EQ(entry->top, 35);
    EXPECT_STREQ(entry->content,
                 "\xCA\xB1\xBC\xE4\xB8\xF1\xCA\xBD"
                 "00:00:00");
    EXPECT_EQ(FindControlDef(ids::kCountdownWindow, ids::kTimeEntryEdit), nullptr);
    EXPECT_EQ(FindWindowDef(0x52000000), nullptr);
}

TEST(WindowDefs, TimersStartWithTheirPeriods) {
    EXPECT_EQ(FindControlDef(ids::kMainWindow, ids::kClockTimer)->interval, 1000);
    EXPECT_EQ(FindControlDef(ids::kMainWindow, ids::kCountdownTimer)->interval, 0);
}

}  // namespace
}  // namespace app
