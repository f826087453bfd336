// The layered window skin on real windows: style, caret and blink timer, back image, re-binding of the
// children onto the layered procedures, moves. Longer than 400 lines: one file per skin header, as the tests
// mirror the program, and its cases share one fixture.

#include <gtest/gtest.h>

#include <vector>

#include "compose_fixture.h"
#include "gfx/byteblock.h"
#include "skin/compositor/caret.h"
#include "skin/compositor/caret_blink.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/controls/binding.h"
#include "skin/controls/button_procs.h"
#include "skin/controls/child_procs.h"
#include "skin/controls/skin_button.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/skin_window.h"
#include "win_test_support.h"

namespace {

using composetest::MakeChild;
using composetest::PixelAt;
using composetest::SetProp32;
using composetest::SolidImage;
using composetest::TopWindow;
namespace key = skin::key;

// A 4x3 PNG, every pixel opaque green.
constexpr uint8_t kGreenPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x04, 0x00, 0x00, 0x00, 0x03, 0x08, 0x06, 0x00, 0x00, 0x00, 0xB4, 0xF4, 0xAE, 0xC6, 0x00, 0x00, 0x00,
    0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0x60, 0xF8, 0x8F, 0x06, 0x09, 0x0A, 0x00, 0x00, 0x55, 0xF9,
    0x17, 0xE9, 0x6C, 0xA7, 0x87, 0x30, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

struct Presentation {
    int width = 0;
    int height = 0;
    int withCaret = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

std::vector<Presentation> g_presented;
std::vector<gfx::UniqueGpImage> g_composed;  // copies of every composed face

LONG_PTR ExStyle(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

LONG_PTR Procedure(HWND window) {
    return GetWindowLongPtrA(window, GWLP_WNDPROC);
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

class SkinWindowObject : public ::testing::Test {
  protected:
    void SetUp() override {
        g_presented.clear();
        g_composed.clear();
        skin::CompositionObserver observer;
        observer.composed = [](HWND, Gdiplus::GpBitmap* image) {
            Gdiplus::GpImage* copy = nullptr;
            if (image)
                Gdiplus::DllExports::GdipCloneImage(image, &copy);
            g_composed.emplace_back(copy);
        };
        observer.presented = [](HWND, const uint32_t* pixels, int width, int height, int withCaret) {
            g_presented.push_back({width, height, withCaret,
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
        g_composed.clear();
    }
};

using SkinWindowAttach = SkinWindowObject;

TEST_F(SkinWindowAttach, ReplacesAToolWindowExtendedStyleWithLayeredAlone) {
    TopWindow top(40, 30, WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    EXPECT_EQ(ExStyle(top.get()), static_cast<LONG_PTR>(WS_EX_LAYERED));
    EXPECT_EQ(skin.GetHandle(), top.get());
    EXPECT_TRUE(skin.IsValid());
}

TEST_F(SkinWindowAttach, NonWindowIsRefusedAndTheObjectStaysAsItWas) {
    TopWindow top(40, 30, WS_EX_TOOLWINDOW);
    skin::SkinWindow skin;
    EXPECT_FALSE(skin.Attach(nullptr));
    EXPECT_EQ(skin.GetHandle(), nullptr);
    EXPECT_FALSE(skin.IsValid());
    ASSERT_TRUE(skin.Attach(top.get()));
    HWND gone;
    {
        TopWindow other(10, 10, WS_EX_TOOLWINDOW);
        gone = other.get();
    }
    EXPECT_FALSE(skin.Attach(gone));
    EXPECT_EQ(skin.GetHandle(), top.get());
}

using SkinWindowBackImage = SkinWindowObject;

TEST_F(SkinWindowBackImage, NullImageIsRefusedAndNeitherStoredNorComposed) {
    TopWindow top(40, 30);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    EXPECT_FALSE(skin.SetBackImage(nullptr));
    EXPECT_EQ(skin::GetSkinProp(top.get(), key::kBackImage), 0);
    EXPECT_TRUE(g_composed.empty());
}

TEST_F(SkinWindowBackImage, ImageIsStoredAndTheWindowComposedWithIt) {
    TopWindow top(40, 30);
    gfx::UniqueGpImage image = SolidImage(20, 10, 0xFFFF0000);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    EXPECT_TRUE(skin.SetBackImage(image.get()));
    EXPECT_EQ(skin::GetSkinPointer<Gdiplus::GpImage>(top.get(), key::kBackImage), image.get());
    ASSERT_EQ(g_composed.size(), 1u);
    EXPECT_EQ(PixelAt(g_composed[0].get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(g_composed[0].get(), 20, 0) >> 24, 0u);
    ASSERT_EQ(g_presented.size(), 1u);
    EXPECT_EQ(g_presented[0].At(19, 9), 0xFFFF0000u);
}

TEST_F(SkinWindowBackImage, UnboundOrDestroyedWindowRefusesTheImage) {
    gfx::UniqueGpImage image = SolidImage(20, 10, 0xFFFF0000);
    skin::SkinWindow unbound;
    EXPECT_FALSE(unbound.SetBackImage(image.get()));
    skin::SkinWindow skin;
    {
        TopWindow top(40, 30);
        ASSERT_TRUE(skin.Attach(top.get()));
    }
    EXPECT_FALSE(skin.SetBackImage(image.get()));
    EXPECT_TRUE(g_composed.empty());
}

TEST_F(SkinWindowBackImage, EncodedImageIsDecodedStoredAndComposed) {
    TopWindow top(40, 30);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    gfx::ByteBlock png = gfx::ByteBlock::CopyOf(kGreenPng, sizeof kGreenPng);
    EXPECT_TRUE(skin.SetBackImageData(png.data()));
    EXPECT_NE(skin::GetSkinProp(top.get(), key::kBackImage), 0);
    ASSERT_EQ(g_composed.size(), 1u);
    EXPECT_EQ(PixelAt(g_composed[0].get(), 3, 2), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(g_composed[0].get(), 4, 0) >> 24, 0u);
}

TEST_F(SkinWindowBackImage, EmptyOrUndecodableDataGivesNoImage) {
    TopWindow top(40, 30);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    const uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    gfx::ByteBlock junk = gfx::ByteBlock::CopyOf(garbage, sizeof garbage);
    gfx::ByteBlock empty = gfx::ByteBlock::Zeroed(0);
    EXPECT_FALSE(skin.SetBackImageData(nullptr));
    EXPECT_FALSE(skin.SetBackImageData(empty.data()));
    EXPECT_FALSE(skin.SetBackImageData(junk.data()));
    EXPECT_EQ(skin::GetSkinProp(top.get(), key::kBackImage), 0);
    EXPECT_TRUE(g_composed.empty());
}

// Children bound for an ordinary parent first, as the program does, then
// re-bound for the layered one.
class SkinWindowChildren : public SkinWindowObject {
  protected:
    void SetUp() override {
        SkinWindowObject::SetUp();
        edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5, 60, 20, top_.get(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        button_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 5, 40, 40, 20, top_.get(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        plain_ = MakeChild(top_.get(), 70, 5, 20, 20);
        image_ = MakeChild(top_.get(), 70, 40, 20, 20);
        editOwn_ = Procedure(edit_);
        buttonOwn_ = Procedure(button_);
        plainOwn_ = Procedure(plain_);
        imageOwn_ = Procedure(image_);

        SetProp32(edit_, key::kType, skin::kSkinPngControl);
        skin::SubclassWindow(edit_, skin::PngControlProc);
        SetProp32(button_, key::kType, skin::kSkinButton);
        skin::SubclassWindow(button_, skin::ButtonProc);
        SetProp32(image_, key::kType, skin::kSkinImage);
        skin::SubclassWindow(image_, skin::PngControlProc);

        ASSERT_TRUE(skin_.Attach(top_.get()));
    }

    TopWindow top_{100, 70};
    skin::SkinWindow skin_;
    HWND edit_ = nullptr, button_ = nullptr, plain_ = nullptr, image_ = nullptr;
    LONG_PTR editOwn_ = 0, buttonOwn_ = 0, plainOwn_ = 0, imageOwn_ = 0;
};

TEST_F(SkinWindowChildren, EachSkinnedChildGetsItsLayeredProcedureInFrontOfItsOwn) {
    skin_.BindChildren();
    EXPECT_EQ(Procedure(edit_), reinterpret_cast<LONG_PTR>(skin::LayeredChildProc));
    EXPECT_EQ(skin::GetSkinProp(edit_, key::kChildWndProc), editOwn_);
    EXPECT_EQ(skin::GetSkinProp(edit_, key::kWndProc), 0);
    EXPECT_EQ(Procedure(button_), reinterpret_cast<LONG_PTR>(skin::LayeredButtonProc));
    EXPECT_EQ(skin::GetSkinProp(button_, key::kChildWndProc), buttonOwn_);
    EXPECT_EQ(skin::GetSkinProp(button_, key::kWndProc), 0);
    // An image child loses its ordinary-parent procedure and gets none of the
    // layered ones.
    EXPECT_EQ(Procedure(image_), imageOwn_);
    EXPECT_EQ(skin::GetSkinProp(image_, key::kWndProc), 0);
    EXPECT_EQ(skin::GetSkinProp(image_, key::kChildWndProc), 0);
    // An untyped child is passed by.
    EXPECT_EQ(Procedure(plain_), plainOwn_);
    EXPECT_EQ(g_composed.size(), 1u);
}

TEST_F(SkinWindowChildren, SecondBindingChangesNoProcedureButComposesAgain) {
    skin_.BindChildren();
    const LONG_PTR edit = Procedure(edit_), button = Procedure(button_);
    const intptr_t editSaved = skin::GetSkinProp(edit_, key::kChildWndProc);
    const intptr_t buttonSaved = skin::GetSkinProp(button_, key::kChildWndProc);
    skin_.BindChildren();
    EXPECT_EQ(Procedure(edit_), edit);
    EXPECT_EQ(Procedure(button_), button);
    EXPECT_EQ(skin::GetSkinProp(edit_, key::kChildWndProc), editSaved);
    EXPECT_EQ(skin::GetSkinProp(button_, key::kChildWndProc), buttonSaved);
    EXPECT_EQ(g_composed.size(), 2u);
}

TEST_F(SkinWindowChildren, ReboundEditStillWorksAsAnEditAndRecomposesOnText) {
    skin_.BindChildren();
    g_composed.clear();
    SetWindowTextA(edit_, "12:30:00");
    char text[32] = {};
    GetWindowTextA(edit_, text, sizeof text);
    EXPECT_STREQ(text, "12:30:00");
    EXPECT_EQ(g_composed.size(), 1u);
}

TEST_F(SkinWindowChildren, InvalidWindowBindsNothing) {
    skin::SkinWindow unbound;
    unbound.BindChildren();
    EXPECT_EQ(Procedure(edit_), reinterpret_cast<LONG_PTR>(skin::PngControlProc));
    EXPECT_TRUE(g_composed.empty());
}

TEST_F(SkinWindowObject, ProgramOrderOfBindingEndsWithLayeredProceduresAndOneComposedFace) {
    // Children bound with their own classes first, then Attach, back image and BindChildren.
    TopWindow top(100, 60, WS_EX_TOOLWINDOW);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 5, 80, 20, top.get(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 10, 35, 30, 20, top.get(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    const LONG_PTR editOwn = Procedure(edit), buttonOwn = Procedure(button);
    gfx::UniqueGpImage back = SolidImage(100, 60, 0x80000000);
    gfx::UniqueGpImage face = SolidImage(30, 20, 0xFF0000FF);
    skin::SkinControl editSkin;
    editSkin.BindPngControl(edit);
    skin::SkinButton buttonSkin;
    ASSERT_TRUE(buttonSkin.BindButton(button, face.get()));

    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    ASSERT_TRUE(skin.SetBackImage(back.get()));
    g_composed.clear();
    skin.BindChildren();

    EXPECT_EQ(Procedure(edit), reinterpret_cast<LONG_PTR>(skin::LayeredChildProc));
    EXPECT_EQ(skin::GetSkinProp(edit, key::kChildWndProc), editOwn);
    EXPECT_EQ(Procedure(button), reinterpret_cast<LONG_PTR>(skin::LayeredButtonProc));
    EXPECT_EQ(skin::GetSkinProp(button, key::kChildWndProc), buttonOwn);
    EXPECT_EQ(skin::GetSkinProp(button, key::kWndProc), 0);
    ASSERT_EQ(g_composed.size(), 1u);
    Gdiplus::GpImage* image = g_composed[0].get();
    EXPECT_EQ(PixelAt(image, 20, 45), 0xFF0000FFu);  // the button's face
    EXPECT_EQ(PixelAt(image, 10, 15), 0xFF84807Bu);  // the edit's default border
    EXPECT_EQ(PixelAt(image, 95, 55), 0x80000000u);  // the back image where no child lies
}

using CaretBlink = SkinWindowChildren;

TEST_F(CaretBlink, AlternatesTheCaretOnTheKeptFaceWithoutComposing) {
    skin_.BindChildren();
    skin::FocusCaretState& focus = skin::FocusCaret();
    focus.focusParent = top_.get();
    focus.focusChild = edit_;
    skin::ComposeWindow(top_.get());
    ASSERT_NE(skin::FindFace(top_.get()), nullptr);
    ASSERT_TRUE(CreateCaret(edit_, nullptr, 1, 12));
    SetCaretPos(0, 0);
    g_composed.clear();
    g_presented.clear();

    skin::CaretBlinkProc(top_.get(), WM_TIMER, 64, 0);
    skin::CaretBlinkProc(top_.get(), WM_TIMER, 64, 0);
    skin::CaretBlinkProc(top_.get(), WM_TIMER, 64, 0);
    DestroyCaret();
    ASSERT_EQ(g_presented.size(), 3u);
    EXPECT_TRUE(g_composed.empty());
    // The edit box at (5, 5), 20 high: the line stands at x = 5 + 0 + 5, from y =
    // 5 + 4.
    EXPECT_EQ(g_presented[0].withCaret, 1);
    EXPECT_EQ(g_presented[0].At(10, 12), 0xFF000000u);
    EXPECT_EQ(g_presented[1].withCaret, 0);
    EXPECT_NE(g_presented[1].At(10, 12), 0xFF000000u);
    EXPECT_EQ(g_presented[2].withCaret, 1);
}

TEST_F(CaretBlink, DoesNothingForAnotherTimerAnotherWindowOrWithoutFocus) {
    TopWindow other(30, 30);
    skin::FocusCaretState& focus = skin::FocusCaret();
    focus.focusParent = top_.get();
    focus.focusChild = edit_;
    skin::ComposeWindow(top_.get());
    g_presented.clear();
    skin::CaretBlinkProc(top_.get(), WM_TIMER, 65, 0);
    skin::CaretBlinkProc(other.get(), WM_TIMER, 64, 0);
    focus.focusChild = nullptr;
    skin::CaretBlinkProc(top_.get(), WM_TIMER, 64, 0);
    EXPECT_TRUE(g_presented.empty());
    EXPECT_EQ(focus.caretVisible, 0);
}

// The blink timer runs only while the focus is on a text child of the window; PngControl_Time says so.
TEST_F(CaretBlink, TimerRunsOnlyWhileATextChildHasTheFocusAndBlinksTheEdit) {
    ShowWindow(top_.get(), SW_SHOW);
    skin_.BindChildren();
    auto timerRuns = [this] {
        // A running timer can be killed once; it is started again as it was.
        const bool ran = KillTimer(top_.get(), 64);
        if (ran)
            SetTimer(top_.get(), 64, skin::kCaretBlinkMs, skin::CaretBlinkProc);
        return ran;
    };
    EXPECT_FALSE(timerRuns()) << "attached, nothing focused";
    EXPECT_EQ(skin::GetSkinProp(top_.get(), key::kTime), 0);

    SetFocus(edit_);  // LayeredChildProc takes the focus state and composes the face to blink on
    ASSERT_EQ(skin::FocusCaret().focusParent, top_.get());
    ASSERT_EQ(skin::FocusCaret().focusChild, edit_);
    EXPECT_EQ(skin::GetSkinProp(top_.get(), key::kTime), 64);
    EXPECT_TRUE(timerRuns());
    g_composed.clear();
    g_presented.clear();
    testsupport::PumpUntil([] { return g_presented.size() >= 2; }, 5000);
    ASSERT_GE(g_presented.size(), 2u);
    EXPECT_NE(g_presented[0].withCaret, g_presented[1].withCaret);
    EXPECT_TRUE(g_composed.empty());

    SetFocus(button_);  // another child of the same window, not a text child
    EXPECT_EQ(skin::GetSkinProp(top_.get(), key::kTime), 0);
    EXPECT_FALSE(timerRuns());
    SetFocus(edit_);
    EXPECT_EQ(skin::GetSkinProp(top_.get(), key::kTime), 64);
    SetFocus(nullptr);
    EXPECT_EQ(skin::GetSkinProp(top_.get(), key::kTime), 0);
    EXPECT_FALSE(timerRuns());
}

using SkinWindowMove = SkinWindowObject;

TEST_F(SkinWindowMove, OnlyXMovesHorizontallyAndKeepsTopAndSize) {
    TopWindow top(40, 30);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    skin.Move(300);
    const RECT r = WindowRect(top.get());
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.bottom - r.top, 30);
}

TEST_F(SkinWindowMove, SizeAloneKeepsThePositionAndNoArgumentChangesNothing) {
    TopWindow top(40, 30);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    skin.Move(std::nullopt, std::nullopt, std::nullopt, 55);
    RECT r = WindowRect(top.get());
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.bottom - r.top, 55);
    skin.Move();
    r = WindowRect(top.get());
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 55);
}

TEST_F(SkinWindowObject, CloneSharesTheWindowAndSendReachesIt) {
    TopWindow top(40, 30);
    skin::SkinWindow skin;
    ASSERT_TRUE(skin.Attach(top.get()));
    skin::SkinWindow* copy = skin.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetHandle(), top.get());
    copy->Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    EXPECT_EQ(skin.Send(WM_GETTEXTLENGTH, 0, 0), 3);
    copy->Release();
    delete copy;
    EXPECT_TRUE(skin.IsValid());
}

}  // namespace
