#include "skin/floor/codes.h"
#include "skin/floor/geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "skin/floor/keys.h"

namespace skin {
namespace {

TEST(FitSize, ShrinksWideImageToBoxWidthKeepingAspect) {
    EXPECT_EQ(FitSize(200, 100, 100, 100), (IntSize{100, 50}));
}

TEST(FitSize, ShrinksTallImageToBoxHeightKeepingAspect) {
    EXPECT_EQ(FitSize(100, 300, 200, 150), (IntSize{50, 150}));
}

TEST(FitSize, NeverEnlargesASmallImage) {
    EXPECT_EQ(FitSize(40, 30, 101, 50), (IntSize{40, 30}));
}

TEST(FitSize, EqualSizesAreLeftAlone) {
    EXPECT_EQ(FitSize(50, 50, 50, 50), (IntSize{50, 50}));
}

TEST(FitSize, AppliesBothStepsWhenWidthShrinkStillLeavesItTooTall) {
    // 300x200 into 150x60: width step gives 150x100, height step 90x60.
    EXPECT_EQ(FitSize(300, 200, 150, 60), (IntSize{90, 60}));
}

TEST(FitSize, TruncatesTowardZero) {
    // 200x99 into 100 wide: 49.5 -> 49.
    EXPECT_EQ(FitSize(200, 99, 100, 100), (IntSize{100, 49}));
}

TEST(FitSize, DegenerateSizesDoNotDivideByZero) {
    EXPECT_EQ(FitSize(0, 0, 10, 10), (IntSize{0, 0}));
    EXPECT_EQ(FitSize(10, 10, 0, 0), (IntSize{0, 0}));
    // A negative box divides by a zero-wide image: the width takes the box's, the height stays defined.
    IntSize s = FitSize(0, 5, -1, -1);
    EXPECT_EQ(s.width, -1);
    EXPECT_LE(s.height, 0);
    EXPECT_EQ(FitSize(INT_MAX, INT_MAX, 1, INT_MAX), (IntSize{1, 1}));
}

TEST(PlaceImage, FitCentresTheShrunkImage) {
    EXPECT_EQ(PlaceImage(kBackFit, 200, 100, 100, 100), (ImagePlace{0, 25, 100, 50, false}));
    EXPECT_EQ(PlaceImage(kBackFit, 100, 300, 200, 150), (ImagePlace{75, 0, 50, 150, false}));
    EXPECT_EQ(PlaceImage(kBackFit, 40, 30, 101, 50), (ImagePlace{30, 10, 40, 30, false}));
    EXPECT_EQ(PlaceImage(kBackFit, 200, 100, 50, 50), (ImagePlace{0, 12, 50, 25, false}));
}

TEST(PlaceImage, StretchFillsTheBoxWhateverTheProportions) {
    EXPECT_EQ(PlaceImage(kBackStretch, 10, 300, 64, 20), (ImagePlace{0, 0, 64, 20, false}));
}

TEST(PlaceImage, NaturalSizeKeepsOwnSizeAndMarksLargerImagesCropped) {
    EXPECT_EQ(PlaceImage(kBackNaturalSize, 40, 20, 50, 30), (ImagePlace{0, 0, 40, 20, false}));
    EXPECT_EQ(PlaceImage(kBackNaturalSize, 60, 20, 50, 30), (ImagePlace{0, 0, 60, 20, true}));
    EXPECT_EQ(PlaceImage(kBackNaturalSize, 50, 31, 50, 30), (ImagePlace{0, 0, 50, 31, true}));
}

TEST(PlaceImage, UnknownBackTypeIsNaturalSize) {
    EXPECT_EQ(PlaceImage(7, 60, 20, 50, 30), PlaceImage(kBackNaturalSize, 60, 20, 50, 30));
    EXPECT_EQ(PlaceImage(-1, 10, 10, 50, 30), (ImagePlace{0, 0, 10, 10, false}));
}

TEST(StateImageKey, EachStatePicksItsFaceAndUnknownStatesTheNormalFace) {
    EXPECT_STREQ(StateImageKey(kStateNormal), "PngControl_NormalImage");
    EXPECT_STREQ(StateImageKey(kStateHover), "PngControl_OverlImage");
    EXPECT_STREQ(StateImageKey(kStateDown), "PngControl_DownImage");
    EXPECT_STREQ(StateImageKey(kStateDisabled), "PngControl_DisableImage");
    EXPECT_STREQ(StateImageKey(7), "PngControl_NormalImage");
    EXPECT_STREQ(StateImageKey(-1), "PngControl_NormalImage");
}

TEST(ClampAlpha, KeepsRangeAndClampsBothEnds) {
    EXPECT_EQ(ClampAlpha(300), 255);
    EXPECT_EQ(ClampAlpha(-5), 0);
    EXPECT_EQ(ClampAlpha(0), 0);
    EXPECT_EQ(ClampAlpha(128), 128);
    EXPECT_EQ(ClampAlpha(255), 255);
    EXPECT_EQ(ClampAlpha(INT_MIN), 0);
    EXPECT_EQ(ClampAlpha(INT_MAX), 255);
}

constexpr IntRect kCurrent{30, 40, 80, 25};

TEST(PlanMove, NothingGivenKeepsPlacementWithFlags7) {
    MovePlan p = PlanMove({}, kCurrent);
    EXPECT_EQ(p.flags, 0x0007u);
    EXPECT_EQ(p.rect, kCurrent);
}

TEST(PlanMove, LeftOnlyMovesHorizontallyAndKeepsTheRest) {
    MovePlan p = PlanMove({.left = 10}, kCurrent);
    EXPECT_EQ(p.flags, kSwpNoZOrder | kSwpNoSize);
    EXPECT_EQ(p.rect, (IntRect{10, 40, 80, 25}));
}

TEST(PlanMove, WidthOnlyResizesWithFlags6) {
    MovePlan p = PlanMove({.width = 50}, kCurrent);
    EXPECT_EQ(p.flags, 0x0006u);
    EXPECT_EQ(p.rect, (IntRect{30, 40, 50, 25}));
}

TEST(PlanMove, ZeroCountsAsGiven) {
    MovePlan p = PlanMove({.top = 0, .height = 0}, kCurrent);
    EXPECT_EQ(p.flags, kSwpNoZOrder);
    EXPECT_EQ(p.rect, (IntRect{30, 0, 80, 0}));
}

TEST(PlanMove, NoRedrawOnlyWhenGivenAndTrue) {
    EXPECT_EQ(PlanMove({.noRedraw = true}, kCurrent).flags, 0x000Fu);
    EXPECT_EQ(PlanMove({.noRedraw = false}, kCurrent).flags, 0x0007u);
}

TEST(ToolTipFlags, CentredTipAddsCenterTipToSubclass) {
    EXPECT_EQ(ToolTipFlags(true), 0x10u);
    EXPECT_EQ(ToolTipFlags(false), 0x12u);
}

TEST(FrameOffset, HalfTheFrameOnEachSideTruncated) {
    EXPECT_EQ(FrameOffset(100, 30, 96, 26), (IntSize{2, 2}));
    EXPECT_EQ(FrameOffset(100, 30, 97, 30), (IntSize{1, 0}));
    EXPECT_EQ(FrameOffset(10, 10, 13, 10), (IntSize{-1, 0}));
}

TEST(EditCodeNeedsRepaint, ChangeAndScrollsOnly) {
    EXPECT_TRUE(EditCodeNeedsRepaint(0x0300));
    EXPECT_TRUE(EditCodeNeedsRepaint(0x0601));
    EXPECT_TRUE(EditCodeNeedsRepaint(0x0602));
    EXPECT_FALSE(EditCodeNeedsRepaint(0x0100));  // EN_SETFOCUS
    EXPECT_FALSE(EditCodeNeedsRepaint(0x0400));  // EN_UPDATE
    EXPECT_FALSE(EditCodeNeedsRepaint(0));
}

TEST(ButtonStates, FollowTheStateTable) {
    EXPECT_FALSE(MouseMoveEntersButton(kStateHover));
    EXPECT_FALSE(MouseMoveEntersButton(kStateDown));
    EXPECT_TRUE(MouseMoveEntersButton(kStateNormal));
    EXPECT_TRUE(MouseMoveEntersButton(kStateDisabled));
    EXPECT_TRUE(MouseMoveEntersButton(7));
    EXPECT_EQ(StateAfterButtonUp(kStateDown, true), kStateHover);
    EXPECT_EQ(StateAfterButtonUp(kStateDown, false), kStateNormal);  // dragged off, released elsewhere
    for (bool over : {true, false}) {
        EXPECT_EQ(StateAfterButtonUp(kStateHover, over), kStateNormal);
        EXPECT_EQ(StateAfterButtonUp(kStateNormal, over), kStateNormal);
        EXPECT_EQ(StateAfterButtonUp(kStateDisabled, over), kStateDisabled);
    }
    EXPECT_EQ(StateAfterLeave(kStateHover), kStateNormal);
    EXPECT_EQ(StateAfterLeave(kStateDown), kStateNormal);
    EXPECT_EQ(StateAfterLeave(kStateDisabled), kStateDisabled);
    EXPECT_EQ(StateAfterEnable(true), kStateNormal);
    EXPECT_EQ(StateAfterEnable(false), kStateDisabled);
}

// The damage of a face: unions that ignore empty parts, and clipping to the face.
TEST(FaceRects, UniteIgnoresEmptyPartsAndClipKeepsOnlyWhatLiesOnTheFace) {
    const IntRect a{10, 10, 20, 5};
    EXPECT_EQ(UniteRects(a, {}), a);
    EXPECT_EQ(UniteRects({0, 0, 0, 9}, a), a);
    EXPECT_EQ(UniteRects(a, {0, 30, 5, 5}), (IntRect{0, 10, 30, 25}));
    EXPECT_EQ(UniteRects({INT_MIN, 0, 1, 1}, {INT_MAX - 1, 0, 1, 1}).width, INT_MAX) << "saturates";
    EXPECT_EQ(ClipToFace({-5, -5, 20, 20}, 10, 8), (IntRect{0, 0, 10, 8}));
    EXPECT_EQ(ClipToFace({3, 2, 4, 4}, 10, 8), (IntRect{3, 2, 4, 4}));
    EXPECT_EQ(ClipToFace({10, 0, 5, 5}, 10, 8), IntRect{});
    EXPECT_EQ(ClipToFace({INT_MAX, INT_MAX, INT_MAX, INT_MAX}, 10, 8), IntRect{});
    EXPECT_EQ(FaceExtent({4, 5, 10, 20}), (IntRect{4, 5, 11, 21}));
    EXPECT_EQ(FaceExtent({0, 0, INT_MAX, INT_MAX}), (IntRect{0, 0, INT_MAX, INT_MAX})) << "saturates";
    EXPECT_TRUE(RectHolds({0, 0, 10, 10}, {2, 2, 8, 8}));
    EXPECT_FALSE(RectHolds({0, 0, 10, 10}, {2, 2, 9, 8}));
    EXPECT_TRUE(RectHolds({}, {}));
    EXPECT_FALSE(RectHolds({}, {1, 1, 1, 1}));
    EXPECT_FALSE(RectHolds({0, 0, INT_MAX, 1}, {INT_MAX - 1, 0, 2, 1}));
}

TEST(FaceRects, OnlyWritesOfWhatAFaceIsDrawnFromChangeIt) {
    const struct {
        const char* key;
        KeyEffect effect;
    } cases[] = {
        {key::kBackImage, KeyEffect::kAlways},
        {key::kDownImage, KeyEffect::kAlways},
        {key::kDrawState, KeyEffect::kWhenChanged},
        {key::kTextColor, KeyEffect::kWhenChanged},
        {key::kOrderAlpha, KeyEffect::kWhenChanged},
        {key::kType, KeyEffect::kWhenChanged},
        {key::kToolTips, KeyEffect::kNone},
        {key::kSurface, KeyEffect::kNone},
        {key::kWndProc, KeyEffect::kNone},
        {"SomebodyElse_Key", KeyEffect::kUnknown},
        {nullptr, KeyEffect::kUnknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EffectOfKey(c.key), c.effect) << (c.key ? c.key : "null");
}

}  // namespace
}  // namespace skin
