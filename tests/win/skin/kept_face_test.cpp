// The face a layered window keeps: after any change, what the window shows equals its face composed from
// scratch, byte for byte, while only what changed is drawn.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "compose_fixture.h"
#include "control_fixture.h"
#include "skin/compose.h"
#include "skin/face.h"
#include "skin/skin_button.h"
#include "skin/skin_control.h"
#include "skin/skin_window.h"

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
            row[x] = (static_cast<uint32_t>(y < height / 3 ? 0x90 : 0xFF) << 24) |
                     ((seed * 37 + x * 5 + y * 3) & 0xFFFFFFu);
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

Gdiplus::GpStatus WINGDIPAPI FailingDrawString(Gdiplus::GpGraphics*, GDIPCONST WCHAR*, INT, GDIPCONST Gdiplus::GpFont*,
                                               GDIPCONST Gdiplus::RectF*, GDIPCONST Gdiplus::GpStringFormat*,
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
    std::vector<uint32_t> Shown() {
        const skin::KeptFace* face = skin::FindFace(top_.get());
        if (!face || !face->surface.bits)
            return {};
        return {face->surface.bits, face->surface.bits + static_cast<size_t>(face->width) * face->height};
    }

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

// Each change is followed by a composition (the trigger of a child's change of look).
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
    {"FaceReplaced", [](LayeredFace& f) { f.one_.SetFaceImages(f.other_.get(), std::nullopt, std::nullopt, std::nullopt); }},
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
    {"AlphaByProperty", [](LayeredFace& f) { f.text_.SetBackColor(0x00FFFF), f.text_.SetProperty(key::kBackAlpha, 60); }},
    {"Font", [](LayeredFace& f) { SendMessageA(f.edit_, WM_SETFONT, reinterpret_cast<WPARAM>(f.bigFont_), 0); }},
    {"MoveIntoAnOverlap", [](LayeredFace& f) { SetWindowPos(f.second_, nullptr, 100, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }},
    {"ZOrder",
     [](LayeredFace& f) {
         SetWindowPos(f.second_, nullptr, 100, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
         skin::ComposeWindow(f.top_.get());
         SetWindowPos(f.second_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
     }},
    {"HiddenChildDestroyed", [](LayeredFace& f) { DestroyWindow(f.hidden_); }},
    {"VisibleChildDestroyed", [](LayeredFace& f) { DestroyWindow(f.first_); }},
    {"WindowResized", [](LayeredFace& f) { SetWindowPos(f.top_.get(), nullptr, 0, 0, 140, 100, SWP_NOMOVE | SWP_NOZORDER); }},
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
    {"FailedDrawing",
     [](LayeredFace& f) {
         sysfn::Binding& drawString = sys::GdipDrawString.binding();
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
    skin::ComposeWindow(top_.get());
    const std::vector<uint32_t> after = Scratch();
    if (GetParam().shows) {
        EXPECT_NE(after, before) << "the change does not show: the case proves nothing";
    }
    EXPECT_TRUE(Shown() == after) << FirstDifference(Shown(), after, Width(), Height());
}

INSTANTIATE_TEST_SUITE_P(Changes, EachChange, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

// A seeded run of changes of every kind, each followed by a composition, the last of them a few at once.
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
            skin::ComposeWindow(top_.get());
            ASSERT_TRUE(Shown() == Scratch()) << "after step " << step << ": "
                                              << FirstDifference(Shown(), Scratch(), Width(), Height());
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
    skin::ComposeWindow(top_.get());
    const std::vector<uint32_t> face = Shown();
    skin::KeptFace* kept = skin::FindFace(top_.get());
    kept->lastArea = {};
    skin::PresentCaret(top_.get(), 1);
    const std::vector<uint32_t> lit = Shown();
    EXPECT_NE(lit, face);
    skin::PresentCaret(top_.get(), 0);
    EXPECT_EQ(Shown(), face);
    EXPECT_EQ(kept->lastArea, skin::IntRect{});
}

// A layered window that has a skin type of its own frees its face when it is destroyed.
TEST(KeptFaceEnd, IsFreedWithAWindowOfAnySkinType) {
    composetest::TopWindow top(40, 30, WS_EX_LAYERED);
    skin::SetSkinCode(top.get(), key::kType, skin::kSkinLayeredWindow);
    skin::ComposeWindow(top.get());
    ASSERT_NE(skin::FindFace(top.get()), nullptr);
    HBITMAP dib = skin::FindFace(top.get())->surface.bitmap.get();
    ASSERT_EQ(GetObjectType(dib), static_cast<DWORD>(OBJ_BITMAP));
    DestroyWindow(top.get());
    EXPECT_EQ(GetObjectType(dib), 0u);
}

}  // namespace
