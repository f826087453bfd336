#include "app/placement.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/window_defs.h"

namespace app {
namespace {

const DisplayInfo kScreen1024{1024, 768, 32, 60};

TEST(PlacementTest, DesignSizesOn1024x768LandInTheBottomRightCorner) {
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

TEST(PlacementTest, NoScreenGivesZerosAndPlacesWindowsOffTheTopLeft) {
    const DisplayInfo none{};
    EXPECT_EQ(MainWindowPosition(none, 128, 128), (Position{-128, -178}));
    EXPECT_EQ(WebPanelPosition(none, 128, 128, 250), (Position{-378, -188}));
    EXPECT_EQ(CountdownPosition(none, 295, 56), (Position{-120, -216}));
}

TEST(PlacementTest, ExtremeScreenValuesSaturateInsteadOfOverflowing) {
    const DisplayInfo huge{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(), 0, 0};
    EXPECT_EQ(MainWindowPosition(huge, std::numeric_limits<int32_t>::max(), 128).left,
              std::numeric_limits<int32_t>::min());
}

TEST(WindowDefsTest, ControlsKeepTheirGeometryAndIdsClassBytes) {
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

TEST(WindowDefsTest, TimersStartWithTheirPeriods) {
    EXPECT_EQ(FindControlDef(ids::kMainWindow, ids::kClockTimer)->interval, 1000);
    EXPECT_EQ(FindControlDef(ids::kMainWindow, ids::kCountdownTimer)->interval, 0);
}

}  // namespace
}  // namespace app
