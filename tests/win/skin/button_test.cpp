// The button skin: binding, faces, and the state machine driven by real mouse input and real messages. Longer
// than 400 lines: one file per skin header, as the tests mirror the program, and its cases share one fixture.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "control_fixture.h"
#include "gfx/gfx_test_support.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/button_procs.h"
#include "skin/controls/skin_button.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/skin_window.h"
#include "skin/controls/tooltip.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"
#include "win_test_support.h"

namespace {

using controltest::CountReceived;
using controltest::ParentLog;
using controltest::Window;
using controltest::WindowProcOf;
namespace key = skin::key;

constexpr COLORREF kRedPixel = RGB(255, 0, 0), kGreenPixel = RGB(0, 255, 0), kBluePixel = RGB(0, 0, 255),
                   kYellowPixel = RGB(255, 255, 0);

int32_t StateOf(HWND button) {
    return skin::GetSkinCode(button, key::kDrawState);
}

COLORREF FacePixel(HWND button) {
    HDC dc = GetWindowDC(button);
    COLORREF c = GetPixel(dc, 20, 15);
    ReleaseDC(button, dc);
    return c;
}

void PaintSentinel(HWND button) {
    HDC dc = GetWindowDC(button);
    RECT r{0, 0, 40, 30};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &r, magenta);
    DeleteObject(magenta);
    ReleaseDC(button, dc);
}

// Real input: the cursor moves and the button goes down and up as if the user did it.
void MouseTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

bool PumpUntilState(HWND button, int32_t state) {
    return testsupport::PumpUntil([&] { return StateOf(button) == state; }, 3000);
}

// Moves the cursor onto the button's pixel (dx, dy) of a button at (50, 50) in a window at (100, 100), pumps
// until the button has been handed that move, and then until the queue is empty (so a repaint it asked for
// is done). What a move did not do is judged only once the move has arrived.
bool MoveInsideButton(HWND button, int dx, int dy) {
    MouseTo(100 + 50 + dx, 100 + 50 + dy);
    const DWORD deadline = GetTickCount() + testsupport::Scaled(3000);
    bool arrived = false;
    MSG msg;
    while (!arrived && GetTickCount() < deadline) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            arrived |= msg.hwnd == button && msg.message == WM_MOUSEMOVE &&
                       std::abs(static_cast<short>(LOWORD(msg.lParam)) - dx) <= 1 &&
                       std::abs(static_cast<short>(HIWORD(msg.lParam)) - dy) <= 1;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return arrived;
}

struct Faces {
    Faces()
        : normal(composetest::SolidImage(40, 30, 0xFFFF0000)),
          hover(composetest::SolidImage(40, 30, 0xFF00FF00)),
          down(composetest::SolidImage(40, 30, 0xFF0000FF)),
          disabled(composetest::SolidImage(40, 30, 0xFFFFFF00)) {}
    gfx::UniqueGpImage normal, hover, down, disabled;
};

class OrdinaryButton : public ::testing::Test {
  protected:
    OrdinaryButton() : parent_(300, 200) {
        button_ = skin_.CreateButton(parent_.get(), 50, 50, 40, 30, "go");
        skin_.SetFaceImages(faces_.normal.get(), faces_.hover.get(), faces_.down.get(), faces_.disabled.get());
        MouseTo(20, 20);  // far from the button
        testsupport::PumpMessages(50);
        parent_.Show();
        UpdateWindow(parent_.get());
        testsupport::PumpMessages(50);
    }
    ~OrdinaryButton() override {
        MouseButton(false);
        MouseTo(20, 20);
        testsupport::PumpMessages(20);
    }
    // Screen position of the button's pixel (dx, dy).
    void MouseToButton(int dx, int dy) { MouseTo(100 + 50 + dx, 100 + 50 + dy); }

    Faces faces_;
    Window parent_;
    skin::SkinButton skin_;
    HWND button_ = nullptr;
};

