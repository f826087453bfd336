// Binding of controls and the skin parent procedure, on real windows and real messages.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "control_fixture.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/child_procs.h"
#include "skin/controls/skin_control.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace {

using controltest::CountReceived;
using controltest::ExStyleOf;
using controltest::MakeEdit;
using controltest::ParentLog;
using controltest::StyleOf;
using controltest::Window;
using controltest::WindowProcOf;
namespace key = skin::key;

TEST(Attach, TwoChildrenOfOneParentSubclassItOnce) {
    Window parent;
    HWND a = MakeEdit(parent.get(), 10, 10, 80, 24);
    HWND b = MakeEdit(parent.get(), 10, 40, 80, 24);
    skin::SkinControl first, second;
    ASSERT_TRUE(first.Attach(a));
    ASSERT_TRUE(second.Attach(b));

    EXPECT_EQ(WindowProcOf(parent.get()), &skin::SkinParentProc);
    // The saved procedure is the parent's own, not the engine's from the first attach.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(skin::GetSkinProp(parent.get(), key::kWndProc)), &controltest::RecordingProc);
    ParentLog().clear();
    SendMessageA(parent.get(), WM_USER + 7, 0, 0);
    EXPECT_EQ(CountReceived(parent.get(), WM_USER + 7), 1);
    EXPECT_EQ(first.GetHandle(), a);
    EXPECT_EQ(second.GetHwnd(), b);
}

TEST(Attach, ParentThatIsASkinnedControlKeepsItsProcedure) {
    Window outer;
    Window inner(200, 100, outer.get(), 0, 0);
    skin::SetSkinCode(inner.get(), key::kType, skin::kSkinPngControl);
    HWND edit = MakeEdit(inner.get(), 5, 5, 80, 24);
    skin::SkinControl control;
    ASSERT_TRUE(control.Attach(edit));
    EXPECT_EQ(WindowProcOf(inner.get()), &controltest::RecordingProc);
    EXPECT_EQ(skin::GetSkinProp(inner.get(), key::kWndProc), 0);
}

TEST(Attach, ClearsClipSiblingsSetsTransparentAndParentStopsClippingChildren) {
    Window parent(300, 200, nullptr, 100, 100, WS_CLIPCHILDREN);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 80, 24, parent.get(),
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(StyleOf(edit) & WS_CLIPSIBLINGS, 0);
    ASSERT_NE(StyleOf(parent.get()) & WS_CLIPCHILDREN, 0);
    skin::SkinControl control;
    ASSERT_TRUE(control.Attach(edit));
    EXPECT_EQ(StyleOf(edit) & WS_CLIPSIBLINGS, 0);
    EXPECT_NE(ExStyleOf(edit) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(StyleOf(parent.get()) & WS_CLIPCHILDREN, 0);
}

TEST(ModifyStyle, StyleThatAlreadyHasTheBitsIsNotRewritten) {
    Window parent;
    Window child(50, 20, parent.get(), 0, 0);
    ParentLog().clear();
    EXPECT_FALSE(skin::ModifyStyle(child.get(), WS_CLIPSIBLINGS, 0));
    EXPECT_FALSE(skin::ModifyExStyle(child.get(), 0, 0));
    EXPECT_EQ(CountReceived(child.get(), WM_STYLECHANGING), 0);

    EXPECT_TRUE(skin::ModifyExStyle(child.get(), 0, WS_EX_TRANSPARENT));
    EXPECT_EQ(CountReceived(child.get(), WM_STYLECHANGING), 1);
    EXPECT_FALSE(skin::ModifyExStyle(child.get(), 0, WS_EX_TRANSPARENT));
    EXPECT_EQ(CountReceived(child.get(), WM_STYLECHANGING), 1);
}

TEST(ModifyStyle, ExtraFlagsAlsoRepositionWithTheFixedFlags) {
    Window parent;
    Window child(50, 20, parent.get(), 0, 0);
    ParentLog().clear();
    EXPECT_TRUE(skin::ModifyStyle(child.get(), 0, WS_BORDER, SWP_FRAMECHANGED));
    EXPECT_EQ(CountReceived(child.get(), WM_WINDOWPOSCHANGING), 1);
    EXPECT_EQ(CountReceived(child.get(), WM_NCCALCSIZE), 1);  // the frame change was applied
    // Without extra flags no SetWindowPos happens.
    ParentLog().clear();
    EXPECT_TRUE(skin::ModifyStyle(child.get(), WS_BORDER, 0));
    EXPECT_EQ(CountReceived(child.get(), WM_WINDOWPOSCHANGING), 0);
}

TEST(Attach, HandleThatIsNoWindowFailsAndLeavesTheObjectAsItWas) {
    Window parent;
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24);
    HWND gone = MakeEdit(parent.get(), 10, 40, 80, 24);
    DestroyWindow(gone);
    skin::SkinControl control;
    EXPECT_FALSE(control.Attach(gone));
    EXPECT_EQ(control.GetHandle(), nullptr);
    EXPECT_FALSE(control.IsValid());

    control.BindPngControl(edit);
    skin::SetSkinProp(edit, key::kTextColor, 0x123456);
    control.BindPngControl(gone);
    EXPECT_EQ(control.GetHandle(), edit);
    EXPECT_EQ(skin::GetSkinProp(edit, key::kTextColor), 0x123456);
}

