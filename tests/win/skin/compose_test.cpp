// Composition of layered skin windows, checked on the pixels of the composed ARGB image. Longer than 400
// lines: one file per skin header, as the tests mirror the program, and its cases share one fixture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "compose_fixture.h"
#include "gfx/fonts.h"
#include "skin/compositor/compose.h"

namespace {

using composetest::Alpha;
using composetest::Blue;
using composetest::Green;
using composetest::MakeChild;
using composetest::MakePngChild;
using composetest::PixelAt;
using composetest::Red;
using composetest::SetProp32;
using composetest::SolidImage;
using composetest::TopWindow;
namespace key = skin::key;

constexpr uint32_t kOpaqueRed = 0xFFFF0000;
constexpr uint32_t kOpaqueBlue = 0xFF0000FF;

gfx::UniqueGpImage Compose(HWND window) {
    return skin::ComposeToBitmap(window);
}

void SetImageProp(HWND window, const char* name, Gdiplus::GpImage* image) {
    skin::SetSkinProp(window, name, reinterpret_cast<intptr_t>(image));
}

TEST(ComposeToBitmap, WindowWithoutBackImageOrChildrenIsFullyTransparentAtWindowSize) {
    TopWindow top(40, 30);
    gfx::UniqueGpImage image = Compose(top.get());
    ASSERT_TRUE(image);
    UINT w = 0, h = 0;
    composetest::ImageSize(image.get(), w, h);
    EXPECT_EQ(w, 40u);
    EXPECT_EQ(h, 30u);
    EXPECT_TRUE(composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; }).empty());
}

TEST(ComposeToBitmap, BackImageIsDrawnAtItsOwnSizeAndTheRestStaysTransparent) {
    TopWindow top(60, 40);
    gfx::UniqueGpImage back = SolidImage(20, 10, kOpaqueRed);
    SetImageProp(top.get(), key::kBackImage, back.get());
    // The window's own back type is not consulted: the image is never stretched.
    SetProp32(top.get(), key::kBackType, skin::kBackStretch);
    gfx::UniqueGpImage image = Compose(top.get());
    ASSERT_TRUE(image);
    EXPECT_EQ(PixelAt(image.get(), 0, 0), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 19, 9), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 20, 0)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 0, 10)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 59, 39)), 0u);
}

TEST(ComposeToBitmap, TranslucentBackImageKeepsItsAlpha) {
    TopWindow top(20, 20);
    gfx::UniqueGpImage back = SolidImage(20, 20, 0x800000FF);
    SetImageProp(top.get(), key::kBackImage, back.get());
    gfx::UniqueGpImage image = Compose(top.get());
    const uint32_t c = PixelAt(image.get(), 10, 10);
    EXPECT_NEAR(static_cast<int>(Alpha(c)), 0x80, 1);
    EXPECT_NEAR(static_cast<int>(Blue(c)), 0xFF, 2);
    EXPECT_EQ(Red(c), 0u);
}

TEST(ComposeToBitmap, UntypedChildIsAbsentAndHiddenTypedChildIsPresent) {
    TopWindow top(80, 40);
    HWND untyped = MakeChild(top.get(), 0, 0, 30, 30);
    SetProp32(untyped, key::kBackColor, 0);  // would be black if it were drawn
    SetProp32(untyped, key::kBackAlpha, 255);
    HWND hidden = MakePngChild(top.get(), 40, 0, 30, 30);
    ShowWindow(hidden, SW_HIDE);
    SetProp32(hidden, key::kBackColor, 0);
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(Alpha(PixelAt(image.get(), 15, 15)), 0u);
    EXPECT_EQ(PixelAt(image.get(), 55, 15), 0xFF000000u);
}

