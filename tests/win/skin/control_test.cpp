// SkinControl's accessors, tooltips, moves and setters, on real windows.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "control_fixture.h"
#include "gfx/gfx_test_support.h"
#include "win_test_support.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/tooltip.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace {

using controltest::MakeEdit;
using controltest::ParentLog;
using controltest::Window;
namespace key = skin::key;

int ToolCount() {
    return static_cast<int>(SendMessageA(skin::SharedToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0));
}

// The registered record of the tool (window, 0), with its text; false when there is none.
bool ToolOf(HWND window, TTTOOLINFOA& info, std::string& text) {
    static char buffer[256];
    buffer[0] = '\0';
    info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = window;
    info.uId = 0;
    info.lpszText = buffer;
    if (!SendMessageA(skin::SharedToolTipWindow(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
        return false;
    info.lpszText = buffer;
    SendMessageA(skin::SharedToolTipWindow(), TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&info));
    text = buffer;
    return true;
}

TEST(SetToolTip, FirstCallRegistersAtCursorAndTheSecondOnlyUpdatesTheText) {
    Window parent;
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24);
    skin::SkinControl control;
    control.BindPngControl(edit);
    control.SetToolTip("first");
    ASSERT_NE(skin::SharedToolTipWindow(), nullptr);
    const int registered = ToolCount();
    EXPECT_EQ(control.GetProperty(key::kToolTips), 1);

    control.SetToolTip("second", false);  // the position argument no longer matters
    EXPECT_EQ(ToolCount(), registered);
    TTTOOLINFOA info;
    std::string text;
    ASSERT_TRUE(ToolOf(edit, info, text));
    EXPECT_EQ(text, "second");
    EXPECT_EQ(info.uFlags & 0xFF, 0x10u);
    RECT client;
    GetClientRect(edit, &client);
    EXPECT_TRUE(EqualRect(&info.rect, &client));
}

TEST(SetToolTip, CentredTipRegistersWithCenterTipAndDefaultOrTrueWithout) {
    Window parent;
    HWND a = MakeEdit(parent.get(), 10, 10, 80, 24);
    HWND b = MakeEdit(parent.get(), 10, 40, 80, 24);
    HWND c = MakeEdit(parent.get(), 10, 70, 80, 24);
    skin::SkinControl sa, sb, sc;
    sa.BindPngControl(a);
    sb.BindPngControl(b);
    sc.BindPngControl(c);
    sa.SetToolTip("centred", false);
    const int before = ToolCount();
    sb.SetToolTip("default");
    sc.SetToolTip("true", true);
    EXPECT_EQ(ToolCount(), before + 2);
    TTTOOLINFOA info;
    std::string text;
    ASSERT_TRUE(ToolOf(a, info, text));
    EXPECT_EQ(info.uFlags & 0xFF, 0x12u);
    EXPECT_EQ(text, "centred");
    ASSERT_TRUE(ToolOf(b, info, text));
    EXPECT_EQ(info.uFlags & 0xFF, 0x10u);
    ASSERT_TRUE(ToolOf(c, info, text));
    EXPECT_EQ(info.uFlags & 0xFF, 0x10u);
}

TEST(SetToolTip, SharedWindowIsTopmostAndAbsentTextCountsAsEmpty) {
    Window parent;
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24);
    skin::SkinControl control;
    control.BindPngControl(edit);
    control.SetToolTip(nullptr);
    TTTOOLINFOA info;
    std::string text = "x";
    ASSERT_TRUE(ToolOf(edit, info, text));
    EXPECT_EQ(text, "");
    EXPECT_NE(GetWindowLongPtrA(skin::SharedToolTipWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(SendMessageA(skin::SharedToolTipWindow(), TTM_GETMAXTIPWIDTH, 0, 0), 1024);
}

TEST(SetToolTip, UnboundObjectRegistersNothing) {
    skin::SkinControl unbound;
    unbound.SetToolTip("nobody");  // creates the shared window if this test runs first
    const int before = ToolCount();
    unbound.SetToolTip("nobody");
    EXPECT_EQ(ToolCount(), before);
}

class Move : public ::testing::Test {
  protected:
    Move() : parent_(300, 200), child_(80, 25, parent_.get(), 30, 40) { control_.Attach(child_.get()); }

    // Flags of the last SetWindowPos that reached the child, without the ones the system adds.
    UINT LastFlags() const {
        UINT flags = 0xFFFF;
        for (const auto& r : ParentLog())
            if (r.window == child_.get() && r.message == WM_WINDOWPOSCHANGING)
                flags = r.positionFlags & 0x000F;
        return flags;
    }
    RECT PlacementInParent() const {
        RECT r;
        GetWindowRect(child_.get(), &r);
        MapWindowPoints(nullptr, parent_.get(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    Window parent_;
    Window child_;
    skin::SkinControl control_;
};

TEST_F(Move, WithoutArgumentsKeepsPlacementWithFlags7) {
    ParentLog().clear();
    control_.Move();
    EXPECT_EQ(LastFlags(), 0x0007u);
    RECT r = PlacementInParent();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
}

TEST_F(Move, LeftOnlyMovesToThatXInParentCoordinatesAndKeepsTheRest) {
    ParentLog().clear();
    control_.Move(10);
    EXPECT_EQ(LastFlags(), static_cast<UINT>(SWP_NOZORDER | SWP_NOSIZE));
    RECT r = PlacementInParent();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(r.bottom - r.top, 25);
}

TEST_F(Move, WidthOnlyResizesWithFlags6) {
    ParentLog().clear();
    control_.Move(std::nullopt, std::nullopt, 50);
    EXPECT_EQ(LastFlags(), 0x0006u);
    RECT r = PlacementInParent();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 25);
}

TEST_F(Move, NoRedrawAddsItsFlagAndZeroCountsAsGiven) {
    ParentLog().clear();
    control_.Move(0, std::nullopt, std::nullopt, 0, true);
    EXPECT_EQ(LastFlags(), static_cast<UINT>(SWP_NOZORDER | SWP_NOREDRAW));
    RECT r = PlacementInParent();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.bottom - r.top, 0);
}

TEST(MoveTopLevel, WindowWithoutParentKeepsScreenCoordinates) {
    Window top(120, 60);
    skin::SkinControl control;
    control.Attach(top.get());
    control.Move(std::nullopt, 300);
    RECT r;
    GetWindowRect(top.get(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 300);
    EXPECT_EQ(r.right - r.left, 120);
}

class Setters : public ::testing::Test {
  protected:
    Setters() : parent_(300, 200) {
        edit_ = MakeEdit(parent_.get(), 10, 10, 100, 30, WS_EX_CLIENTEDGE, "text");
        control_.BindPngControl(edit_);
    }
    intptr_t Prop(const char* name) const { return skin::GetSkinProp(edit_, name); }

    Window parent_;
    HWND edit_ = nullptr;
    skin::SkinControl control_;
};

TEST_F(Setters, BackColourAlphaIsClampedAndOmittedAlphaIsKept) {
    control_.SetBackColor(0x00102030, 300);
    EXPECT_EQ(Prop(key::kBackColor), 0x00102030);
    EXPECT_EQ(Prop(key::kBackAlpha), 255);
    control_.SetBackColor(0x00102030, -5);
    EXPECT_EQ(Prop(key::kBackAlpha), 0);
    control_.SetBackColor(0x00405060, 77);
    control_.SetBackColor(0x00708090);
    EXPECT_EQ(Prop(key::kBackColor), 0x00708090);
    EXPECT_EQ(Prop(key::kBackAlpha), 77);
}

TEST_F(Setters, OrderColourUsesItsOwnKeys) {
    const intptr_t backAlpha = Prop(key::kBackAlpha);
    control_.SetOrderColor(0x00ABCDEF, 1000);
    EXPECT_EQ(Prop(key::kOrderColor), 0x00ABCDEF);
    EXPECT_EQ(Prop(key::kOrderAlpha), 255);
    control_.SetOrderColor(static_cast<uint32_t>(-1));
    EXPECT_EQ(skin::GetSkinColor(edit_, key::kOrderColor), skin::kNoColor);
    EXPECT_EQ(Prop(key::kOrderAlpha), 255);
    EXPECT_EQ(Prop(key::kBackAlpha), backAlpha);
}

TEST_F(Setters, ColourSettersRepaintTheFrameAndRefreshTheCache) {
    parent_.Show();
    UpdateWindow(parent_.get());
    auto before = reinterpret_cast<HBITMAP>(Prop(key::kCacheBitmap));
    ASSERT_NE(before, nullptr);
    control_.SetBackColor(0x000000FF);  // red as a COLORREF
    auto after = reinterpret_cast<HBITMAP>(Prop(key::kCacheBitmap));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(controltest::BitmapPixel(after, 5, 5), 0xFF0000u);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(edit_, &update, FALSE));
}

TEST_F(Setters, ForeColourAndBackTypeAreStored) {
    control_.SetForeColor(16740484);
    EXPECT_EQ(Prop(key::kTextColor), 16740484);
    control_.SetBackType(skin::kBackFit);
    EXPECT_EQ(Prop(key::kBackType), skin::kBackFit);
}

TEST_F(Setters, BackImageIsStoredAndClearedWhenOmitted) {
    auto image = composetest::SolidImage(4, 4, 0xFF00FF00);
    control_.SetBackImage(image.get());
    EXPECT_EQ(Prop(key::kBackImage), reinterpret_cast<intptr_t>(image.get()));
    control_.SetBackImage();
    EXPECT_EQ(Prop(key::kBackImage), 0);
}

TEST_F(Setters, BackImageDataDecodesAndAnUndecodableBlockClears) {
    gfx::ByteBlock png = gfxtest::MakePng(6, 3, [](int, int) { return 0xFF0000FFu; });
    control_.SetBackImageData(png.data());
    auto* image = reinterpret_cast<Gdiplus::GpImage*>(Prop(key::kBackImage));
    ASSERT_NE(image, nullptr);
    UINT w = 0, h = 0;
    composetest::ImageSize(image, w, h);
    EXPECT_EQ(w, 6u);
    EXPECT_EQ(h, 3u);
    const uint8_t junk[] = {1, 0, 0, 0, 3, 0, 0, 0, 'x', 'y', 'z'};
    control_.SetBackImageData(junk);
    EXPECT_EQ(Prop(key::kBackImage), 0);
    control_.SetBackImageData(nullptr);
    EXPECT_EQ(Prop(key::kBackImage), 0);
}

TEST_F(Setters, GetTextReturnsACopyOfTheWindowText) {
    EXPECT_EQ(control_.GetText(), "text");
    SetWindowTextA(edit_, "");
    EXPECT_EQ(control_.GetText(), "");
}

TEST(Accessors, UnboundObjectIsInvalidAndReadsZero) {
    skin::SkinControl control;
    EXPECT_FALSE(control.IsValid());
    EXPECT_EQ(control.GetHandle(), nullptr);
    EXPECT_EQ(control.GetProperty(key::kType), 0);
    EXPECT_EQ(control.Send(WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(Accessors, UnboundObjectRepaintsNoOtherWindow) {
    Window bystander;
    bystander.Show();
    UpdateWindow(bystander.get());
    skin::SkinControl unbound;
    unbound.Redraw();
    unbound.SetForeColor(0x10);
    unbound.SetBackType(1);
    unbound.SetBackImage();
    RECT update;
    EXPECT_FALSE(GetUpdateRect(bystander.get(), &update, FALSE));
}

TEST(Accessors, TwoObjectsOnOneWindowAndACloneShareAllState) {
    Window parent;
    HWND edit = MakeEdit(parent.get(), 10, 10, 80, 24, 0, "abc");
    skin::SkinControl one, two;
    one.BindPngControl(edit);
    ASSERT_TRUE(two.Attach(edit));
    one.SetProperty(key::kBackType, 2);
    EXPECT_EQ(two.GetProperty(key::kBackType), 2);
    std::unique_ptr<skin::SkinControl> copy(one.Clone());
    EXPECT_EQ(copy->GetHandle(), edit);
    copy->SetForeColor(0x55);
    EXPECT_EQ(one.GetProperty(key::kTextColor), 0x55);
    EXPECT_TRUE(copy->IsValid());
    EXPECT_EQ(copy->Send(WM_GETTEXTLENGTH, 0, 0), 3);
    EXPECT_EQ(copy->SendSync(WM_GETTEXTLENGTH, 0, 0), 3);
    copy->Release();
    // Releasing leaves the window as it was.
    EXPECT_EQ(one.GetProperty(key::kType), skin::kSkinPngControl);
    EXPECT_TRUE(one.IsValid());
}

TEST(Accessors, RedrawInvalidatesWithoutErasing) {
    Window parent;
    parent.Show();
    Window child(50, 20, parent.get(), 0, 0);
    UpdateWindow(parent.get());
    skin::SkinControl control;
    control.Attach(child.get());
    ParentLog().clear();
    control.Redraw();
    UpdateWindow(child.get());
    EXPECT_EQ(controltest::CountReceived(child.get(), WM_PAINT), 1);
    EXPECT_EQ(controltest::CountReceived(child.get(), WM_ERASEBKGND), 0);
}

// What a bound window keeps (its cache bitmap) goes with the window: bound boxes that come and go leave no
// GDI objects behind, however many there were.
TEST(WindowLifetime, BoundEditBoxesThatComeAndGoLeaveNoCacheBitmapsBehind) {
    auto bindPaintAndDestroy = [] {
        Window parent(200, 60);
        HWND edit = MakeEdit(parent.get(), 5, 5, 100, 24, WS_EX_CLIENTEDGE, "12:00:00");
        skin::SkinControl control;
        control.BindPngControl(edit);
        control.SetBackColor(0x00FFEEDD);  // paints the frame, which keeps the skin under it as the cache
        EXPECT_NE(skin::GetSkinProp(edit, key::kCacheBitmap), 0);
    };
    for (int i = 0; i < 10; ++i)
        bindPaintAndDestroy();
    const DWORD before = testsupport::GdiObjectCount();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 200; ++i)
        bindPaintAndDestroy();
    EXPECT_LT(testsupport::GdiObjectCount(), before + 20) << "GDI objects before: " << before;
}

}  // namespace