TEST(BindPngControl, WritesTypeAndDefaultColoursAndInstallsPngControlProc) {
    Window parent;
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24);
    skin::SkinControl control;
    control.BindPngControl(edit);
    EXPECT_EQ(skin::GetSkinCode(edit, key::kType), skin::kSkinPngControl);
    EXPECT_EQ(skin::GetSkinColor(edit, key::kBackColor), 0x00FFFFFFu);
    EXPECT_EQ(skin::GetSkinCode(edit, key::kBackAlpha), 255);
    EXPECT_EQ(skin::GetSkinColor(edit, key::kOrderColor), 0x007B8084u);
    EXPECT_EQ(skin::GetSkinCode(edit, key::kOrderAlpha), 255);
    EXPECT_EQ(skin::GetSkinProp(edit, key::kTextColor), 0);
    EXPECT_EQ(WindowProcOf(edit), &skin::PngControlProc);
    EXPECT_NE(skin::GetSkinProp(edit, key::kWndProc), 0);
    EXPECT_EQ(skin::GetSkinProp(edit, key::kChildWndProc), 0);
}

TEST(BindPngControl, UnderALayeredParentGetsNoBackColourAndLayeredChildProcOnce) {
    Window parent;
    skin::SetSkinCode(parent.get(), key::kType, skin::kSkinLayeredWindow);
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24);
    WNDPROC system = WindowProcOf(edit);
    skin::SkinControl control;
    control.BindPngControl(edit);
    EXPECT_EQ(skin::GetSkinColor(edit, key::kBackColor), skin::kNoColor);
    EXPECT_EQ(WindowProcOf(edit), &skin::LayeredChildProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(skin::GetSkinProp(edit, key::kChildWndProc)), system);
    EXPECT_EQ(skin::GetSkinProp(edit, key::kWndProc), 0);
    // A second binding keeps the system procedure as the saved one (no loop onto itself).
    control.BindPngControl(edit);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(skin::GetSkinProp(edit, key::kChildWndProc)), system);
    SetWindowTextA(edit, "still works");
    char text[32] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "still works");
}

class ParentProc : public ::testing::Test {
  protected:
    void SetUp() override {
        edit_ = MakeEdit(parent_.get(), 10, 10, 80, 24, 0, "", 21);
        plain_ = MakeEdit(parent_.get(), 10, 40, 80, 24, 0, "", 22);
        control_.BindPngControl(edit_);
        skin::SetSkinProp(edit_, key::kTextColor, 0x00336699);
        dc_ = GetDC(edit_);
        SetTextColor(dc_, RGB(1, 2, 3));
        SetBkMode(dc_, OPAQUE);
        ParentLog().clear();
    }
    void TearDown() override { ReleaseDC(edit_, dc_); }

    LRESULT SendColorRequest(UINT message, HWND from) {
        return SendMessageA(parent_.get(), message, reinterpret_cast<WPARAM>(dc_), reinterpret_cast<LPARAM>(from));
    }

    Window parent_;
    HWND edit_ = nullptr;
    HWND plain_ = nullptr;
    skin::SkinControl control_;
    HDC dc_ = nullptr;
};

TEST_F(ParentProc, CtlColorEditFromBoundEditGivesHollowBrushTextColourAndTransparentMode) {
    LRESULT brush = SendColorRequest(WM_CTLCOLOREDIT, edit_);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetTextColor(dc_), 0x00336699u);
    EXPECT_EQ(GetBkMode(dc_), TRANSPARENT);
    EXPECT_EQ(CountReceived(parent_.get(), WM_CTLCOLOREDIT), 0);
}

TEST_F(ParentProc, CtlColorEditFromUnskinnedChildGoesToTheOldProcedure) {
    EXPECT_EQ(SendColorRequest(WM_CTLCOLOREDIT, plain_), controltest::kForwardedBrush);
    EXPECT_EQ(CountReceived(parent_.get(), WM_CTLCOLOREDIT), 1);
    EXPECT_EQ(GetBkMode(dc_), OPAQUE);
}

