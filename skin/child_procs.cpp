#include "skin/child_procs.h"

#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/binding.h"
#include "skin/compose.h"
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
    switch (message) {
        case WM_SETFOCUS: {
            // Set before composing, so that the face composed now is the one the caret blinks on.
            FocusCaretState& focus = FocusCaret();
            focus.caretVisible = 0;
            focus.focusParent = sys::GetParent(window);
            focus.focusChild = window;
            StartCaretBlink(focus.focusParent);
            break;
        }
        case WM_KILLFOCUS: {
            // Cleared before composing, so that the face composed now is shown without a caret.
            FocusCaretState& focus = FocusCaret();
            focus.focusChild = nullptr;
            focus.focusParent = nullptr;
            StopCaretBlink(sys::GetParent(window));
            break;
        }
        case WM_SETTEXT:
            // A write of the text the parent's face already shows for this child changes nothing on screen:
            // the write happens and nothing is composed or read.
            if (FaceShowsText(sys::GetParent(window), window, reinterpret_cast<const char*>(lParam)))
                return CallSavedChildProc(window, message, wParam, lParam);
            {
                const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
                ComposeWindowForText(sys::GetParent(window), window);
                return result;
            }
        case WM_PAINT: {
            // The system never shows a layered window's children, so what the control would paint is never
            // seen: nothing is drawn, and the whole update region, the frame's part included, is validated as
            // the system validates it for any painting.
            PAINTSTRUCT ps{};
            sys::BeginPaint(window, &ps);
            sys::EndPaint(window, &ps);
            return 0;
        }
        case WM_SETFONT:
        case WM_WINDOWPOSCHANGED:
            // The parent's face changes with the font or the place; it is composed at the next trigger.
            ForgetShownFace(sys::GetParent(window));
            return CallSavedChildProc(window, message, wParam, lParam);
        case WM_CHAR:
        case WM_IME_CHAR:
        case WM_PASTE:
        case WM_CUT:
        case WM_KEYDOWN:
        case WM_LBUTTONUP:
            break;
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        default:
            return CallSavedChildProc(window, message, wParam, lParam);
    }
    const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
    ComposeWindowIfChanged(sys::GetParent(window));
    return result;
}

}  // namespace skin
