// The paint DC scope of gfx/holders.h against a real window.

#include <gtest/gtest.h>

#include <windows.h>

#include "gfx/holders.h"

namespace {

// A paint DC is given what the window was asked to paint, and validates it, drawn or not.
TEST(DcScopes, APaintDcValidatesTheUpdateRegionDrawnOrNot) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ValidateRect(window, nullptr);
    const RECT part{5, 5, 20, 15};
    InvalidateRect(window, &part, FALSE);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    {
        gfx::PaintDc painted(window);
        EXPECT_NE(painted.get(), nullptr);
        EXPECT_TRUE(EqualRect(&painted.paint().rcPaint, &part));
    }
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));

    DestroyWindow(window);
}

}  // namespace