TEST_F(OrdinaryButton, CreateButtonBindsATransparentOwnerDrawnButton) {
    ASSERT_NE(button_, nullptr);
    EXPECT_EQ(skin_.GetHandle(), button_);
    EXPECT_EQ(skin::GetSkinCode(button_, key::kType), skin::kSkinButton);
    EXPECT_EQ(GetWindowLongPtrA(button_, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_NE(GetWindowLongPtrA(button_, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(WindowProcOf(button_), &skin::ButtonProc);
    EXPECT_EQ(WindowProcOf(parent_.get()), &skin::SkinParentProc);
    // The first paint captured the parent's background and drew the normal face over it.
    EXPECT_NE(skin::GetSkinProp(button_, key::kCacheBitmap), 0);
    EXPECT_EQ(FacePixel(button_), kRedPixel);
}

TEST_F(OrdinaryButton, MouseEnterPressReleaseAndLeaveFollowTheStateTable) {
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    EXPECT_EQ(FacePixel(button_), kGreenPixel);

    MouseButton(true);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateDown));
    EXPECT_EQ(FacePixel(button_), kBluePixel);

    ParentLog().clear();
    MouseButton(false);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    EXPECT_EQ(FacePixel(button_), kGreenPixel);
    // The click itself is still reported by the system button.
    bool clicked = false;
    for (const auto& r : ParentLog())
        clicked |= r.window == parent_.get() && r.message == WM_COMMAND && HIWORD(r.wParam) == BN_CLICKED;
    EXPECT_TRUE(clicked);

    MouseTo(20, 20);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateNormal));
    EXPECT_EQ(FacePixel(button_), kRedPixel);
}

TEST_F(OrdinaryButton, MovesInsideAHoveredButtonDoNotRepaint) {
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    PaintSentinel(button_);
    ASSERT_TRUE(MoveInsideButton(button_, 20, 12));
    ASSERT_TRUE(MoveInsideButton(button_, 25, 14));
    EXPECT_EQ(StateOf(button_), skin::kStateHover);
    EXPECT_EQ(FacePixel(button_), RGB(255, 0, 255));
}

TEST_F(OrdinaryButton, DisablingShowsTheDisabledFaceAndEnablingTheNormalFace) {
    EnableWindow(button_, FALSE);
    EXPECT_EQ(StateOf(button_), skin::kStateDisabled);
    EXPECT_EQ(FacePixel(button_), kYellowPixel);
    // A leave asked for before, or a release of a press the disabling cut short, keeps it disabled.
    SendMessageA(button_, WM_MOUSELEAVE, 0, 0);
    SendMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(StateOf(button_), skin::kStateDisabled);
    EXPECT_EQ(FacePixel(button_), kYellowPixel);
    EnableWindow(button_, TRUE);
    EXPECT_EQ(StateOf(button_), skin::kStateNormal);
    EXPECT_EQ(FacePixel(button_), kRedPixel);
}