TEST_F(ParentProc, CtlColorBtnFromSkinnedButtonIsTransparentButKeepsTextColour) {
    skin::SetSkinCode(plain_, key::kType, skin::kSkinButton);
    EXPECT_EQ(SendColorRequest(WM_CTLCOLORBTN, plain_), reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetTextColor(dc_), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc_), TRANSPARENT);
}

TEST_F(ParentProc, EveryColourRequestButScrollbarIsAnsweredForSkinnedControls) {
    for (UINT m :
         {WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLORSTATIC})
        EXPECT_EQ(SendColorRequest(m, edit_), reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH))) << m;
    EXPECT_EQ(SendColorRequest(WM_CTLCOLORSCROLLBAR, edit_), controltest::kForwardedBrush);
    EXPECT_EQ(CountReceived(parent_.get(), WM_CTLCOLORSCROLLBAR), 1);
}

// Counts the erase messages that a child's next paint brings.
LRESULT CALLBACK CountErases(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        skin::SetSkinProp(window, "TestErases", skin::GetSkinProp(window, "TestErases") + 1);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeErasingChild(HWND parent, int32_t type) {
    static const char* const cls = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = CountErases;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OcSkinTestEraseCounter";
        RegisterClassExA(&wc);
        return "OcSkinTestEraseCounter";
    }();
    HWND child = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 100, 100, 60, 20, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    skin::SetSkinCode(child, key::kType, type);
    UpdateWindow(child);
    skin::SetSkinProp(child, "TestErases", 0);
    return child;
}

int ErasesAfterCommand(HWND parent, HWND child, WORD code) {
    skin::SetSkinProp(child, "TestErases", 0);
    ValidateRect(child, nullptr);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(5, code), reinterpret_cast<LPARAM>(child));
    UpdateWindow(child);
    return static_cast<int>(skin::GetSkinProp(child, "TestErases"));
}

TEST_F(ParentProc, EditChangeAndScrollsFromTypeFourControlInvalidateWithErase) {
    parent_.Show();
    HWND child = MakeErasingChild(parent_.get(), skin::kSkinPngControl);
    EXPECT_EQ(ErasesAfterCommand(parent_.get(), child, EN_CHANGE), 1);
    EXPECT_EQ(ErasesAfterCommand(parent_.get(), child, EN_VSCROLL), 1);
    EXPECT_EQ(ErasesAfterCommand(parent_.get(), child, EN_HSCROLL), 1);
    EXPECT_EQ(ErasesAfterCommand(parent_.get(), child, EN_SETFOCUS), 0);
    EXPECT_EQ(ErasesAfterCommand(parent_.get(), child, EN_UPDATE), 0);
    // Every WM_COMMAND still reaches the parent's own procedure.
    EXPECT_EQ(CountReceived(parent_.get(), WM_COMMAND), 5);
}

TEST_F(ParentProc, EditChangeFromOtherTypesOrMenusIsOnlyForwarded) {
    HWND button = MakeErasingChild(parent_.get(), skin::kSkinButton);
    EXPECT_EQ(ErasesAfterCommand(parent_.get(), button, EN_CHANGE), 0);
    ParentLog().clear();
    SendMessageA(parent_.get(), WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // a menu command
    EXPECT_EQ(CountReceived(parent_.get(), WM_COMMAND), 1);
}

TEST_F(ParentProc, NotifyIsAlwaysForwardedAndANullHeaderIsSafe) {
    NMHDR header{plain_, 22, static_cast<UINT>(NM_CUSTOMDRAW)};
    SendMessageA(parent_.get(), WM_NOTIFY, 22, reinterpret_cast<LPARAM>(&header));
    header.hwndFrom = edit_;
    SendMessageA(parent_.get(), WM_NOTIFY, 21, reinterpret_cast<LPARAM>(&header));
    SendMessageA(parent_.get(), WM_NOTIFY, 0, 0);
    EXPECT_EQ(CountReceived(parent_.get(), WM_NOTIFY), 3);
}

TEST(ParentProcPaint, ForwardsPaintAndEraseToTheOldProcedure) {
    Window parent;
    parent.Show();
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24);
    skin::SkinControl control;
    control.BindPngControl(edit);
    ParentLog().clear();
    InvalidateRect(parent.get(), nullptr, TRUE);
    UpdateWindow(parent.get());
    EXPECT_EQ(CountReceived(parent.get(), WM_PAINT), 1);
    EXPECT_EQ(CountReceived(parent.get(), WM_ERASEBKGND), 1);
}

}  // namespace
