// The procedures in front of skinned edit boxes: frame painting and its cache on an ordinary parent,
// recomposition and focus tracking on a layered parent.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_fixture.h"
#include "win_test_support.h"
#include "skin/compositor/caret.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/child_procs.h"
#include "skin/controls/skin_control.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace {

using controltest::BitmapPixel;
using controltest::BitmapSize;
using controltest::MakeEdit;
using controltest::Surface;
using controltest::Window;
namespace key = skin::key;

HBITMAP CacheOf(HWND window) {
    return reinterpret_cast<HBITMAP>(skin::GetSkinProp(window, key::kCacheBitmap));
}

// Opaque picture whose pixel (x, y) has red 2x and green 8y, so that a pixel tells where it came from.
gfx::UniqueGpImage CoordinateImage(int width, int height) {
    gfx::UniqueGpImage image = composetest::SolidImage(width, height, 0xFF000000);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            composetest::FillImageRect(image.get(), 0xFF000000u | ((2u * x) << 16) | ((8u * y) << 8), x, y, 1, 1);
    return image;
}

class OrdinaryParent : public ::testing::Test {
  protected:
    OrdinaryParent() : parent_(300, 200) {
        parent_.Show();
        edit_ = MakeEdit(parent_.get(), 20, 20, 100, 30, WS_EX_CLIENTEDGE);
        control_.BindPngControl(edit_);
        UpdateWindow(parent_.get());
    }

    Window parent_;
    HWND edit_ = nullptr;
    skin::SkinControl control_;
};

TEST_F(OrdinaryParent, WindowOf100x30WithClient96x26CachesTheClientPartAtOffset2x2) {
    RECT client;
    GetClientRect(edit_, &client);
    ASSERT_EQ(client.right, 96);
    ASSERT_EQ(client.bottom, 26);
    auto image = CoordinateImage(100, 30);
    control_.SetBackImage(image.get());
    HBITMAP cache = CacheOf(edit_);
    ASSERT_NE(cache, nullptr);
    SIZE size = BitmapSize(cache);
    EXPECT_EQ(size.cx, 96);
    EXPECT_EQ(size.cy, 26);
    EXPECT_EQ(BitmapPixel(cache, 0, 0), (4u << 16) | (16u << 8));                 // image pixel (2, 2)
    EXPECT_EQ(BitmapPixel(cache, 95, 25), ((2u * 97) << 16) | ((8u * 27) << 8));  // image pixel (97, 27)
}

TEST_F(OrdinaryParent, FrameGetsBackColourAndAOnePixelBorder) {
    control_.SetBackColor(0x00FF0000);   // blue
    control_.SetOrderColor(0x0000FF00);  // green
    HDC dc = GetWindowDC(edit_);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 99, 29), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 255));
    ReleaseDC(edit_, dc);
    EXPECT_EQ(BitmapPixel(CacheOf(edit_), 0, 0), 0x0000FFu);
}

TEST_F(OrdinaryParent, NoColoursAndNoImagePaintNothingAndCacheWhatTheWindowShowed) {
    control_.SetBackColor(static_cast<uint32_t>(-1));
    control_.SetOrderColor(static_cast<uint32_t>(-1));
    HDC dc = GetWindowDC(edit_);
    RECT whole{0, 0, 100, 30};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &whole, magenta);
    DeleteObject(magenta);
    EXPECT_EQ(SendMessageA(edit_, WM_NCPAINT, 1, 0), 1);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 255));
    EXPECT_EQ(GetPixel(dc, 50, 15), RGB(255, 0, 255));
    ReleaseDC(edit_, dc);
    EXPECT_EQ(BitmapPixel(CacheOf(edit_), 10, 10), 0xFF00FFu);
}

TEST_F(OrdinaryParent, FramePaintingReplacesTheCacheBitmap) {
    control_.SetBackColor(0x00FF0000);
    HBITMAP first = CacheOf(edit_);
    ASSERT_NE(first, nullptr);
    SendMessageA(edit_, WM_NCPAINT, 1, 0);
    HBITMAP second = CacheOf(edit_);
    EXPECT_NE(second, nullptr);
    // The previous bitmap was deleted, not left behind.
    BITMAP info;
    EXPECT_EQ(GetObjectA(first, sizeof info, &info), 0);
}