TEST_F(OrdinaryButton, PressThenReleaseEndsInHoverAndAReleaseWithoutPressInNormal) {
    SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(StateOf(button_), skin::kStateHover);
    SendMessageA(button_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(StateOf(button_), skin::kStateDown);
    EXPECT_EQ(FacePixel(button_), kBluePixel);
    SendMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(StateOf(button_), skin::kStateHover);
    EXPECT_EQ(FacePixel(button_), kGreenPixel);
    SendMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(StateOf(button_), skin::kStateNormal);
    EXPECT_EQ(FacePixel(button_), kRedPixel);
}

TEST_F(OrdinaryButton, FocusAndSetStateFollowTheStateTable) {
    skin::SetDrawState(button_, skin::kStateDown, false);
    SendMessageA(button_, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(skin::GetSkinCode(button_, key::kIsFocus), 1);
    EXPECT_EQ(StateOf(button_), skin::kStateHover);
    SendMessageA(button_, BM_SETSTATE, 1, 0);
    EXPECT_EQ(StateOf(button_), skin::kStateDown);
    SendMessageA(button_, BM_SETSTATE, 2, 0);  // anything but 1 is "not pressed": focused, so Hover
    EXPECT_EQ(StateOf(button_), skin::kStateHover);
    SendMessageA(button_, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(skin::GetSkinCode(button_, key::kIsFocus), 0);
    EXPECT_EQ(StateOf(button_), skin::kStateNormal);
    SendMessageA(button_, BM_SETSTATE, 0, 0);
    EXPECT_EQ(StateOf(button_), skin::kStateNormal);
    EXPECT_EQ(FacePixel(button_), kRedPixel);
}

TEST_F(OrdinaryButton, SetDrawStateRepaintsOnChangeOrWhenForced) {
    PaintSentinel(button_);
    skin::SetDrawState(button_, skin::kStateNormal, false);  // unchanged, not forced
    EXPECT_EQ(FacePixel(button_), RGB(255, 0, 255));
    skin::SetDrawState(button_, skin::kStateNormal, true);
    EXPECT_EQ(FacePixel(button_), kRedPixel);
    skin::SetDrawState(button_, skin::kStateHover, false);
    EXPECT_EQ(FacePixel(button_), kGreenPixel);
}

TEST_F(OrdinaryButton, ButtonWithOnlyANormalFaceShowsItInEveryState) {
    skin_.SetFaceImages(std::nullopt, nullptr, nullptr, nullptr);
    for (int32_t state : {skin::kStateHover, skin::kStateDown, skin::kStateDisabled, skin::kStateNormal}) {
        skin::SetDrawState(button_, state, true);
        EXPECT_EQ(FacePixel(button_), kRedPixel) << state;
    }
}

TEST_F(OrdinaryButton, CustomDrawNoticeToTheParentRepaintsTheButton) {
    PaintSentinel(button_);
    NMHDR header{button_, 0, static_cast<UINT>(NM_CUSTOMDRAW)};
    SendMessageA(parent_.get(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(FacePixel(button_), kRedPixel);
}

TEST(BindButton, NonWindowFailsAndBindingTwiceSubclassesOnce) {
    Window parent(200, 100);
    HWND button = CreateWindowExA(0, "Button", "b", WS_CHILD | WS_VISIBLE, 0, 0, 40, 30, parent.get(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    WNDPROC system = WindowProcOf(button);
    skin::SkinButton skin;
    EXPECT_FALSE(skin.BindButton(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4242))));
    EXPECT_EQ(skin.GetHandle(), nullptr);
    auto face = composetest::SolidImage(4, 4, 0xFF00FF00);
    ASSERT_TRUE(skin.BindButton(button, face.get()));
    ASSERT_TRUE(skin.BindButton(button));  // no image given: the normal face stays
    EXPECT_EQ(skin::GetSkinProp(button, key::kNormalImage), reinterpret_cast<intptr_t>(face.get()));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(skin::GetSkinProp(button, key::kWndProc)), system);
    // No colour defaults of a PNG control.
    EXPECT_EQ(skin::GetSkinProp(button, key::kBackColor), 0);
    EXPECT_EQ(skin::GetSkinProp(button, key::kOrderColor), 0);
}

TEST(SetFaceImages, OnlyTheGivenFacesAreStored) {
    Window parent(200, 100);
    skin::SkinButton skin;
    HWND button = skin.CreateButton(parent.get(), 0, 0, 40, 30, nullptr);
    ASSERT_NE(button, nullptr);
    Faces faces;
    skin.SetFaceImages(faces.normal.get(), faces.hover.get(), faces.down.get(), faces.disabled.get());
    auto other = composetest::SolidImage(4, 4, 0xFF000000);
    skin.SetFaceImages(std::nullopt, other.get());
    EXPECT_EQ(skin::GetSkinProp(button, key::kNormalImage), reinterpret_cast<intptr_t>(faces.normal.get()));
    EXPECT_EQ(skin::GetSkinProp(button, key::kOverImage), reinterpret_cast<intptr_t>(other.get()));
    EXPECT_EQ(skin::GetSkinProp(button, key::kDownImage), reinterpret_cast<intptr_t>(faces.down.get()));
    EXPECT_EQ(skin::GetSkinProp(button, key::kDisableImage), reinterpret_cast<intptr_t>(faces.disabled.get()));
    skin.SetBackType(skin::kBackFit);
    EXPECT_EQ(skin::GetSkinCode(button, key::kBackType), skin::kBackFit);
}

TEST(SetFaceImageData, DecodesTheGivenBlocksAndLeavesOmittedFaces) {
    Window parent(200, 100);
    skin::SkinButton skin;
    HWND button = skin.CreateButton(parent.get(), 0, 0, 40, 30, "x");
    auto keep = composetest::SolidImage(4, 4, 0xFF000000);
    skin.SetFaceImages(std::nullopt, std::nullopt, std::nullopt, keep.get());
    gfx::ByteBlock a = gfxtest::MakePng(5, 7, [](int, int) { return 0xFFFF0000u; });
    const uint8_t junk[] = {1, 0, 0, 0, 2, 0, 0, 0, 'n', 'o'};
    skin.SetFaceImageData(a.data(), junk, a.data());
    auto* normal = skin::GetSkinPointer<Gdiplus::GpImage>(button, key::kNormalImage);
    auto* down = skin::GetSkinPointer<Gdiplus::GpImage>(button, key::kDownImage);
    ASSERT_NE(normal, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_NE(normal, down);  // each block is decoded into an image of its own
    UINT w = 0, h = 0;
    composetest::ImageSize(normal, w, h);
    EXPECT_EQ(w, 5u);
    EXPECT_EQ(h, 7u);
    EXPECT_EQ(skin::GetSkinProp(button, key::kOverImage), 0);
    EXPECT_EQ(skin::GetSkinProp(button, key::kDisableImage), reinterpret_cast<intptr_t>(keep.get()));
    // The decoded faces belong to the button's window and go with it.
}

TEST(SkinButtonObject, CloneSharesTheWindowAndInheritsTheAccessors) {
    Window parent(200, 100);
    skin::SkinButton skin;
    HWND button = skin.CreateButton(parent.get(), 0, 0, 40, 30, "abc");
    std::unique_ptr<skin::SkinButton> copy(skin.Clone());
    EXPECT_EQ(copy->GetHwnd(), button);
    EXPECT_TRUE(copy->IsValid());
    copy->SetProperty(key::kDrawState, skin::kStateDown);
    EXPECT_EQ(skin.GetProperty(key::kDrawState), skin::kStateDown);
    EXPECT_EQ(copy->Send(WM_GETTEXTLENGTH, 0, 0), 3);
    copy->Release();
    EXPECT_TRUE(skin.IsValid());
}

struct CompositionLog {
    int count = 0;
    uint32_t buttonPixel = 0;      // ARGB of the composed face at the button's centre
    std::vector<uint32_t> pixels;  // the same, for every composition
};

CompositionLog& Composed() {
    static CompositionLog log;
    return log;
}

void RecordComposition(HWND, Gdiplus::GpBitmap* image) {
    ++Composed().count;
    Composed().buttonPixel = image ? composetest::PixelAt(image, 50 + 20, 50 + 15) : 0;
    Composed().pixels.push_back(Composed().buttonPixel);
}

// A layered top-level window whose button already carries LayeredButtonProc, as the layered window skin
// leaves it: the system button procedure saved under PngControl_ChildWndProc.
class LayeredButton : public ::testing::Test {
  protected:
    LayeredButton()
        : back_(composetest::SolidImage(300, 200, 0xFF808080)), parent_(300, 200, nullptr, 100, 100, 0, WS_EX_LAYERED) {
        button_ = CreateWindowExA(WS_EX_TRANSPARENT, "Button", "go", WS_CHILD | WS_VISIBLE, 50, 50, 40, 30,
                                  parent_.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
        skin::SetSkinCode(button_, key::kType, skin::kSkinButton);
        skin::SetSkinProp(button_, key::kNormalImage, reinterpret_cast<intptr_t>(faces_.normal.get()));
        skin::SetSkinProp(button_, key::kOverImage, reinterpret_cast<intptr_t>(faces_.hover.get()));
        skin::SetSkinProp(button_, key::kDownImage, reinterpret_cast<intptr_t>(faces_.down.get()));
        skin::SetSkinProp(button_, key::kDisableImage, reinterpret_cast<intptr_t>(faces_.disabled.get()));
        LONG_PTR system =
            SetWindowLongPtrA(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&skin::LayeredButtonProc));
        skin::SetSkinProp(button_, key::kChildWndProc, system);
        skin::SetSkinProp(parent_.get(), key::kBackImage, reinterpret_cast<intptr_t>(back_.get()));
        MouseTo(20, 20);
        testsupport::PumpMessages(50);
        skin::ComposeWindow(parent_.get());  // the face makes the window visible to the mouse
        parent_.Show();
        testsupport::PumpMessages(50);
        skin::SetCompositionObserver({RecordComposition, nullptr});
        Composed() = {};
    }
    ~LayeredButton() override {
        skin::SetCompositionObserver({});
        MouseButton(false);
        MouseTo(20, 20);
        testsupport::PumpMessages(20);
    }
    void MouseToButton(int dx, int dy) { MouseTo(100 + 50 + dx, 100 + 50 + dy); }
    // What Wine can do around the button's mouse capture: the leave tracking is gone.
    void LoseLeaveTracking() {
        TRACKMOUSEEVENT cancel{sizeof cancel, TME_LEAVE | TME_CANCEL, button_, 0};
        TrackMouseEvent(&cancel);
    }
    // As a hand moves: in eight steps from the button's pixel (20, 15), over it for the first two, to far
    // outside it, each step handed to the window before the next.
    void MoveAwayInSteps() {
        for (int step = 0; step <= 8; ++step) {
            MouseToButton(20 - step * 10, 15 - step * 6);
            testsupport::PumpMessages(30);
        }
    }

    Faces faces_;
    gfx::UniqueGpImage back_;
    Window parent_;
    HWND button_ = nullptr;
};

TEST_F(LayeredButton, EnteringRecomposesOnceAndMovesInsideDoNot) {
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    testsupport::PumpMessages(50);
    EXPECT_EQ(Composed().count, 1);
    EXPECT_EQ(Composed().buttonPixel, 0xFF00FF00u);
    ASSERT_TRUE(MoveInsideButton(button_, 20, 12));
    ASSERT_TRUE(MoveInsideButton(button_, 25, 14));
    EXPECT_EQ(Composed().count, 1);
    EXPECT_EQ(StateOf(button_), skin::kStateHover);
}

TEST_F(LayeredButton, PressReleaseAndLeaveEachRecomposeWithTheNewFace) {
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    MouseButton(true);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateDown));
    EXPECT_EQ(Composed().buttonPixel, 0xFF0000FFu);
    MouseButton(false);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    EXPECT_EQ(Composed().buttonPixel, 0xFF00FF00u);
    const int beforeLeave = Composed().count;
    MouseTo(20, 20);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateNormal));
    EXPECT_EQ(Composed().count, beforeLeave + 1);
    EXPECT_EQ(Composed().buttonPixel, 0xFFFF0000u);
}

// Under Wine the leave can be lost around the button's capture, and a lit face with the pointer elsewhere then
// stays lit: the release follows where the pointer is, and a hovered button asks for leave tracking again
// on each move over it.
TEST_F(LayeredButton, PressDraggedOffAndReleasedShowsTheNormalFaceWithoutLightingUp) {
    // The release off the button reaches it through the capture the press gave it, which the system honours
    // for the window in front only, as the program's MainWindow is when clicked.
    SetForegroundWindow(parent_.get());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == parent_.get(); }, 3000));
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    MouseButton(true);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateDown));
    LoseLeaveTracking();
    Composed().pixels.clear();
    MoveAwayInSteps();
    MouseButton(false);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateNormal));
    EXPECT_EQ(Composed().buttonPixel, 0xFFFF0000u);
    for (uint32_t shown : Composed().pixels)
        EXPECT_NE(shown, 0xFF00FF00u) << "the hover face was shown with the pointer off the button";
}

