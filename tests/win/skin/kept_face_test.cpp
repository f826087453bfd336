// The face a layered window keeps: after any change, and the system's own messages alone, what the window
// shows equals its face composed from scratch, byte for byte, while only what changed is drawn.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "compose_fixture.h"
#include "control_fixture.h"
#include "skin/compositor/caret.h"
#include "skin/compositor/caret_blink.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/skin_button.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/skin_window.h"
#include "win_test_support.h"

namespace {

using composetest::SolidImage;
namespace key = skin::key;

// An image whose every pixel differs, translucent at the top: any pixel out of place shows.
gfx::UniqueGpImage PatternImage(int width, int height, uint32_t seed) {
    gfx::UniqueGpImage image = SolidImage(width, height, 0);
    Gdiplus::BitmapData data{};
    const Gdiplus::Rect all(0, 0, width, height);
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image.get());
    Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            row[x] =
                (static_cast<uint32_t>(y < height / 3 ? 0x90 : 0xFF) << 24) | ((seed * 37 + x * 5 + y * 3) & 0xFFFFFFu);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return image;
}

// Where two pictures of a `width`-wide window first differ, for the failure message.
std::string FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width, int height) {
    if (a.size() != b.size())
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return "first at (" + std::to_string(static_cast<int>(i) % width) + ", " +
                   std::to_string(height - 1 - static_cast<int>(i) / width) + ")";
    }
    return "none";
}

// The premultiplied pixels of `image`, bottom row first, as the surface holds them.
std::vector<uint32_t> SurfacePixels(Gdiplus::GpImage* image, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    Gdiplus::BitmapData data{};
    const Gdiplus::Rect all(0, 0, width, height);
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                                &data) != Gdiplus::Ok)
        return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(&pixels[static_cast<size_t>(height - 1 - y) * width],
                    static_cast<uint8_t*>(data.Scan0) + y * data.Stride, static_cast<size_t>(width) * 4);
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return pixels;
}

Gdiplus::GpStatus WINGDIPAPI FailingDrawString(Gdiplus::GpGraphics*,
                                               GDIPCONST WCHAR*,
                                               INT,
                                               GDIPCONST Gdiplus::GpFont*,
                                               GDIPCONST Gdiplus::RectF*,
                                               GDIPCONST Gdiplus::GpStringFormat*,
                                               GDIPCONST Gdiplus::GpBrush*) {
    return Gdiplus::GenericError;
}