TEST(ComposeToBitmap, ChildLaterInZOrderWalkPaintsOverEarlierOne) {
    TopWindow top(60, 30);
    HWND a = MakePngChild(top.get(), 0, 0, 40, 30);
    HWND b = MakePngChild(top.get(), 20, 0, 40, 30);
    SetProp32(a, key::kBackColor, 0x000000FF);  // red
    SetProp32(b, key::kBackColor, 0x00FF0000);  // blue
    HWND first = GetWindow(top.get(), GW_CHILD);
    const uint32_t laterColour = first == a ? kOpaqueBlue : kOpaqueRed;
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(PixelAt(image.get(), 30, 15), laterColour);
    EXPECT_EQ(PixelAt(image.get(), 5, 15), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 55, 15), kOpaqueBlue);
}

TEST(ComposeToBitmap, InvalidOrEmptyWindowGivesNoImage) {
    EXPECT_FALSE(skin::ComposeToBitmap(nullptr));
    HWND gone;
    {
        TopWindow top(10, 10);
        gone = top.get();
    }
    EXPECT_FALSE(skin::ComposeToBitmap(gone));
    TopWindow empty(0, 0);
    EXPECT_FALSE(skin::ComposeToBitmap(empty.get()));
}

// 0xFFFFFFFF is "no colour"; white (0x00FFFFFF) and black are colours like any other, opaque at alpha 255.
TEST(DrawChildFace, BackColourMinusOneFillsNothingAndBlackOrWhiteWithAlpha255FillOpaque) {
    TopWindow top(110, 30);
    HWND none = MakePngChild(top.get(), 0, 0, 30, 30);
    SetProp32(none, key::kBackColor, 0xFFFFFFFF);
    HWND black = MakePngChild(top.get(), 40, 0, 30, 30);
    SetProp32(black, key::kBackColor, 0);
    HWND white = MakePngChild(top.get(), 80, 0, 30, 30);
    SetProp32(white, key::kBackColor, 0x00FFFFFF);
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(Alpha(PixelAt(image.get(), 15, 15)), 0u);
    EXPECT_EQ(PixelAt(image.get(), 40, 0), 0xFF000000u);
    EXPECT_EQ(PixelAt(image.get(), 69, 29), 0xFF000000u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 70, 15)), 0u);
    EXPECT_EQ(PixelAt(image.get(), 80, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(image.get(), 109, 29), 0xFFFFFFFFu);
}

TEST(DrawChildFace, BackColourIsConvertedWithItsAlpha) {
    TopWindow top(30, 30);
    HWND child = MakePngChild(top.get(), 0, 0, 30, 30);
    SetProp32(child, key::kBackColor, 0x00FF8000);  // GDI: blue FF, green 80, red 00
    SetProp32(child, key::kBackAlpha, 128);
    gfx::UniqueGpImage image = Compose(top.get());
    const uint32_t c = PixelAt(image.get(), 15, 15);
    EXPECT_NEAR(static_cast<int>(Alpha(c)), 128, 1);
    EXPECT_EQ(Red(c), 0u);
    EXPECT_NEAR(static_cast<int>(Green(c)), 0x80, 2);
    EXPECT_NEAR(static_cast<int>(Blue(c)), 0xFF, 2);
}

// Image children (type 2) show their back image alone, which isolates placement from fill and border.
class ImagePlaces : public ::testing::Test {
  protected:
    HWND ImageChild(int x, int y, int w, int h, Gdiplus::GpImage* image, int32_t backType) {
        HWND child = MakeChild(top_.get(), x, y, w, h);
        SetProp32(child, key::kType, skin::kSkinImage);
        SetProp32(child, key::kBackType, static_cast<uint32_t>(backType));
        SetImageProp(child, key::kBackImage, image);
        return child;
    }
    TopWindow top_{120, 100};
};