TEST_F(LayeredButton, ClickedThenLeftShowsTheNormalFaceThoughTheLeaveTrackingWasLost) {
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    MouseButton(true);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateDown));
    MouseButton(false);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    LoseLeaveTracking();
    MoveAwayInSteps();
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateNormal));
    EXPECT_EQ(Composed().buttonPixel, 0xFFFF0000u);
}

// The second press of a fast double click reaches the button as WM_LBUTTONDBLCLK: it shows the pressed face
// as any press does, and the release leaves the button lit while the pointer stays over it.
TEST_F(LayeredButton, ADoubleClickShowsThePressedFaceAndLeavesTheButtonLit) {
    MouseToButton(10, 10);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    MouseButton(true);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateDown));
    MouseButton(false);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    Composed().pixels.clear();
    MouseButton(true);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateDown));
    EXPECT_EQ(Composed().buttonPixel, 0xFF0000FFu);
    MouseButton(false);
    ASSERT_TRUE(PumpUntilState(button_, skin::kStateHover));
    testsupport::PumpMessages(100);
    EXPECT_EQ(StateOf(button_), skin::kStateHover);
    EXPECT_EQ(Composed().buttonPixel, 0xFF00FF00u);
}

TEST_F(LayeredButton, StateIsStoredAndOnlyAChangedFaceIsComposed) {
    SendMessageA(button_, WM_LBUTTONUP, 0, 0);  // a release without press: Normal again, the face on screen
    EXPECT_EQ(StateOf(button_), skin::kStateNormal);
    EXPECT_EQ(Composed().count, 0);
    EnableWindow(button_, FALSE);
    EXPECT_EQ(StateOf(button_), skin::kStateDisabled);
    EXPECT_EQ(Composed().buttonPixel, 0xFFFFFF00u);
    SendMessageA(button_, WM_MOUSELEAVE, 0, 0);
    SendMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(StateOf(button_), skin::kStateDisabled);
    EXPECT_EQ(Composed().count, 1) << "a disabled button stays as it is shown";
    EnableWindow(button_, TRUE);
    EXPECT_EQ(StateOf(button_), skin::kStateNormal);
    EXPECT_EQ(Composed().count, 2);
    EXPECT_EQ(Composed().buttonPixel, 0xFFFF0000u);
    // Focus is not tracked on a layered parent.
    SendMessageA(button_, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(skin::GetSkinProp(button_, key::kIsFocus), 0);
    EXPECT_EQ(Composed().count, 2);
}

// The program's own order: the button is bound and given its tooltip on an ordinary window, then the window
// becomes layered and its children move onto the layered procedures. The tooltip must still appear.
TEST(LayeredButtonToolTip, TipRegisteredBeforeTheWindowBecameLayeredStillShowsOnHover) {
    Faces faces;
    Window parent(300, 200);
    HWND button = CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE, 50, 50, 40, 30, parent.get(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    skin::SkinButton buttonSkin;
    ASSERT_TRUE(buttonSkin.BindButton(button));
    buttonSkin.SetFaceImages(faces.normal.get(), faces.hover.get(), faces.down.get());
    buttonSkin.SetToolTip("tip text", true);
    skin::SkinWindow windowSkin;
    ASSERT_TRUE(windowSkin.Attach(parent.get()));
    windowSkin.SetBackImage(composetest::SolidImage(300, 200, 0xFF808080).release());
    windowSkin.BindChildren();
    MouseTo(20, 20);
    testsupport::PumpMessages(50);
    // Shown and activated as the program's windows are.
    ShowWindow(parent.get(), SW_SHOW);
    testsupport::PumpMessages(100);

    HWND tip = skin::SharedToolTipWindow();
    ASSERT_NE(tip, nullptr);
    MouseTo(100 + 50 + 10, 100 + 50 + 10);
    testsupport::PumpMessages(100);
    MouseTo(100 + 50 + 12, 100 + 50 + 11);
    EXPECT_TRUE(PumpUntilState(button, skin::kStateHover));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 5000));
    char text[64] = {};
    GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(text, "tip text");
    MouseTo(20, 20);
    testsupport::PumpMessages(300);
}

}  // namespace
