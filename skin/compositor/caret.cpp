#include "skin/compositor/caret.h"

#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/compositor/look.h"
#include "skin/floor/argb.h"

namespace skin {

namespace {

FocusCaretState g_focusCaret;

}  // namespace

FocusCaretState& FocusCaret() {
    return g_focusCaret;
}

bool CaretLineAt(HWND parent, HWND child, POINT& top) {
    IntRect box;
    if (!ChildBoxInParent(parent, child, box))
        return false;
    POINT caret{};
    sys::GetCaretPos(&caret);
    top.x = box.left + caret.x + 5;
    top.y = static_cast<int>(box.top + (box.height - kCaretHeight) / 2.0);
    return true;
}

IntRect DrawCaretLine(HDC dc, int x, int y) {
    gfx::UniqueGpGraphics g;
    sys::GdipCreateFromHDC(dc, g.put());
    gfx::UniqueGpPen pen;
    sys::GdipCreatePen1(ToArgb(0, 255), 1.0f, Gdiplus::UnitWorld, pen.put());
    if (g && pen)
        sys::GdipDrawLineI(g.get(), pen.get(), x, y, x, y + kCaretHeight);
    // A one-pixel pen may touch the pixels either side of the line's ends and column.
    return {x - 1, y - 1, 3, kCaretHeight + 3};
}

bool CaretShowsOn(HWND window) {
    return g_focusCaret.caretVisible && g_focusCaret.focusChild && window == g_focusCaret.focusParent;
}

IntRect DrawFocusedCaret(HWND window, HDC dc, int width, int height) {
    POINT top{};
    if (!g_focusCaret.focusChild || !CaretLineAt(window, g_focusCaret.focusChild, top))
        return {};
    return ClipToFace(DrawCaretLine(dc, top.x, top.y), width, height);
}

void ForgetCaretWindow(HWND window) {
    if (window == g_focusCaret.focusChild)
        g_focusCaret.focusChild = nullptr;
    if (window == g_focusCaret.focusParent) {
        g_focusCaret.focusParent = nullptr;
        g_focusCaret.focusChild = nullptr;
    }
}

}  // namespace skin