TEST_F(ImagePlaces, FitShrinks200x100Into50x50As50x25AtOffset12) {
    gfx::UniqueGpImage img = SolidImage(200, 100, kOpaqueRed);
    ImageChild(10, 10, 50, 50, img.get(), skin::kBackFit);
    gfx::UniqueGpImage image = Compose(top_.get());
    // Drawn at (10, 22) in the window, 50 wide and 25 high.
    for (int y = 22; y <= 46; ++y)
        EXPECT_EQ(PixelAt(image.get(), 35, y), kOpaqueRed) << "row " << y;
    EXPECT_EQ(Alpha(PixelAt(image.get(), 35, 21)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 35, 47)), 0u);
    EXPECT_EQ(PixelAt(image.get(), 10, 34), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 59, 34), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 9, 34)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 60, 34)), 0u);
}

TEST_F(ImagePlaces, FitNeverEnlarges) {
    gfx::UniqueGpImage img = SolidImage(10, 10, kOpaqueRed);
    ImageChild(0, 0, 50, 30, img.get(), skin::kBackFit);
    gfx::UniqueGpImage image = Compose(top_.get());
    // Centred: (20, 10) to (30, 20).
    EXPECT_EQ(PixelAt(image.get(), 20, 10), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 29, 19), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 19, 15)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 30, 15)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 25, 9)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 25, 20)), 0u);
}

TEST_F(ImagePlaces, NaturalSizeLargerThanChildShowsOnlyItsTopLeftPart) {
    // 60x20: the left 50 columns red, the last 10 blue. In a 50x30 child only red may appear.
    gfx::UniqueGpImage img = SolidImage(60, 20, kOpaqueRed);
    composetest::FillImageRect(img.get(), kOpaqueBlue, 50, 0, 10, 20);
    ImageChild(10, 10, 50, 30, img.get(), skin::kBackNaturalSize);
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_EQ(PixelAt(image.get(), 10, 10), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 59, 29 - 10), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 60, 15)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 30, 30)), 0u);  // below the image, inside the child
    EXPECT_TRUE(composetest::PixelsWhere(image.get(), [](uint32_t c) { return Blue(c) != 0; }).empty());
}

TEST_F(ImagePlaces, NaturalSizeSmallerThanChildIsDrawnWhole) {
    gfx::UniqueGpImage img = SolidImage(40, 20, kOpaqueRed);
    ImageChild(10, 10, 50, 30, img.get(), skin::kBackNaturalSize);
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_EQ(PixelAt(image.get(), 10, 10), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 49, 29), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 50, 15)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 20, 30)), 0u);
}

TEST_F(ImagePlaces, UnknownBackTypeIsDrawnAsNaturalSize) {
    gfx::UniqueGpImage img = SolidImage(20, 20, kOpaqueRed);
    ImageChild(0, 0, 50, 50, img.get(), 9);
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_EQ(PixelAt(image.get(), 19, 19), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 20, 20)), 0u);
}

TEST_F(ImagePlaces, StretchFillsTheChildWhateverItsProportions) {
    gfx::UniqueGpImage img = SolidImage(10, 10, kOpaqueRed);
    ImageChild(10, 10, 60, 20, img.get(), skin::kBackStretch);
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_EQ(PixelAt(image.get(), 40, 20), kOpaqueRed);
    // Enlarging (here 6 times across, twice down) may soften the pixels along the far edges; the rest of
    // the child is solid and nothing spills out of it.
    EXPECT_EQ(PixelAt(image.get(), 12, 12), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 63, 27), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 70, 20)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 40, 30)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 9, 20)), 0u);
}

