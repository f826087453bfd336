#include "skin/controls/child_procs.h"

#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/compositor/caret_blink.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/window_state.h"
#include "skin/floor/geometry.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

namespace {

void DrawBackImage(HDC dc, Gdiplus::GpImage* image, int32_t backType, int w, int h) {
    gfx::UniqueGpGraphics graphics;
    sys::GdipCreateFromHDC(dc, graphics.put());
    if (!graphics)
        return;
    Gdiplus::REAL iw = 0, ih = 0;
    sys::GdipGetImageDimension(image, &iw, &ih);
    const ImagePlace p = PlaceImage(backType, iw, ih, w, h);
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

// Messages after which an edit box looks as it did: reads, hit tests, the pointer's moves, timers, paints and
// the steps of a move (whose end, WM_WINDOWPOSCHANGED, marks it). After any other message the text is compared
// with the one drawn: what changes the text need not be known (the box's context menu, Alt+Backspace,
// EM_REPLACESEL, EM_SETHANDLE, input methods all change it their own way).
bool LeavesTheLookAlone(UINT message) {
    switch (message) {
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_GETFONT:
        case WM_GETDLGCODE:
        case WM_GETOBJECT:
        case WM_GETMINMAXINFO:
        case WM_NCHITTEST:
        case WM_SETCURSOR:
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_MOUSEHOVER:
        case WM_MOUSELEAVE:
        case WM_NCMOUSELEAVE:
        case WM_MOUSEACTIVATE:
        case WM_TIMER:
        case 0x0118:  // WM_SYSTIMER: the system caret's blink
        case WM_NCPAINT:
        case WM_ERASEBKGND:
        case WM_NCCALCSIZE:
        case WM_WINDOWPOSCHANGING:
        case WM_MOVE:
        case WM_SIZE:
        case WM_QUERYUISTATE:
        case WM_NOTIFYFORMAT:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case EM_GETSEL:
        case EM_GETRECT:
        case EM_GETMODIFY:
        case EM_GETLINECOUNT:
        case EM_LINEINDEX:
        case EM_GETHANDLE:
        case EM_LINELENGTH:
        case EM_GETLINE:
        case EM_CANUNDO:
        case EM_LINEFROMCHAR:
        case EM_GETFIRSTVISIBLELINE:
        case EM_GETPASSWORDCHAR:
        case EM_GETMARGINS:
        case EM_GETLIMITTEXT:
        case EM_POSFROMCHAR:
        case EM_CHARFROMPOS:
            return true;
        default:
            return false;
    }
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
        case WM_SETFONT:
        case WM_WINDOWPOSCHANGED:
        case WM_DESTROY: {
            // A new font, place, z-order or visibility, or the child's end: its old and new place in the
            // parent's face are drawn by the composition the mark asks for, one for a burst of them.
            const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
            MarkChild(window);
            return result;
        }
        case WM_PAINT: {
            // The system never shows a layered window's children, so what the control would paint is never
            // seen: nothing is drawn, and the whole update region, the frame's part included, is validated as
            // the system validates it for any painting.
            gfx::PaintDc painted(window);
            return 0;
        }
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        default:
            break;
    }
    if (LeavesTheLookAlone(message))
        return CallSavedChildProc(window, message, wParam, lParam);
    // Whatever the message did to the text is shown as it ends, with the caret.
    HWND parent = sys::GetParent(window);
    ComposeAtEnd composition(parent);
    const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        FollowFocus(window, message == WM_SETFOCUS);  // after the box has placed its caret
    const bool changed = MarkChild(window, ChildChange::kText);
    const bool caretNow = (changed || MovesTheCaret(message) || message == WM_SETFOCUS) && ShowCaretAnew(window);
    if (!composition.Finish() && caretNow)
        PresentCaret(parent, 1);
    return result;
}

}  // namespace skin