// A layered window of 160×120 with a translucent back image, two text boxes (one hidden), two buttons with a
// face per state, bound as the program binds its windows.
class LayeredFace : public ::testing::Test {
  public:
    LayeredFace() {
        back_ = PatternImage(160, 120, 1);
        for (int i = 0; i < 4; ++i)
            faces_[i] = PatternImage(32, 32, 10 + i);
        other_ = PatternImage(40, 20, 99);
        font_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
        bigFont_ = CreateFontA(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
        edit_ = controltest::MakeEdit(top_.get(), 10, 10, 100, 22);
        hidden_ = controltest::MakeEdit(top_.get(), 20, 80, 90, 22);
        ShowWindow(hidden_, SW_HIDE);
        first_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 110, 40, 32, 32, top_.get(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        second_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 60, 60, 32, 32, top_.get(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        text_.BindPngControl(edit_);
        hiddenText_.BindPngControl(hidden_);
        for (skin::SkinButton* b : {&one_, &two_}) {
            b->BindButton(b == &one_ ? first_ : second_);
            b->SetFaceImages(faces_[0].get(), faces_[1].get(), faces_[2].get(), faces_[3].get());
        }
        SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
        SendMessageA(hidden_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
        SetWindowTextA(edit_, "Now-12:00:00");
        SetWindowTextA(hidden_, "hidden");
        window_.Attach(top_.get());
        window_.SetBackImage(back_.get());
        window_.BindChildren();
        ShowWindow(top_.get(), SW_SHOWNOACTIVATE);  // activating a popup makes Wine wait for the X server
    }
    ~LayeredFace() override {
        skin::FocusCaretState& focus = skin::FocusCaret();
        focus.focusParent = focus.focusChild = nullptr;
        DestroyWindow(top_.get());
        DeleteObject(font_);
        DeleteObject(bigFont_);
    }

    int Width() const {
        RECT r{};
        GetWindowRect(top_.get(), &r);
        return r.right - r.left;
    }
    int Height() const {
        RECT r{};
        GetWindowRect(top_.get(), &r);
        return r.bottom - r.top;
    }
    std::vector<uint32_t> Scratch() {
        RECT r{};
        GetWindowRect(top_.get(), &r);
        gfx::UniqueGpImage image = skin::ComposeToBitmap(top_.get());
        return SurfacePixels(image.get(), r.right - r.left, r.bottom - r.top);
    }
    // What the window shows, the caret line left out (the face composed from scratch has none).
    std::vector<uint32_t> Shown() {
        const skin::KeptFace* face = skin::FindFace(top_.get());
        if (!face || !face->surface.bits)
            return {};
        std::vector<uint32_t> shown(face->surface.bits,
                                    face->surface.bits + static_cast<size_t>(face->width) * face->height);
        const skin::IntRect& caret = face->caretLine;
        for (int y = caret.top; y < caret.top + caret.height; ++y)
            for (int x = caret.left; x < caret.left + caret.width; ++x)
                shown[static_cast<size_t>(face->height - 1 - y) * face->width + x] = kCaretHidden;
        return shown;
    }
    // The same, with the pixels under the caret line left out of `scratch` too.
    std::vector<uint32_t> ScratchAsShown() {
        std::vector<uint32_t> scratch = Scratch();
        const std::vector<uint32_t> shown = Shown();
        for (size_t i = 0; i < scratch.size() && i < shown.size(); ++i)
            scratch[i] = shown[i] == kCaretHidden ? kCaretHidden : scratch[i];
        return scratch;
    }
    // Dispatches the window's own messages until it shows its face, for a second at most.
    bool ShowsItsFace() {
        return testsupport::PumpUntil([this] { return Shown() == ScratchAsShown(); }, 1000);
    }
    static constexpr uint32_t kCaretHidden = 0x12345678u;

    composetest::TopWindow top_{160, 120};
    gfx::UniqueGpImage back_, faces_[4], other_;
    HFONT font_ = nullptr, bigFont_ = nullptr;
    HWND edit_ = nullptr, hidden_ = nullptr, first_ = nullptr, second_ = nullptr;
    skin::SkinControl text_, hiddenText_;
    skin::SkinButton one_, two_;
    skin::SkinWindow window_;
};

struct Change {
    const char* name;
    std::function<void(LayeredFace&)> apply;
    bool shows = true;  // whether the face composed from scratch changes with it
};

// An edit box's text written past the engine's procedure, with the class's own: a change nothing marks.
void WriteUnmarked(HWND edit, const char* text) {
    CallWindowProcA(reinterpret_cast<WNDPROC>(skin::GetSkinProp(edit, key::kChildWndProc)), edit, WM_SETTEXT, 0,
                    reinterpret_cast<LPARAM>(text));
}

void SelectAll(HWND edit) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

// No composition follows a change but what the change itself and the system's messages bring.
const Change kChanges[] = {
    {"Text", [](LayeredFace& f) { SetWindowTextA(f.edit_, "Now-12:00:01"); }},
    {"SameText", [](LayeredFace& f) { SetWindowTextA(f.edit_, "Now-12:00:00"); }, false},
    {"Hover", [](LayeredFace& f) { SendMessageA(f.first_, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); }},
    {"Down", [](LayeredFace& f) { SendMessageA(f.first_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)); }},
    {"HoverThenLeave",
     [](LayeredFace& f) {
         SendMessageA(f.second_, WM_MOUSEMOVE, 0, 0);
         skin::ComposeWindow(f.top_.get());
         SendMessageA(f.second_, WM_MOUSELEAVE, 0, 0);
     },
     false},
    {"Disabled", [](LayeredFace& f) { EnableWindow(f.first_, FALSE); }},
    {"FaceReplaced",
     [](LayeredFace& f) { f.one_.SetFaceImages(f.other_.get(), std::nullopt, std::nullopt, std::nullopt); }},
    {"FaceRedrawnAtTheSameAddress",
     [](LayeredFace& f) {
         f.two_.SetFaceImages(f.other_.get(), std::nullopt, std::nullopt, std::nullopt);
         skin::ComposeWindow(f.top_.get());
         composetest::FillImageRect(f.other_.get(), 0xFF00FF00, 4, 4, 10, 10);
         f.two_.SetFaceImages(f.other_.get(), std::nullopt, std::nullopt, std::nullopt);
     }},
    {"BackColour", [](LayeredFace& f) { f.text_.SetBackColor(0x0000FF, 128); }},
    {"BorderColour", [](LayeredFace& f) { f.text_.SetOrderColor(0x00FF00, 200); }},
    {"TextColour", [](LayeredFace& f) { f.text_.SetForeColor(0xFF0000); }},
    {"BackTypeAndImage",
     [](LayeredFace& f) {
         f.text_.SetBackImage(f.other_.get());
         f.text_.SetBackType(skin::kBackStretch);
     }},
    {"AlphaByProperty",
     [](LayeredFace& f) { f.text_.SetBackColor(0x00FFFF), f.text_.SetProperty(key::kBackAlpha, 60); }},
    {"Font", [](LayeredFace& f) { SendMessageA(f.edit_, WM_SETFONT, reinterpret_cast<WPARAM>(f.bigFont_), 0); }},
    {"MoveIntoAnOverlap",
     [](LayeredFace& f) { SetWindowPos(f.second_, nullptr, 100, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }},
    {"ZOrder",
     [](LayeredFace& f) {
         SetWindowPos(f.second_, nullptr, 100, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
         skin::ComposeWindow(f.top_.get());
         SetWindowPos(f.second_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
     }},
    {"HiddenChildDestroyed", [](LayeredFace& f) { DestroyWindow(f.hidden_); }},
    {"VisibleChildDestroyed", [](LayeredFace& f) { DestroyWindow(f.first_); }},
    {"WindowResized",
     [](LayeredFace& f) { SetWindowPos(f.top_.get(), nullptr, 0, 0, 140, 100, SWP_NOMOVE | SWP_NOZORDER); }},
    {"BlinkInBetween",
     [](LayeredFace& f) {
         SetFocus(f.edit_);
         skin::PresentCaret(f.top_.get(), 1);
         SetWindowTextA(f.edit_, "Now-12:00:02");
     }},
    {"RefusedPresentation",
     [](LayeredFace& f) {
         SetWindowLongPtrA(f.top_.get(), GWL_EXSTYLE, 0);  // UpdateLayeredWindow fails for a window not layered
         SetWindowTextA(f.edit_, "Now-12:00:03");
         SetWindowLongPtrA(f.top_.get(), GWL_EXSTYLE, WS_EX_LAYERED);
     }},
    {"ReplacedSelection",
     [](LayeredFace& f) {
         SelectAll(f.edit_);
         SendMessageA(f.edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("22:30:00"));
     }},
    {"ClearedSelection",
     [](LayeredFace& f) {
         SelectAll(f.edit_);
         SendMessageA(f.edit_, WM_CLEAR, 0, 0);
     }},
    {"CutSelection",
     [](LayeredFace& f) {
         SendMessageA(f.edit_, EM_SETSEL, 0, 4);
         SendMessageA(f.edit_, WM_CUT, 0, 0);
     }},
    {"Undone",
     [](LayeredFace& f) {
         SelectAll(f.edit_);
         SendMessageA(f.edit_, WM_CLEAR, 0, 0);
         SendMessageA(f.edit_, WM_UNDO, 0, 0);
         SendMessageA(f.edit_, EM_SETSEL, 0, 3);
         SendMessageA(f.edit_, WM_CLEAR, 0, 0);
     }},
    {"UndoneWithAltBackspace",
     [](LayeredFace& f) {
         SelectAll(f.edit_);
         SendMessageA(f.edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("1"));
         SendMessageA(f.edit_, EM_EMPTYUNDOBUFFER, 0, 0);
         SendMessageA(f.edit_, EM_SETSEL, 1, 1);
         SendMessageA(f.edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("2"));
         // Alt held: the flag where the system sets it (bit 29) and where Wine's edit box reads it (bit 13).
         SendMessageA(f.edit_, WM_SYSKEYDOWN, VK_BACK, 0x20002001);
         EXPECT_EQ(skin::ReadWindowText(f.edit_), "1") << "not undone";
     }},
    {"OverlappingBoxAfterAnUnmarkedChange",
     [](LayeredFace& f) {
         // The hidden box is moved to overlap the edit box by two rows; the edit box's text changes with no
         // mark; then the hidden box's text marks its place, which meets the edit box in part.
         SetWindowPos(f.hidden_, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
         skin::ComposeWindow(f.top_.get());
         WriteUnmarked(f.edit_, "Now-23:59:59");
         SetWindowTextA(f.hidden_, "seen in part");
     }},
    {"FailedDrawing",
     [](LayeredFace& f) {
         sys::BoundFunction& drawString = sys::GdipDrawString.bound();
         void* real = drawString.address;
         drawString.address = reinterpret_cast<void*>(&FailingDrawString);
         SetWindowTextA(f.edit_, "Now-12:00:04");
         drawString.address = real;
     }},
};

class EachChange : public LayeredFace, public ::testing::WithParamInterface<Change> {};

TEST_P(EachChange, LeavesTheWindowShowingItsFaceComposedFromScratch) {
    ASSERT_TRUE(Shown() == Scratch());
    const std::vector<uint32_t> before = Scratch();
    GetParam().apply(*this);
    if (GetParam().shows) {
        EXPECT_NE(Scratch(), before) << "the change does not show: the case proves nothing";
    }
    EXPECT_TRUE(ShowsItsFace()) << FirstDifference(Shown(), ScratchAsShown(), Width(), Height());
}

INSTANTIATE_TEST_SUITE_P(Changes,
                         EachChange,
                         ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

// A seeded run of changes of every kind, each followed by the system's messages, the last of them a few at once.
TEST_F(LayeredFace, ShowsItsFaceComposedFromScratchAfterEachOfARandomRunOfChanges) {
    std::mt19937 random(20261209);
    HWND children[] = {edit_, hidden_, first_, second_};
    const UINT mouse[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE};
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 320; ++step) {
        HWND child = children[pick(4)];
        switch (pick(8)) {
            case 0:
                SetWindowTextA(edit_, ("Now-" + std::to_string(pick(100000))).c_str());
                break;
            case 1:
                SendMessageA(pick(2) ? first_ : second_, mouse[pick(4)], 0, 0);
                break;
            case 2:
                SetWindowPos(child, nullptr, pick(150) - 10, pick(110) - 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                break;
            case 3:
                SetWindowPos(child, pick(2) ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                break;
            case 4:
                text_.SetBackColor(pick(2) ? skin::kNoColor : static_cast<uint32_t>(random() & 0xFFFFFF), pick(256));
                break;
            case 5:
                SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(pick(2) ? font_ : bigFont_), 0);
                break;
            case 6:
                (pick(2) ? one_ : two_).SetFaceImages(faces_[pick(4)].get(), std::nullopt, std::nullopt, std::nullopt);
                break;
            case 7:
                ShowWindow(child, pick(2) ? SW_HIDE : SW_SHOWNA);
                break;
        }
        if (step < 300 || step % 4 == 3) {
            ASSERT_TRUE(ShowsItsFace()) << "after step " << step << ": "
                                        << FirstDifference(Shown(), ScratchAsShown(), Width(), Height());
        }
    }
}

// The clock's second: only the changed text box is drawn, and nothing at all for the same text again.
TEST_F(LayeredFace, ATextWriteDrawsOnlyItsBoxAndAnUnchangedOneNothing) {
    skin::KeptFace* face = skin::FindFace(top_.get());
    ASSERT_NE(face, nullptr);
    SetWindowTextA(edit_, "Now-12:00:09");
    EXPECT_EQ(face->lastArea, skin::FaceExtent({10, 10, 100, 22}));
    face->lastArea = {};
    SetWindowTextA(edit_, "Now-12:00:09");
    EXPECT_EQ(face->lastArea, skin::IntRect{});
    EXPECT_EQ(Shown(), Scratch());
}

// The caret blinks on the kept face: on, then off again, with nothing of the face drawn anew.
TEST_F(LayeredFace, TheCaretBlinksOnTheKeptFaceWithoutDrawingIt) {
    SetFocus(edit_);
    skin::PresentCaret(top_.get(), 0);
    const skin::KeptFace* shown = skin::FindFace(top_.get());
    const std::vector<uint32_t> face(shown->surface.bits, shown->surface.bits + 160 * 120);
    skin::KeptFace* kept = skin::FindFace(top_.get());
    kept->lastArea = {};
    skin::PresentCaret(top_.get(), 1);
    const std::vector<uint32_t> lit(shown->surface.bits, shown->surface.bits + 160 * 120);
    EXPECT_NE(lit, face);
    skin::PresentCaret(top_.get(), 0);
    EXPECT_TRUE(std::equal(face.begin(), face.end(), shown->surface.bits));
    EXPECT_EQ(kept->lastArea, skin::IntRect{});
}

// Where the caret line of the focused edit box stands on what the window shows: black pixels in its column.
int CaretPixels(const skin::KeptFace* face) {
    int black = 0;
    const skin::IntRect& line = face->caretLine;
    for (int y = line.top; y < line.top + line.height; ++y)
        black +=
            face->surface.bits[static_cast<size_t>(face->height - 1 - y) * face->width + line.left + 1] == 0xFF000000u;
    return black;
}

// As the system's own text boxes: the caret shows at once after each key, whether or not the key changed the
// text, and the blink starts anew from it.
TEST_F(LayeredFace, TheCaretShowsAtOnceAfterEachKey) {
    SetFocus(edit_);
    const skin::KeptFace* face = skin::FindFace(top_.get());
    for (WPARAM key : {WPARAM{'7'}, WPARAM{VK_LEFT}, WPARAM{VK_BACK}}) {
        skin::FocusCaret().caretVisible = 0;
        skin::PresentCaret(top_.get(), 0);  // blinked off
        ASSERT_EQ(CaretPixels(face), 0);
        if (key == '7')
            SendMessageA(edit_, WM_CHAR, key, 1);
        else
            SendMessageA(edit_, WM_KEYDOWN, key, 1);
        EXPECT_EQ(skin::FocusCaret().caretVisible, 1) << key;
        EXPECT_GE(CaretPixels(face), 12) << key;
        EXPECT_TRUE(Shown() == ScratchAsShown()) << key;
    }
}

// A blink after the window was resized shows the face at the new size, never the old surface (which would give
// the window its old size back).
TEST_F(LayeredFace, ABlinkAfterAResizeKeepsTheNewSize) {
    SetFocus(edit_);
    SetWindowPos(top_.get(), nullptr, 0, 0, 140, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    skin::CaretBlinkProc(top_.get(), WM_TIMER, skin::kCaretBlinkTimerId, 0);
    EXPECT_EQ(Width(), 140);
    EXPECT_EQ(Height(), 100);
    EXPECT_EQ(skin::FindFace(top_.get())->width, 140);
    EXPECT_TRUE(ShowsItsFace());
}

// A drawing that fails in the middle presents nothing of it; the window keeps showing the face it showed, and
// shows the new one once drawing works again. While it keeps failing, it is tried a few times, not forever.
TEST_F(LayeredFace, AFailedDrawingShowsNothingAndIsTriedAgainAFewTimes) {
    const std::vector<uint32_t> before = Shown();
    sys::BoundFunction& drawString = sys::GdipDrawString.bound();
    void* real = drawString.address;
    drawString.address = reinterpret_cast<void*>(&FailingDrawString);
    // The text box's text and the second button's face change in one composition; the text fails.
    {
        skin::ComposeAtEnd composition(top_.get());
        two_.SetFaceImages(other_.get(), std::nullopt, std::nullopt, std::nullopt);
        SetWindowTextA(edit_, "Now-13:14:15");
    }
    testsupport::PumpMessages(200);
    const skin::KeptFace* face = skin::FindFace(top_.get());
    EXPECT_TRUE(Shown() == before) << FirstDifference(Shown(), before, Width(), Height());
    EXPECT_FALSE(face->requested) << "still trying";
    EXPECT_GT(face->failures, 1);
    drawString.address = real;
    SetWindowTextA(hidden_, "a change elsewhere");
    EXPECT_TRUE(ShowsItsFace()) << FirstDifference(Shown(), ScratchAsShown(), Width(), Height());
}

// A face is kept only by a window whose end the engine sees, and is freed with it: a window that runs none of
// the engine's procedures gets none, and one attached as a layered skin window frees it when destroyed.
TEST(KeptFaceEnd, IsKeptOnlyWhereItIsFreedWithTheWindow) {
    HWND bare = CreateWindowExA(WS_EX_LAYERED, "STATIC", "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    skin::SetSkinCode(bare, key::kType, skin::kSkinLayeredWindow);
    EXPECT_FALSE(skin::ComposeWindow(bare));
    EXPECT_EQ(skin::FindFace(bare), nullptr);
    DestroyWindow(bare);

    composetest::TopWindow top(40, 30);
    skin::SkinWindow window;
    ASSERT_TRUE(window.Attach(top.get()));
    skin::ComposeWindow(top.get());
    ASSERT_NE(skin::FindFace(top.get()), nullptr);
    HBITMAP dib = skin::FindFace(top.get())->surface.bitmap.get();
    ASSERT_EQ(GetObjectType(dib), static_cast<DWORD>(OBJ_BITMAP));
    DestroyWindow(top.get());
    EXPECT_EQ(GetObjectType(dib), 0u);
}

}  // namespace