TEST(DrawChildFace, ButtonShowsTheFaceOfItsStateAndFallsBackToTheNormalFace) {
    TopWindow top(30, 10);
    gfx::UniqueGpImage normal = SolidImage(10, 10, kOpaqueRed);
    gfx::UniqueGpImage down = SolidImage(10, 10, kOpaqueBlue);
    HWND button = MakeChild(top.get(), 0, 0, 10, 10);
    SetProp32(button, key::kType, skin::kSkinButton);
    SetImageProp(button, key::kNormalImage, normal.get());
    // Buttons get no fill and no border on a layered window, whatever their colour keys say.
    SetProp32(button, key::kBackColor, 0x0000FF00);
    SetProp32(button, key::kBackAlpha, 255);
    SetProp32(button, key::kOrderColor, 0x0000FF00);
    SetProp32(button, key::kOrderAlpha, 255);

    SetProp32(button, key::kDrawState, skin::kStateDown);
    EXPECT_EQ(PixelAt(Compose(top.get()).get(), 5, 5), kOpaqueRed);
    SetImageProp(button, key::kDownImage, down.get());
    EXPECT_EQ(PixelAt(Compose(top.get()).get(), 5, 5), kOpaqueBlue);
    SetProp32(button, key::kDrawState, 7);
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(PixelAt(image.get(), 5, 5), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 0, 0), kOpaqueRed);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 10, 5)), 0u);
}

TEST(DrawChildFace, ChildOfUnknownTypeDrawsNothing) {
    TopWindow top(20, 20);
    gfx::UniqueGpImage img = SolidImage(20, 20, kOpaqueRed);
    HWND child = MakePngChild(top.get(), 0, 0, 20, 20);
    SetProp32(child, key::kType, 9);
    SetProp32(child, key::kBackColor, 0);
    SetProp32(child, key::kOrderColor, 0);
    SetImageProp(child, key::kBackImage, img.get());
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_TRUE(composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; }).empty());
}

TEST(DrawChildFace, PngControlBorderIsOnePixelAlongTheChildsLeftAndTopEdges) {
    TopWindow top(60, 40);
    HWND child = MakePngChild(top.get(), 10, 10, 30, 20);
    SetProp32(child, key::kOrderColor, 0x0000FF00);  // green
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(PixelAt(image.get(), 10, 20), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(image.get(), 25, 10), 0xFF00FF00u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 11, 20)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 25, 11)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 9, 20)), 0u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 25, 9)), 0u);
    // The stroke of the rectangle (x, y, w, h) runs along x + w and y + h.
    EXPECT_EQ(PixelAt(image.get(), 40, 20), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(image.get(), 25, 30), 0xFF00FF00u);
}

TEST(DrawChildFace, BorderAndBackImageOfAPngControlAreDrawnOverItsFill) {
    TopWindow top(40, 40);
    gfx::UniqueGpImage img = SolidImage(10, 10, kOpaqueRed);
    HWND child = MakePngChild(top.get(), 0, 0, 30, 30);
    SetProp32(child, key::kBackColor, 0x00FF0000);  // blue fill
    SetProp32(child, key::kOrderColor, 0);          // black border
    SetImageProp(child, key::kBackImage, img.get());
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(PixelAt(image.get(), 5, 5), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 20, 20), kOpaqueBlue);
    EXPECT_EQ(PixelAt(image.get(), 0, 20), 0xFF000000u);
    EXPECT_EQ(PixelAt(image.get(), 0, 5), 0xFF000000u);  // the border lies over the image too
}

TEST(DrawChildFace, CroppedBackImageStillGetsBorder) {
    TopWindow top(40, 40);
    gfx::UniqueGpImage img = SolidImage(60, 60, kOpaqueRed);
    HWND child = MakePngChild(top.get(), 5, 5, 20, 20);
    SetProp32(child, key::kOrderColor, 0x0000FF00);
    SetImageProp(child, key::kBackImage, img.get());
    gfx::UniqueGpImage image = Compose(top.get());
    EXPECT_EQ(PixelAt(image.get(), 15, 15), kOpaqueRed);
    EXPECT_EQ(PixelAt(image.get(), 5, 15), 0xFF00FF00u);
    EXPECT_EQ(Alpha(PixelAt(image.get(), 27, 15)), 0u);
}

// Text: the child's own font, the text colour, one line at the left, centred vertically, 2 pixels inside.
class ChildText : public ::testing::Test {
  protected:
    void SetUp() override {
        font_ = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
        ASSERT_NE(font_, nullptr);
    }
    void TearDown() override { DeleteObject(font_); }

