// Presentation of images on layered windows, and the caret line.

#include <gtest/gtest.h>

#include <vector>

#include "compose_fixture.h"
#include "skin/compositor/caret.h"
#include "skin/compositor/compose.h"

namespace {

using composetest::Alpha;
using composetest::MakeChild;
using composetest::PixelAt;
using composetest::SolidImage;
using composetest::TopWindow;

// What the observer saw of each presentation: the size, the caret flag and the pixels top row first.
struct Presentation {
    HWND window = nullptr;
    int width = 0;
    int height = 0;
    int withCaret = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

std::vector<Presentation> g_presented;
std::vector<HWND> g_composed;

class Presenting : public ::testing::Test {
  protected:
    void SetUp() override {
        g_presented.clear();
        g_composed.clear();
        skin::CompositionObserver observer;
        observer.composed = [](HWND window, Gdiplus::GpBitmap*) { g_composed.push_back(window); };
        observer.presented = [](HWND window, const uint32_t* pixels, int width, int height, int withCaret) {
            g_presented.push_back({window, width, height, withCaret,
                                   std::vector<uint32_t>(pixels, pixels + static_cast<size_t>(width) * height)});
        };
        skin::SetCompositionObserver(observer);
    }
    void TearDown() override {
        skin::SetCompositionObserver({});
        skin::FocusCaretState& focus = skin::FocusCaret();
        focus.focusParent = nullptr;
        focus.focusChild = nullptr;
        focus.caretVisible = 0;
    }
};

TEST_F(Presenting, ImageReachesTheLayeredWindowPremultipliedAtTheWindowSize) {
    TopWindow top(30, 20, WS_EX_LAYERED);
    gfx::UniqueGpImage image = SolidImage(10, 10, 0x80FF0000);
    skin::PresentLayered(top.get(), image.get(), 0);
    ASSERT_EQ(g_presented.size(), 1u);
    const Presentation& p = g_presented[0];
    EXPECT_EQ(p.width, 30);
    EXPECT_EQ(p.height, 20);
    // Premultiplied BGRA: translucent red 0x80FF0000 is stored as 0x80800000.
    const uint32_t c = p.At(5, 5);
    EXPECT_NEAR(static_cast<int>(c >> 24), 0x80, 1);
    EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 0x80, 2);
    EXPECT_EQ(c & 0xFFFF, 0u);
    EXPECT_EQ(p.At(9, 9) >> 24, c >> 24);
    EXPECT_EQ(p.At(10, 5), 0u);
    EXPECT_EQ(p.At(5, 10), 0u);
    EXPECT_EQ(p.At(29, 19), 0u);
}

TEST_F(Presenting, NothingIsPresentedForANullImageOrADestroyedWindow) {
    gfx::UniqueGpImage image = SolidImage(10, 10, 0xFFFF0000);
    HWND gone;
    {
        TopWindow top(30, 20, WS_EX_LAYERED);
        gone = top.get();
        skin::PresentLayered(top.get(), nullptr, 0);
    }
    skin::PresentLayered(gone, image.get(), 1);
    skin::PresentLayered(nullptr, image.get(), 0);
    EXPECT_TRUE(g_presented.empty());
}

// A child at (10, 20), 24 pixels high, caret at x = 7: the line runs from (22, 26) to (22, 38).
class CaretLine : public Presenting {
  protected:
    void SetUp() override {
        Presenting::SetUp();
        child_ = MakeChild(top_.get(), 10, 20, 40, 24);
        ASSERT_TRUE(CreateCaret(child_, nullptr, 1, 12));
        SetCaretPos(7, 3);  // the caret's own vertical position plays no part
    }
    void TearDown() override {
        DestroyCaret();
        Presenting::TearDown();
    }
    TopWindow top_{100, 80, WS_EX_LAYERED};
    HWND child_ = nullptr;
};

TEST_F(CaretLine, IsDrawnOverThePresentedImageOnlyWhenAskedFor) {
    gfx::UniqueGpImage image = SolidImage(100, 80, 0xFFFFFFFF);
    skin::FocusCaret().focusChild = child_;
    skin::PresentLayered(top_.get(), image.get(), 1);
    skin::PresentLayered(top_.get(), image.get(), 0);
    ASSERT_EQ(g_presented.size(), 2u);
    EXPECT_EQ(g_presented[0].withCaret, 1);
    // Twelve pixels of opaque black, one column wide, centred in the child.
    for (int y = 26; y <= 37; ++y)
        EXPECT_EQ(g_presented[0].At(22, y), 0xFF000000u) << "row " << y;
    for (POINT p : {POINT{22, 25}, POINT{22, 39}, POINT{21, 30}, POINT{23, 30}})
        EXPECT_EQ(g_presented[0].At(p.x, p.y), 0xFFFFFFFFu) << p.x << "," << p.y;
    EXPECT_EQ(g_presented[1].At(22, 30), 0xFFFFFFFFu);
    // No focused child: no line, even when asked for.
    skin::FocusCaret().focusChild = nullptr;
    skin::PresentLayered(top_.get(), image.get(), 1);
    ASSERT_EQ(g_presented.size(), 3u);
    EXPECT_EQ(g_presented[2].At(22, 30), 0xFFFFFFFFu);
}

TEST_F(Presenting, ComposeWindowShowsTheFaceWithoutCaretAndLeavesCaretVisibleAlone) {
    TopWindow top(30, 20, WS_EX_LAYERED);
    gfx::UniqueGpImage back = SolidImage(30, 20, 0xFF0000FF);
    skin::SetSkinProp(top.get(), skin::key::kBackImage, reinterpret_cast<intptr_t>(back.get()));
    skin::FocusCaret().caretVisible = 1;
    skin::ComposeWindow(top.get());
    ASSERT_EQ(g_composed.size(), 1u);
    ASSERT_EQ(g_presented.size(), 1u);
    EXPECT_EQ(g_presented[0].withCaret, 0);
    EXPECT_EQ(g_presented[0].At(15, 10), 0xFF0000FFu);
    EXPECT_EQ(skin::FocusCaret().caretVisible, 1);
}

TEST_F(Presenting, ComposingANullWindowPresentsNothing) {
    skin::ComposeWindow(nullptr);
    EXPECT_TRUE(g_presented.empty());
}

}  // namespace
