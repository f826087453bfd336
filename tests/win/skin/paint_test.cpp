// The state painter: snapshot plus state face, read back from the pixels of the target DC.

#include <gtest/gtest.h>

#include "control_fixture.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/paint.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace {

using controltest::SolidBitmap;
using controltest::Surface;
using controltest::Window;
namespace key = skin::key;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kYellow = 0xFFFF00, kGrey = 0x808080;

void SetImage(HWND window, const char* name, Gdiplus::GpImage* image) {
    skin::SetSkinProp(window, name, reinterpret_cast<intptr_t>(image));
}

class PaintControl : public ::testing::Test {
  protected:
    PaintControl() : parent_(300, 300), control_(100, 100, parent_.get(), 0, 0), surface_(100, 100) {
        surface_.Fill(kGrey);
    }
    ~PaintControl() override {
        if (auto cache = reinterpret_cast<HGDIOBJ>(skin::GetSkinProp(control_.get(), key::kCacheBitmap)))
            DeleteObject(cache);
    }
    HWND window() const { return control_.get(); }
    void GiveSnapshot(uint32_t rgb) {
        skin::SetSkinProp(window(), key::kCacheBitmap, reinterpret_cast<intptr_t>(SolidBitmap(100, 100, rgb)));
    }

    Window parent_;
    Window control_;
    Surface surface_;
};

TEST_F(PaintControl, WithoutSnapshotDrawsNothingEvenWithAFace) {
    auto face = composetest::SolidImage(100, 100, 0xFFFF0000);
    SetImage(window(), key::kNormalImage, face.get());
    skin::PaintControl(window(), surface_.dc());
    EXPECT_EQ(surface_.Pixel(50, 50), kGrey);
    EXPECT_EQ(surface_.Pixel(0, 0), kGrey);
}

TEST_F(PaintControl, WithoutFaceCopiesOnlyTheSnapshot) {
    GiveSnapshot(kBlue);
    skin::PaintControl(window(), surface_.dc());
    EXPECT_EQ(surface_.Pixel(0, 0), kBlue);
    EXPECT_EQ(surface_.Pixel(99, 99), kBlue);
}

TEST_F(PaintControl, FitFaceIsDrawnShrunkAndCentredOverTheSnapshot) {
    GiveSnapshot(kBlue);
    auto face = composetest::SolidImage(200, 100, 0xFFFF0000);
    SetImage(window(), key::kNormalImage, face.get());
    skin::SetSkinCode(window(), key::kBackType, skin::kBackFit);
    skin::PaintControl(window(), surface_.dc());
    // 100x50 at (0, 25).
    EXPECT_EQ(surface_.Pixel(50, 24), kBlue);
    EXPECT_EQ(surface_.Pixel(50, 25), kRed);
    EXPECT_EQ(surface_.Pixel(0, 50), kRed);
    EXPECT_EQ(surface_.Pixel(99, 74), kRed);
    EXPECT_EQ(surface_.Pixel(50, 75), kBlue);
}

TEST_F(PaintControl, SmallFitFaceIsNotEnlarged) {
    GiveSnapshot(kBlue);
    auto face = composetest::SolidImage(40, 30, 0xFFFF0000);
    SetImage(window(), key::kNormalImage, face.get());
    skin::SetSkinCode(window(), key::kBackType, skin::kBackFit);
    skin::PaintControl(window(), surface_.dc());
    // 40x30 at (30, 35).
    EXPECT_EQ(surface_.Pixel(29, 50), kBlue);
    EXPECT_EQ(surface_.Pixel(30, 35), kRed);
    EXPECT_EQ(surface_.Pixel(69, 64), kRed);
    EXPECT_EQ(surface_.Pixel(70, 50), kBlue);
    EXPECT_EQ(surface_.Pixel(50, 65), kBlue);
}

TEST_F(PaintControl, StretchFaceFillsTheWindow) {
    GiveSnapshot(kBlue);
    auto face = composetest::SolidImage(10, 40, 0xFFFF0000);
    SetImage(window(), key::kNormalImage, face.get());
    skin::SetSkinCode(window(), key::kBackType, skin::kBackStretch);
    skin::PaintControl(window(), surface_.dc());
    // A 10x upscale blurs the outermost pixels; well inside, every corner region is the face's.
    EXPECT_EQ(surface_.Pixel(10, 10), kRed);
    EXPECT_EQ(surface_.Pixel(89, 10), kRed);
    EXPECT_EQ(surface_.Pixel(10, 89), kRed);
    EXPECT_EQ(surface_.Pixel(89, 89), kRed);
}