    HWND TextChild(int x, int y, int w, int h, const char* text, bool withFont = true) {
        HWND child = MakePngChild(top_.get(), x, y, w, h);
        SetWindowTextA(child, text);
        SetProp32(child, key::kTextColor, 0x000000FF);  // red
        if (withFont)
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return child;
    }

    HFONT font_ = nullptr;
    TopWindow top_{160, 60};
};

TEST_F(ChildText, TextAppearsInTheTextColourInsideTheInsetRectangleOnly) {
    TextChild(10, 10, 120, 30, "HHHH");
    gfx::UniqueGpImage image = Compose(top_.get());
    const composetest::Box inset{12, 12, 128, 38};
    auto drawn = composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; });
    ASSERT_GT(drawn.size(), 20u);
    for (const POINT& p : drawn)
        EXPECT_TRUE(inset.Contains(p.x, p.y)) << p.x << "," << p.y;
    auto solid = composetest::PixelsWhere(
        image.get(), [](uint32_t c) { return Alpha(c) >= 200 && Red(c) >= 200 && Green(c) <= 60 && Blue(c) <= 60; });
    EXPECT_GT(solid.size(), 10u);
    // Near alignment: the glyphs start at the left of the inset; centred vertically in the child.
    LONG minX = 1000, minY = 1000, maxY = -1;
    for (const POINT& p : drawn) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    EXPECT_LE(minX, 16);
    EXPECT_LE(std::abs((minY + maxY) / 2 - 25), 3) << minY << ".." << maxY;
}

// CountdownWindow's strip names 楷体_GB2312, which current systems (and this test prefix) lack under that name:
// the text must still appear, in the face GDI maps that font to.
TEST_F(ChildText, FaceThatIsNotInstalledStillDrawsTheTextInsideTheInset) {
    HFONT kaiti = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 3, 2, 1, 0x31, "楷体_GB2312");
    ASSERT_NE(kaiti, nullptr);
    HWND child = TextChild(10, 10, 140, 30, "离关机还有", false);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(kaiti), FALSE);
    gfx::UniqueGpImage image = Compose(top_.get());
    const composetest::Box inset{12, 12, 148, 38};
    auto drawn = composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; });
    EXPECT_GT(drawn.size(), 20u);
    for (const POINT& p : drawn)
        EXPECT_TRUE(inset.Contains(p.x, p.y)) << p.x << "," << p.y;
    auto solid = composetest::PixelsWhere(
        image.get(), [](uint32_t c) { return Alpha(c) >= 200 && Red(c) >= 200 && Green(c) <= 60 && Blue(c) <= 60; });
    EXPECT_GT(solid.size(), 5u);
    DeleteObject(kaiti);
}

TEST_F(ChildText, LongTextIsClippedToTheInsetAndNotWrapped) {
    TextChild(10, 10, 40, 30, "HHHHHHHHHHHHHHHHHHHH");
    gfx::UniqueGpImage image = Compose(top_.get());
    const composetest::Box inset{12, 12, 48, 38};
    auto drawn = composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; });
    ASSERT_FALSE(drawn.empty());
    LONG minY = 1000, maxY = -1;
    for (const POINT& p : drawn) {
        EXPECT_TRUE(inset.Contains(p.x, p.y)) << p.x << "," << p.y;
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    EXPECT_LT(maxY - minY, 18);  // one line of a 16-pixel font
}

