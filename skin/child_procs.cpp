#include "skin/child_procs.h"

#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/binding.h"
#include "skin/compose.h"
#include "skin/face.h"
#include "skin/keys.h"
#include "skin/props.h"
#include "skin/rules.h"
#include "skin/skin_window.h"
#include "skin/window_state.h"

namespace skin {

namespace {

void DrawBackImage(HDC dc, Gdiplus::GpImage* image, int32_t backType, int w, int h) {
    gfx::UniqueGpGraphics graphics;
    sys::GdipCreateFromHDC(dc, graphics.put());
    if (!graphics)
        return;
    Gdiplus::REAL iw = 0, ih = 0;
    sys::GdipGetImageDimension(image, &iw, &ih);
    const Placement p = PlaceImage(backType, iw, ih, w, h);
    if (p.cropped)
        sys::GdipDrawImagePointRect(graphics.get(), image, static_cast<Gdiplus::REAL>(p.x),
                                    static_cast<Gdiplus::REAL>(p.y), 0, 0, static_cast<Gdiplus::REAL>(w),
                                    static_cast<Gdiplus::REAL>(h), Gdiplus::UnitPixel);
    else
        sys::GdipDrawImageRect(graphics.get(), image, static_cast<Gdiplus::REAL>(p.x), static_cast<Gdiplus::REAL>(p.y),
                               static_cast<Gdiplus::REAL>(p.width), static_cast<Gdiplus::REAL>(p.height));
}

void FillWithColor(HDC dc, const RECT& r, uint32_t colour, bool frameOnly) {
    gfx::UniqueBrush brush(sys::CreateSolidBrush(colour));
    if (!brush)
        return;
    if (frameOnly)
        sys::FrameRect(dc, &r, brush.get());
    else
        sys::FillRect(dc, &r, brush.get());
}

// The caret blinks on the parent's kept face while the child has the focus; it is taken off when it goes.
void FollowFocus(HWND window, bool gained) {
    HWND parent = sys::GetParent(window);
    FocusCaretState& focus = FocusCaret();
    focus.caretVisible = 0;
    focus.focusParent = gained ? parent : nullptr;
    focus.focusChild = gained ? window : nullptr;
    if (gained) {
        StartCaretBlink(parent);
        return;
    }
    StopCaretBlink(parent);
    PresentCaret(parent, 0);
}

}  // namespace

void PaintControlFrame(HWND window) {
    gfx::WindowDc windowDc(window);
    HDC dc = windowDc.get();
    if (!dc)
        return;
    RECT wr{}, cr{};
    sys::GetWindowRect(window, &wr);
    sys::GetClientRect(window, &cr);
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    const int cw = cr.right - cr.left;
    const int ch = cr.bottom - cr.top;
    const IntSize offset = FrameOffset(w, h, cw, ch);
    const RECT whole{0, 0, w, h};

    const uint32_t backColor = GetSkinColor(window, key::kBackColor);
    if (backColor != kNoColor)
        FillWithColor(dc, whole, backColor, false);
    if (auto* image = GetSkinPointer<Gdiplus::GpImage>(window, key::kBackImage))
        DrawBackImage(dc, image, GetSkinCode(window, key::kBackType), w, h);
    const uint32_t orderColor = GetSkinColor(window, key::kOrderColor);
    if (orderColor != kNoColor)
        FillWithColor(dc, whole, orderColor, true);

    // The client part of this painting is what the control's erasing restores.
    ReplaceCacheBitmap(window, dc, offset.width, offset.height, cw, ch);
}

void EraseFromCache(HWND window, HDC dc) {
    if (auto cache = reinterpret_cast<HBITMAP>(GetSkinProp(window, key::kCacheBitmap))) {
        RECT cr{};
        sys::GetClientRect(window, &cr);
        gfx::UniqueMemoryDC memory(sys::CreateCompatibleDC(dc));
        if (memory) {
            gfx::ScopedSelect selected(memory.get(), cache);
            sys::BitBlt(dc, 0, 0, cr.right - cr.left, cr.bottom - cr.top, memory.get(), 0, 0, SRCCOPY);
        }
    }
    sys::InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK PngControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            return CallSavedProc(window, message, wParam, lParam);
        case WM_NCPAINT:
            PaintControlFrame(window);
            return 1;
        case WM_ERASEBKGND:
            EraseFromCache(window, reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_GETDLGCODE:
        case WM_PASTE:
        case WM_CUT:
        case WM_LBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_VSCROLL:
        case WM_HSCROLL:
            // These may move or remove text: the next paint must restore the skin under it first.
            sys::InvalidateRect(window, nullptr, TRUE);
            return CallSavedProc(window, message, wParam, lParam);
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        default:
            return CallSavedProc(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK LayeredChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ChildChange change = ChildChange::kPlace;
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            FollowFocus(window, message == WM_SETFOCUS);
            break;
        case WM_SETTEXT:
        case WM_CHAR:
        case WM_IME_CHAR:
        case WM_PASTE:
        case WM_CUT:
        case WM_KEYDOWN:
        case WM_LBUTTONUP:
            // Written, typed, pasted or cut: the text may have changed, with or without WM_SETTEXT.
            change = ChildChange::kText;
            break;
        case WM_SETFONT:
        case WM_WINDOWPOSCHANGED:
        case WM_DESTROY:
            // A new font, place, z-order or visibility, or the child's end: its old and new place in the
            // parent's face are drawn at the next trigger.
            break;
        case WM_PAINT: {
            // The system never shows a layered window's children, so what the control would paint is never
            // seen: nothing is drawn, and the whole update region, the frame's part included, is validated as
            // the system validates it for any painting.
            PAINTSTRUCT ps{};
            sys::BeginPaint(window, &ps);
            sys::EndPaint(window, &ps);
            return 0;
        }
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        default:
            return CallSavedChildProc(window, message, wParam, lParam);
    }
    const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
    if (message != WM_SETFOCUS && message != WM_KILLFOCUS)
        MarkChild(window, change);
    // A font, a place or the child's end is shown by the next trigger; everything else is one.
    if (message != WM_SETFONT && message != WM_WINDOWPOSCHANGED && message != WM_DESTROY)
        ComposeWindow(sys::GetParent(window));
    return result;
}

}  // namespace skin
