#include "skin/controls/tooltip.h"

#include "gfx/sysapi.h"

namespace skin {

namespace {

constexpr LPARAM kMaxTipWidth = 1024;

HWND g_toolTipWindow = nullptr;

}  // namespace

HWND EnsureToolTipWindow() {
    if (g_toolTipWindow)
        return g_toolTipWindow;
    // The class is registered by comctl32, which the engine reaches only through the system table.
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    sys::InitCommonControlsEx(&icc);
    g_toolTipWindow =
        sys::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (g_toolTipWindow)  // at most 1024 pixels wide, and line breaks are honoured
        sys::SendMessageA(g_toolTipWindow, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    return g_toolTipWindow;
}

HWND SharedToolTipWindow() {
    return g_toolTipWindow;
}

}  // namespace skin