// The countdown strip's text is "离关机还有" CR LF and the time: the pair is one line break, with nothing drawn
// for the CR (Wine's GDI+ would draw it as a box after the first line's last character).
TEST_F(ChildText, CrLfBreaksTheLineAndDrawsNothingAfterTheLastCharacter) {
    HWND child = TextChild(10, 10, 120, 30, "HH");
    gfx::UniqueGpImage oneLine = Compose(top_.get());
    SetWindowTextA(child, "HH\r\nHH");
    MoveWindow(child, 10, 6, 120, 50, FALSE);
    gfx::UniqueGpImage twoLines = Compose(top_.get());

    auto extent = [](Gdiplus::GpImage* image) {
        RECT r = {1000, 1000, -1, -1};
        for (const POINT& p : composetest::PixelsWhere(image, [](uint32_t c) { return Alpha(c) != 0; })) {
            r.left = std::min(r.left, p.x);
            r.top = std::min(r.top, p.y);
            r.right = std::max(r.right, p.x);
            r.bottom = std::max(r.bottom, p.y);
        }
        return r;
    };
    const RECT one = extent(oneLine.get());
    const RECT two = extent(twoLines.get());
    ASSERT_GT(one.right, one.left);
    EXPECT_LE(two.right, one.right + 1) << "something is drawn after the first line's \"HH\"";
    EXPECT_GE(two.bottom - two.top, 2 * (one.bottom - one.top)) << "one line only";
}

// "时间" arrives as GBK bytes and must show as two ideographs: each fills most of the font's em square (16
// pixels), so the ink is 1.5 to 2 ems wide and most of one em high. Read as 8-bit characters it would be four
// Latin letters, about 40 pixels wide; read as anything else, replacement boxes or nothing.
TEST_F(ChildText, GbkTextShowsAsItsTwoIdeographs) {
    TextChild(10, 10, 120, 30, "时间");
    gfx::UniqueGpImage image = Compose(top_.get());
    const composetest::Box inset{12, 12, 128, 38};
    RECT ink = {1000, 1000, -1, -1};
    auto drawn = composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; });
    for (const POINT& p : drawn) {
        EXPECT_TRUE(inset.Contains(p.x, p.y)) << p.x << "," << p.y;
        ink = {std::min(ink.left, p.x), std::min(ink.top, p.y), std::max(ink.right, p.x + 1),
               std::max(ink.bottom, p.y + 1)};
    }
    EXPECT_GE(ink.right - ink.left, 24) << "two glyphs of about one em each";
    EXPECT_LE(ink.right - ink.left, 32) << "two glyphs of about one em each";
    EXPECT_GE(ink.bottom - ink.top, 12) << "ideographs fill most of the em's height";
    EXPECT_LE(std::abs((ink.top + ink.bottom) / 2 - 25), 3) << "centred in the child";
}

TEST_F(ChildText, EmptyTextDrawsNoTextButTheBorderStays) {
    HWND child = TextChild(10, 10, 120, 30, "");
    SetProp32(child, key::kOrderColor, 0x0000FF00);
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_EQ(PixelAt(image.get(), 10, 20), 0xFF00FF00u);
    auto red = composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0 && Red(c) > 0; });
    EXPECT_TRUE(red.empty());
}

TEST_F(ChildText, ChildWithoutAFontOfItsOwnShowsNoText) {
    TextChild(10, 10, 120, 30, "HHHH", false);
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_TRUE(composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; }).empty());
}

TEST_F(ChildText, ChildTooSmallForTheInsetShowsNoText) {
    TextChild(10, 10, 4, 30, "HHHH");
    gfx::UniqueGpImage image = Compose(top_.get());
    EXPECT_TRUE(composetest::PixelsWhere(image.get(), [](uint32_t c) { return Alpha(c) != 0; }).empty());
}

TEST(ReadWindowText, ReturnsTheSystemCodePageBytesOrEmpty) {
    TopWindow top(10, 10);
    HWND child = MakeChild(top.get(), 0, 0, 10, 10, true, "时间 12:00");
    EXPECT_EQ(skin::ReadWindowText(child), std::string("时间 12:00"));
    SetWindowTextA(child, "");
    EXPECT_EQ(skin::ReadWindowText(child), "");
    EXPECT_EQ(skin::ReadWindowText(nullptr), "");
}

}  // namespace
