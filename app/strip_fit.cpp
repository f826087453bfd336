#include "app/strip_fit.h"

#include <windows.h>

#include <algorithm>

#include "app/controls.h"
#include "app/display.h"
#include "gfx/fonts.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"

namespace app {

namespace {

// The face draws a box's text from 2 pixels inside its left edge.
constexpr int kTextInset = 2;

// The width GDI+ gives `line` in `font`, laid out as the face lays out a box's text (its padding included);
// -1 when it cannot be measured (the line is then taken to fit).
float MeasuredWidth(Gdiplus::GpFont* font, const std::string& line) {
    gfx::UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    gfx::UniqueGpGraphics graphics;
    if (!dc || sys::GdipCreateFromHDC(dc.get(), graphics.put()) != Gdiplus::Ok)
        return -1;
    gfx::StringFormatObject format;
    format.Create(gfx::kTextLayoutFlags, 0);
    const std::wstring text = gfx::AnsiToWide(line);
    const Gdiplus::RectF unbounded(0, 0, 100000, 1000);
    Gdiplus::RectF bounds;
    if (sys::GdipMeasureString(graphics.get(), text.c_str(), static_cast<INT>(text.size()), font, &unbounded,
                               format.GetHandle(), &bounds, nullptr, nullptr) != Gdiplus::Ok)
        return -1;
    return bounds.Width;
}

}  // namespace

bool LineFitsStrip(const std::string& line) {
    HWND box = GetControlHandle(ids::kCountdownWindow, ids::kCountdownText, ControlKind::EditBox);
    if (!box)
        return true;
    RECT r{};
    GetWindowRect(box, &r);
    const LONG screenRight = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    LONG seenRight = std::min(r.right, screenRight);
    // A taskbar on the right covers what lies past the work area.
    const Area work = GetWorkArea();
    if (work.right > work.left && r.left < work.right)
        seenRight = std::min<LONG>(seenRight, work.right);
    gfx::FontObject font;
    if (!font.CreateFromWindow(box))
        return true;
    const float width = MeasuredWidth(font.GetHandle(), line);
    return width < 0 || r.left + kTextInset + width <= seenRight;
}

}  // namespace app