TEST_F(OrdinaryParent, EraseCopiesTheCacheIntoTheGivenDcAndIsNotPassedOn) {
    control_.SetBackColor(0x000000FF);  // red
    Surface surface(96, 26);
    surface.Fill(0x808080);
    EXPECT_EQ(SendMessageA(edit_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.dc()), 0), 1);
    EXPECT_EQ(surface.Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(surface.Pixel(95, 25), 0xFF0000u);
    // The erase leaves the control to repaint its text over the restored background.
    RECT update;
    EXPECT_TRUE(GetUpdateRect(edit_, &update, FALSE));
}

TEST(PngControlProc, EraseWithoutCacheCopiesNothing) {
    Window parent(300, 200);
    HWND edit = MakeEdit(parent.get(), 20, 20, 100, 30);
    skin::SkinControl control;
    control.BindPngControl(edit);  // hidden: no frame painting happened yet
    ASSERT_EQ(CacheOf(edit), nullptr);
    Surface surface(100, 30);
    surface.Fill(0x808080);
    EXPECT_EQ(SendMessageA(edit, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.dc()), 0), 1);
    EXPECT_EQ(surface.Pixel(5, 5), 0x808080u);
}

TEST_F(OrdinaryParent, KeysAndClicksInvalidateWithEraseButMouseMovesDoNot) {
    for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_GETDLGCODE, WM_VSCROLL, WM_HSCROLL}) {
        ValidateRect(edit_, nullptr);
        SendMessageA(edit_, message, message == WM_KEYDOWN ? VK_SHIFT : 0, 0);
        RECT update;
        EXPECT_TRUE(GetUpdateRect(edit_, &update, FALSE)) << message;
        ReleaseCapture();
    }
    ValidateRect(edit_, nullptr);
    SendMessageA(edit_, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(edit_, &update, FALSE));
}

TEST_F(OrdinaryParent, TextMessagesStillReachTheEditBox) {
    SendMessageA(edit_, WM_CHAR, 'q', 0);
    char text[8] = {};
    GetWindowTextA(edit_, text, sizeof text);
    EXPECT_STREQ(text, "q");
}

std::vector<HWND>& Compositions() {
    static std::vector<HWND> seen;
    return seen;
}

HWND g_watched = nullptr;
uint32_t g_lastPixel = 0;
std::string g_watchedTextAtComposition;

void RecordComposition(HWND window, Gdiplus::GpBitmap*) {
    Compositions().push_back(window);
    char text[64] = {};
    if (g_watched)
        GetWindowTextA(g_watched, text, sizeof text);
    g_watchedTextAtComposition = text;
}

int CompositionsOf(HWND window) {
    int n = 0;
    for (HWND w : Compositions())
        n += w == window ? 1 : 0;
    return n;
}

std::vector<HWND>& Presentations() {
    static std::vector<HWND> seen;
    return seen;
}

void RecordPresentation(HWND window, const uint32_t*, int, int, int) {
    Presentations().push_back(window);
}

int PresentationsOf(HWND window) {
    int n = 0;
    for (HWND w : Presentations())
        n += w == window ? 1 : 0;
    return n;
}

class LayeredParent : public ::testing::Test {
  protected:
    LayeredParent() : parent_(300, 200, nullptr, 100, 100, 0, WS_EX_LAYERED) {
        skin::SetSkinCode(parent_.get(), key::kType, skin::kSkinLayeredWindow);
        first_ = MakeEdit(parent_.get(), 10, 10, 120, 24);
        second_ = MakeEdit(parent_.get(), 10, 50, 120, 24);
        plain_ = MakeEdit(parent_.get(), 10, 90, 120, 24);
        one_.BindPngControl(first_);
        two_.BindPngControl(second_);
        skin::SetCompositionObserver({RecordComposition, RecordPresentation});
        Compositions().clear();
        Presentations().clear();
    }
    ~LayeredParent() override {
        skin::SetCompositionObserver({});
        skin::FocusCaret().focusParent = nullptr;
        skin::FocusCaret().focusChild = nullptr;
    }