TEST_F(PaintControl, NaturalSizeFaceKeepsItsSizeAtTheOrigin) {
    GiveSnapshot(kBlue);
    auto face = composetest::SolidImage(30, 20, 0xFFFF0000);
    SetImage(window(), key::kNormalImage, face.get());
    skin::SetSkinCode(window(), key::kBackType, 7);  // unknown placement counts as natural size
    skin::PaintControl(window(), surface_.dc());
    EXPECT_EQ(surface_.Pixel(29, 19), kRed);
    EXPECT_EQ(surface_.Pixel(30, 10), kBlue);
    EXPECT_EQ(surface_.Pixel(10, 20), kBlue);
}

TEST_F(PaintControl, TranslucentFaceBlendsOverTheSnapshot) {
    GiveSnapshot(kBlue);
    auto face = composetest::SolidImage(100, 100, 0x80FF0000);
    SetImage(window(), key::kNormalImage, face.get());
    skin::PaintControl(window(), surface_.dc());
    uint32_t p = surface_.Pixel(50, 50);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 128, 3);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 127, 3);
}

TEST_F(PaintControl, EachStateShowsItsFaceAndMissingFacesFallBackToNormal) {
    GiveSnapshot(kBlue);
    auto normal = composetest::SolidImage(100, 100, 0xFFFF0000);
    auto hover = composetest::SolidImage(100, 100, 0xFF00FF00);
    auto disabled = composetest::SolidImage(100, 100, 0xFFFFFF00);
    SetImage(window(), key::kNormalImage, normal.get());
    SetImage(window(), key::kOverImage, hover.get());
    SetImage(window(), key::kDisableImage, disabled.get());
    const std::pair<int32_t, uint32_t> cases[] = {{skin::kStateNormal, kRed},
                                                  {skin::kStateHover, kGreen},
                                                  {skin::kStateDown, kRed},
                                                  {skin::kStateDisabled, kYellow},
                                                  {7, kRed}};
    for (auto [state, expected] : cases) {
        surface_.Fill(kGrey);
        skin::SetSkinCode(window(), key::kDrawState, state);
        skin::PaintControl(window(), surface_.dc());
        EXPECT_EQ(surface_.Pixel(50, 50), expected) << "state " << state;
    }
}

TEST(GetStateImage, PicksTheStateFaceOrTheNormalFace) {
    Window w(10, 10);
    auto normal = composetest::SolidImage(2, 2, 0xFFFF0000);
    auto down = composetest::SolidImage(2, 2, 0xFF00FF00);
    EXPECT_EQ(skin::GetStateImage(w.get(), skin::kStateDown), nullptr);
    SetImage(w.get(), key::kNormalImage, normal.get());
    EXPECT_EQ(skin::GetStateImage(w.get(), skin::kStateDown), normal.get());
    SetImage(w.get(), key::kDownImage, down.get());
    EXPECT_EQ(skin::GetStateImage(w.get(), skin::kStateDown), down.get());
    EXPECT_EQ(skin::GetStateImage(w.get(), skin::kStateHover), normal.get());
}

TEST(PaintControlOnWindow, WithoutDcPaintsTheWholeWindowThroughItsWindowDc) {
    Window parent(200, 100);
    Window control(60, 40, parent.get(), 10, 10, WS_BORDER);
    parent.Show();
    UpdateWindow(parent.get());
    skin::SetSkinProp(control.get(), key::kCacheBitmap, reinterpret_cast<intptr_t>(SolidBitmap(60, 40, kBlue)));
    auto face = composetest::SolidImage(60, 40, 0xFF00FF00);
    SetImage(control.get(), key::kNormalImage, face.get());
    skin::SetSkinCode(control.get(), key::kBackType, skin::kBackStretch);
    skin::PaintControl(control.get());
    // The face covers the frame too: the border pixel at the window's corner is green.
    HDC dc = GetWindowDC(control.get());
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 59, 39), RGB(0, 255, 0));
    ReleaseDC(control.get(), dc);
    DeleteObject(reinterpret_cast<HGDIOBJ>(skin::GetSkinProp(control.get(), key::kCacheBitmap)));
}

}  // namespace
