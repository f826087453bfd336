#include "skin/controls/skin_control.h"

#include <commctrl.h>

#include <cstddef>

#include "gfx/graphics.h"
#include "gfx/sysapi.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/child_procs.h"
#include "skin/controls/tooltip.h"
#include "skin/controls/window_state.h"
#include "skin/floor/codes.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

namespace {

constexpr uint32_t kDefaultBackColor = 0x00FFFFFF;
constexpr uint32_t kDefaultOrderColor = 0x007B8084;
constexpr int32_t kOpaque = 255;
void SetColorAndAlpha(HWND window,
                      const char* colourKey,
                      const char* alphaKey,
                      uint32_t colour,
                      std::optional<int32_t> alpha) {
    SetSkinProp(window, colourKey, static_cast<intptr_t>(colour));
    if (alpha)
        SetSkinCode(window, alphaKey, ClampAlpha(*alpha));
}

}  // namespace

void SkinControlBase::Release() {}

bool SkinControlBase::Attach(HWND window) {
    if (!AttachWindow(window))
        return false;
    window_ = window;
    return true;
}

HWND SkinControlBase::GetHandle() const {
    return window_;
}

void SkinControlBase::SetProperty(const char* key, intptr_t value) {
    SetSkinProp(window_, key, value);
}

intptr_t SkinControlBase::GetProperty(const char* key) const {
    return GetSkinProp(window_, key);
}

LRESULT SkinControlBase::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return sys::SendMessageA(window_, message, wParam, lParam);
}

void SkinControlBase::SetToolTip(const char* text, std::optional<bool> atCursor) {
    HWND tip = EnsureToolTipWindow();
    // The tooltip window copies the text; the record only lends it for the call.
    std::string copy = text ? text : "";
    TTTOOLINFOA record{};
    record.cbSize = kToolInfoSize;
    record.hwnd = window_;
    record.uId = 0;
    record.lpszText = copy.data();
    // Through the table, so that a class replacing the property access is honoured.
    if (GetProperty(key::kToolTips) == 0) {
        SetProperty(key::kToolTips, 1);
        // An unbound object has no window to hang a tool on.
        if (!window_)
            return;
        record.uFlags = ToolTipFlags(atCursor.value_or(true));
        sys::GetClientRect(window_, &record.rect);
        sys::SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&record));
    } else {
        sys::SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&record));
    }
}

void SkinControlBase::Move(std::optional<int> left,
                           std::optional<int> top,
                           std::optional<int> width,
                           std::optional<int> height,
                           std::optional<bool> noRedraw) {
    RECT r{};
    sys::GetWindowRect(window_, &r);
    POINT corner{r.left, r.top};
    if (HWND parent = sys::GetParent(window_))
        sys::ScreenToClient(parent, &corner);
    MoveWindowAsRequested(window_, corner, {left, top, width, height, noRedraw});
}

HWND SkinControlBase::GetHwnd() const {
    return window_;
}

bool SkinControlBase::IsValid() const {
    return sys::IsWindow(window_) == 1;
}

void SkinControlBase::Redraw() {
    InvalidateWindow(window_, nullptr, false);
}

LRESULT SkinControlBase::SendSync(UINT message, WPARAM wParam, LPARAM lParam) {
    return SkinControlBase::Send(message, wParam, lParam);
}

void SkinControl::Release() {}

SkinControl* SkinControl::Clone() const {
    return new SkinControl(*this);
}

void SkinControl::BindPngControl(HWND window) {
    if (!SkinControlBase::Attach(window))
        return;
    const int32_t parentType = GetSkinCode(sys::GetParent(window), key::kType);
    const bool layeredParent = parentType == kSkinLayeredWindow;
    SetSkinCode(window, key::kType, kSkinPngControl);
    SetSkinProp(window, key::kBackColor, static_cast<intptr_t>(layeredParent ? kNoColor : kDefaultBackColor));
    SetSkinCode(window, key::kBackAlpha, kOpaque);
    SetSkinProp(window, key::kOrderColor, static_cast<intptr_t>(kDefaultOrderColor));
    SetSkinCode(window, key::kOrderAlpha, kOpaque);
    SetSkinProp(window, key::kTextColor, 0);
    // Still handled by the control's own procedure: it recomputes the frame before the skin takes over.
    sys::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (layeredParent) {
        // A second binding must not save LayeredChildProc as its own predecessor.
        if (GetSkinProp(window, key::kChildWndProc) != 0)
            return;
        const LONG_PTR old = ReplaceWindowProc(window, LayeredChildProc);
        SetSkinProp(window, key::kChildWndProc, old);
        return;
    }
    SubclassWindow(window, PngControlProc);
    RefreshInParent(window);
}

void SkinControl::SetBackColor(uint32_t colour, std::optional<int32_t> alpha) {
    SetColorAndAlpha(window_, key::kBackColor, key::kBackAlpha, colour, alpha);
    SkinControlBase::Send(WM_NCPAINT, 0, 0);  // repaints the frame and refreshes the cached skin
    InvalidateWindow(window_, nullptr, true);
}

void SkinControl::SetOrderColor(uint32_t colour, std::optional<int32_t> alpha) {
    SetColorAndAlpha(window_, key::kOrderColor, key::kOrderAlpha, colour, alpha);
    SkinControlBase::Send(WM_NCPAINT, 0, 0);
    InvalidateWindow(window_, nullptr, true);
}

void SkinControl::SetForeColor(uint32_t colour) {
    SetSkinProp(window_, key::kTextColor, static_cast<intptr_t>(colour));
    InvalidateWindow(window_, nullptr, true);
}

void SkinControl::SetBackImage(Gdiplus::GpImage* image) {
    SetSkinProp(window_, key::kBackImage, reinterpret_cast<intptr_t>(image));
    SkinControlBase::Send(WM_NCPAINT, 0, 0);
    RefreshInParent(window_);
}

void SkinControl::SetBackImageData(const uint8_t* block) {
    gfx::UniqueGpImage image = gfx::LoadImageFromMemory(block);
    Gdiplus::GpImage* shown = image.get();
    // The window owns what is decoded for it; an unbound object's image goes when this returns.
    KeepDecodedImage(window_, image);
    // Through the table, so that a class replacing SetBackImage is honoured.
    SetBackImage(shown);
}

void SkinControl::SetBackType(int32_t type) {
    SetSkinCode(window_, key::kBackType, type);
    InvalidateWindow(window_, nullptr, true);
}

std::string SkinControl::GetText() const {
    return ReadWindowText(window_);
}

}  // namespace skin