    Window parent_;
    HWND first_ = nullptr;
    HWND second_ = nullptr;
    HWND plain_ = nullptr;
    skin::SkinControl one_, two_;
};

TEST_F(LayeredParent, TypingOneCharacterComposesTheParentOnce) {
    SendMessageA(first_, WM_SETFOCUS, 0, 0);
    Compositions().clear();
    PostMessageA(first_, WM_KEYDOWN, 'A', 0x001E0001);
    testsupport::PumpMessages(100);
    char text[8] = {};
    GetWindowTextA(first_, text, sizeof text);
    EXPECT_STREQ(text, "a");
    // The key press itself changes no text; the character it brings does.
    EXPECT_EQ(CompositionsOf(parent_.get()), 1);
    EXPECT_EQ(Compositions().size(), 1u);
}

TEST_F(LayeredParent, ChangedTextIsComposedAndPresentedOnceAndAnUnchangedFaceNotAgain) {
    g_watched = first_;
    SetWindowTextA(first_, "12:00");
    g_watched = nullptr;
    EXPECT_EQ(CompositionsOf(parent_.get()), 1);
    EXPECT_EQ(PresentationsOf(parent_.get()), 1);
    EXPECT_EQ(g_watchedTextAtComposition, "12:00");
    // The same text again, and messages that leave the face as it is: the write happens, the screen is right.
    SetWindowTextA(first_, "12:00");
    SendMessageA(first_, WM_LBUTTONUP, 0, 0);
    SendMessageA(first_, WM_CUT, 0, 0);  // nothing is selected
    EXPECT_EQ(CompositionsOf(parent_.get()), 1);
    EXPECT_EQ(PresentationsOf(parent_.get()), 1);
    char text[16] = {};
    GetWindowTextA(first_, text, sizeof text);
    EXPECT_STREQ(text, "12:00");
    SendMessageA(first_, WM_CHAR, 'x', 0);
    EXPECT_EQ(CompositionsOf(parent_.get()), 2);
    EXPECT_EQ(PresentationsOf(parent_.get()), 2);
    // Another image presented in between: the next change of look composes, even to the face last composed.
    skin::PresentLayered(parent_.get(), skin::ComposeToBitmap(second_).get(), 0);
    SendMessageA(first_, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(CompositionsOf(parent_.get()), 3);
}

// Messages that leave the text as it was compose nothing once the face is on screen; a selection deleted
// (WM_CLEAR, as the box's context menu does) is shown at once.
TEST_F(LayeredParent, MessagesThatLeaveTheTextComposeNothingAndADeletedSelectionIsShownAtOnce) {
    g_watched = first_;
    SetWindowTextA(first_, "12:00");
    ASSERT_EQ(CompositionsOf(parent_.get()), 1);
    SendMessageA(first_, WM_MOUSEMOVE, 0, 0);
    SendMessageA(first_, WM_CLEAR, 0, 0);  // nothing is selected
    SendMessageA(first_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(first_, WM_NCPAINT, 1, 0);
    SendMessageA(first_, EM_SETSEL, 0, -1);
    EXPECT_EQ(CompositionsOf(parent_.get()), 1);
    SendMessageA(first_, WM_CLEAR, 0, 0);
    g_watched = nullptr;
    EXPECT_EQ(CompositionsOf(parent_.get()), 2);
    EXPECT_EQ(g_watchedTextAtComposition, "");
    EXPECT_EQ(Compositions().size(), 2u);
}

TEST_F(LayeredParent, FocusMovesSetAndClearTheFocusCaretState) {
    skin::FocusCaretState& focus = skin::FocusCaret();
    focus.caretVisible = 1;
    SetFocus(first_);
    EXPECT_EQ(focus.focusParent, parent_.get());
    EXPECT_EQ(focus.focusChild, first_);
    EXPECT_EQ(focus.caretVisible, 1) << "the caret shows at once";
    EXPECT_GE(CompositionsOf(parent_.get()), 1);

    SetFocus(plain_);  // not skinned: the focus leaves the skinned children
    EXPECT_EQ(focus.focusParent, nullptr);
    EXPECT_EQ(focus.focusChild, nullptr);

    SetFocus(second_);
    EXPECT_EQ(focus.focusParent, parent_.get());
    EXPECT_EQ(focus.focusChild, second_);
    SetFocus(first_);  // straight from one skinned child to the other
    EXPECT_EQ(focus.focusChild, first_);
}

// A frame invalidated with the client area is painted once (nothing drawn), not handed back again and again.
TEST_F(LayeredParent, AnInvalidatedFrameIsPaintedOnceNotInALoop) {
    parent_.Show();
    testsupport::PumpMessages(50);
    RedrawWindow(first_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    int paints = 0;
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        paints += msg.message == WM_PAINT && msg.hwnd == first_;
        DispatchMessageA(&msg);
    }
    EXPECT_LE(paints, 2);
    EXPECT_FALSE(GetUpdateRect(first_, nullptr, FALSE));
}

// A face the system did not take is not remembered as the one on screen: the next trigger composes again.
TEST_F(LayeredParent, AFaceTheSystemRefusedIsComposedAgainByTheNextTrigger) {
    SetWindowLongPtrA(parent_.get(), GWL_EXSTYLE, 0);  // UpdateLayeredWindow fails for a window not layered
    SetWindowTextA(first_, "12:00");
    EXPECT_EQ(PresentationsOf(parent_.get()), 0);
    EXPECT_EQ(CompositionsOf(parent_.get()), 0);  // seen only once the face has reached the window
    SetWindowLongPtrA(parent_.get(), GWL_EXSTYLE, WS_EX_LAYERED);
    SendMessageA(first_, WM_LBUTTONUP, 0, 0);  // the same look as the refused face
    EXPECT_EQ(PresentationsOf(parent_.get()), 1);
}

// The second composition of a text in the same font finds the GDI+ font made for the first, even through
// another HFONT of the same definition whose face name is followed by other bytes.
TEST_F(LayeredParent, ATextFontIsMadeOnceForTheParent) {
    LOGFONTA definition{};
    definition.lfHeight = -13;
    definition.lfWeight = FW_NORMAL;
    std::memcpy(definition.lfFaceName, "Arial\0one", 10);
    HFONT font = CreateFontIndirectA(&definition);
    std::memcpy(definition.lfFaceName, "Arial\0two", 10);
    HFONT same = CreateFontIndirectA(&definition);
    SendMessageA(first_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SetWindowTextA(first_, "1");
    SetWindowTextA(first_, "2");
    SendMessageA(first_, WM_SETFONT, reinterpret_cast<WPARAM>(same), 0);
    SetWindowTextA(first_, "3");
    ASSERT_EQ(PresentationsOf(parent_.get()), 3);
    EXPECT_EQ(skin::FindFace(parent_.get())->text.fonts.size(), 1u);
    SendMessageA(first_, WM_SETFONT, 0, 0);
    DeleteObject(font);
    DeleteObject(same);
}

// A text written into a face known on screen is composed from that face; a child that went since is not in it.
TEST_F(LayeredParent, AChildThatWentLeavesTheFaceComposedForAnotherChildsText) {
    two_.SetBackColor(0x0000FF);  // red, opaque
    SetWindowTextA(first_, "1");
    ASSERT_EQ(PresentationsOf(parent_.get()), 1);
    uint32_t redAtSecond = 0;
    {
        gfx::UniqueGpImage face = skin::ComposeToBitmap(parent_.get());
        redAtSecond = composetest::PixelAt(face.get(), 60, 60);
    }
    ASSERT_EQ(redAtSecond, 0xFFFF0000u);
    skin::SetCompositionObserver({RecordComposition, [](HWND, const uint32_t* pixels, int width, int height, int) {
                                      Presentations().push_back(nullptr);
                                      // (60, 60) of a bottom-up image
                                      g_lastPixel = pixels[static_cast<size_t>(height - 1 - 60) * width + 60];
                                  }});
    DestroyWindow(second_);
    SetWindowTextA(first_, "2");
    EXPECT_EQ(Presentations().size(), 2u);
    EXPECT_EQ(g_lastPixel >> 24, 0u) << "the child that went is still on the face";
}

}  // namespace
