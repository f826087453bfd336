#include "skin/controls/binding.h"

#include <commctrl.h>

#include <cstdint>
#include <new>

#include "gfx/sysapi.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/paint.h"
#include "skin/controls/window_state.h"
#include "skin/floor/codes.h"
#include "skin/floor/geometry.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

namespace {

LRESULT CallProcSavedUnder(const char* name, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto saved = reinterpret_cast<WNDPROC>(GetSkinProp(window, name));
    // A window whose procedure could not be saved still gets default handling rather than a call to 0.
    if (!saved)
        return sys::DefWindowProcA(window, message, wParam, lParam);
    return sys::CallWindowProcA(saved, window, message, wParam, lParam);
}

bool ModifyLong(HWND window, int index, DWORD clearBits, DWORD setBits, UINT extraSwpFlags) {
    const LONG_PTR old = GetWindowLongPtrSys(window, index);
    const LONG_PTR updated = (old & ~static_cast<LONG_PTR>(clearBits)) | static_cast<LONG_PTR>(setBits);
    if (updated == old)
        return false;
    SetWindowLongPtrSys(window, index, updated);
    if (extraSwpFlags != 0)
        sys::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | extraSwpFlags);
    return true;
}

// Skinned controls draw their text over a background the engine painted, so they get a transparent mode
// and the hollow brush and erase nothing themselves.
LRESULT AnswerColorRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    const int32_t type = GetSkinCode(control, key::kType);
    if (type == kSkinNone)
        return CallSavedProc(window, message, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (type == kSkinPngControl)
        sys::SetTextColor(dc, GetSkinColor(control, key::kTextColor));
    sys::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(sys::GetStockObject(NULL_BRUSH));
}

// The system paints an owner-drawn button on its own at times; every custom-draw notice of a skinned
// button is answered with its face.
void RepaintOnCustomDraw(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header)
        return;
    const int32_t type = GetSkinCode(header->hwndFrom, key::kType);
    if (type == kSkinButton && header->code == static_cast<UINT>(NM_CUSTOMDRAW))
        PaintControl(header->hwndFrom);
}

// Text that changes or scrolls must not leave old glyphs on the transparent-looking background.
void RepaintEditOnNotification(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control || GetSkinCode(control, key::kType) != kSkinPngControl)
        return;
    if (EditCodeNeedsRepaint(HIWORD(wParam)))
        InvalidateWindow(control, nullptr, true);
}

// A layered window resized keeps a face of its old size: it is drawn whole at the new one, soon, and not only
// with the next change of a child.
void MarkResizedFace(HWND window, const WINDOWPOS* position) {
    const KeptFace* face = FindFace(window);
    if (face && position && (position->flags & SWP_NOSIZE) == 0 &&
        (position->cx != face->width || position->cy != face->height))
        MarkWholeFace(window);
}

}  // namespace

bool AttachWindow(HWND window) {
    if (!sys::IsWindow(window))
        return false;
    HWND parent = sys::GetParent(window);
    // A parent that is itself a skinned control keeps its own procedure.
    if (parent && GetSkinCode(parent, key::kType) == kSkinNone)
        SubclassWindow(parent, SkinParentProc);
    ModifyStyle(window, WS_CLIPSIBLINGS);
    ModifyExStyle(window, 0, WS_EX_TRANSPARENT);
    if (parent)
        ModifyStyle(parent, WS_CLIPCHILDREN);
    return true;
}

void SubclassWindow(HWND window, WNDPROC procedure) {
    if (GetSkinProp(window, key::kWndProc) != 0)
        return;
    const LONG_PTR old = ReplaceWindowProc(window, procedure);
    SetSkinProp(window, key::kWndProc, old);
}

void SubclassForRelease(HWND window) {
    if (GetSkinProp(window, key::kWndProc) == 0 && GetSkinProp(window, key::kChildWndProc) == 0)
        SubclassWindow(window, SkinParentProc);
}

void KeepDecodedImage(HWND window, gfx::UniqueGpImage& image) {
    if (!image || !sys::IsWindow(window))
        return;
    auto* kept = GetSkinPointer<DecodedImages>(window, key::kDecodedImages);
    if (!kept) {
        kept = new (std::nothrow) DecodedImages();
        if (!kept)
            return;
        SetSkinProp(window, key::kDecodedImages, reinterpret_cast<intptr_t>(kept));
    }
    kept->push_back(std::move(image));
    SubclassForRelease(window);
}

bool ModifyStyle(HWND window, DWORD clearBits, DWORD setBits, UINT extraSwpFlags) {
    return ModifyLong(window, GWL_STYLE, clearBits, setBits, extraSwpFlags);
}

bool ModifyExStyle(HWND window, DWORD clearBits, DWORD setBits, UINT extraSwpFlags) {
    return ModifyLong(window, GWL_EXSTYLE, clearBits, setBits, extraSwpFlags);
}

void RefreshInParent(HWND window) {
    RECT r{};
    sys::GetWindowRect(window, &r);
    HWND parent = sys::GetParent(window);
    POINT corner{r.left, r.top};
    sys::ScreenToClient(parent, &corner);
    RECT onParent{corner.x, corner.y, corner.x + (r.right - r.left), corner.y + (r.bottom - r.top)};
    InvalidateWindow(parent, &onParent, false);
    InvalidateWindow(window, nullptr, false);
}

void InvalidateWindow(HWND window, const RECT* rect, bool erase) {
    if (window)
        sys::InvalidateRect(window, rect, erase ? TRUE : FALSE);
}

LRESULT CallSavedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallProcSavedUnder(key::kWndProc, window, message, wParam, lParam);
}

LRESULT CallSavedChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallProcSavedUnder(key::kChildWndProc, window, message, wParam, lParam);
}

LRESULT CALLBACK SkinParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CompositionRequestMessage() && message != 0) {
        if (KeptFace* face = FindFace(window))
            face->requested = false;
        ComposeWindow(window);
        return 0;
    }
    switch (message) {
        case WM_NOTIFY:
            RepaintOnCustomDraw(lParam);
            return CallSavedProc(window, message, wParam, lParam);
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return AnswerColorRequest(window, message, wParam, lParam);
        case WM_COMMAND:
            RepaintEditOnNotification(wParam, lParam);
            return CallSavedProc(window, message, wParam, lParam);
        case WM_WINDOWPOSCHANGED: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            MarkResizedFace(window, reinterpret_cast<const WINDOWPOS*>(lParam));
            return result;
        }
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        default:
            return CallSavedProc(window, message, wParam, lParam);
    }
}

void MoveWindowAsRequested(HWND window, POINT topLeft, const MoveRequest& request) {
    RECT r{};
    sys::GetWindowRect(window, &r);
    const MovePlan plan = PlanMove(request, {topLeft.x, topLeft.y, r.right - r.left, r.bottom - r.top});
    sys::SetWindowPos(window, nullptr, plan.rect.left, plan.rect.top, plan.rect.width, plan.rect.height, plan.flags);
}

}  // namespace skin
