#include "skin/skin_window.h"

#include <new>

#include "gfx/graphics.h"
#include "gfx/sysapi.h"
#include "skin/binding.h"
#include "skin/child_procs.h"
#include "skin/compose.h"
#include "skin/face.h"
#include "skin/keys.h"
#include "skin/props.h"
#include "skin/rules.h"
#include "skin/skin_button.h"
#include "skin/window_state.h"

namespace skin {

VOID CALLBACK CaretBlinkProc(HWND window, UINT, UINT_PTR timerId, DWORD) {
    FocusCaretState& focus = FocusCaret();
    // Every layered window runs this timer; only the one holding the focused text child blinks.
    if (timerId != kCaretBlinkTimerId || !window || window != focus.focusParent || !focus.focusChild)
        return;
    focus.caretVisible = (focus.caretVisible & 1) ^ 1;
    PresentCaret(focus.focusParent, focus.caretVisible);
}

void StartCaretBlink(HWND window) {
    // The key is written only for a timer that really runs, so a failed start is tried again by the next focus.
    if (window && GetSkinProp(window, key::kTime) == 0 &&
        sys::SetTimer(window, kCaretBlinkTimerId, kCaretBlinkMs, CaretBlinkProc) != 0)
        SetSkinProp(window, key::kTime, static_cast<intptr_t>(kCaretBlinkTimerId));
}

void RestartCaretBlink(HWND window) {
    // Setting a running timer again starts its period anew.
    if (window && GetSkinProp(window, key::kTime) != 0)
        sys::SetTimer(window, kCaretBlinkTimerId, kCaretBlinkMs, CaretBlinkProc);
    else
        StartCaretBlink(window);
}

void StopCaretBlink(HWND window) {
    if (!window || GetSkinProp(window, key::kTime) == 0)
        return;
    sys::KillTimer(window, kCaretBlinkTimerId);
    sys::RemovePropA(window, key::kTime);
}

void SkinWindow::Release() {}

SkinWindow* SkinWindow::Clone() const {
    return new (std::nothrow) SkinWindow(*this);
}

bool SkinWindow::Attach(HWND window) {
    if (!sys::IsWindow(window))
        return false;
    window_ = window;
    // The face is composed with per-pixel alpha, which needs the layered style; it replaces every other
    // extended style (the program keeps its windows out of the taskbar through an owner window instead).
    SetWindowLongPtrSys(window, GWL_EXSTYLE, WS_EX_LAYERED);
    // The system cannot show a caret on a layered window; the engine draws the focused text child's (see
    // CaretBlinkProc), with a blink timer that runs while a text child has the focus (StartCaretBlink). The
    // window gets no caret of its own: the focused child makes its own, and a hidden caret of the window would
    // still wake the thread twice a second for the system's blink.
    return true;
}

bool SkinWindow::SetBackImage(Gdiplus::GpImage* image) {
    if (!IsValid() || !image)
        return false;
    ComposeAtEnd composition(window_);
    SetSkinProp(window_, key::kBackImage, reinterpret_cast<intptr_t>(image));  // the whole face changes
    return true;
}

bool SkinWindow::SetBackImageData(const uint8_t* data) {
    gfx::UniqueGpImage image = gfx::LoadImageFromMemory(data);
    if (!SetBackImage(image.get()))
        return false;  // refused (the window is gone): the decoded image goes with `image`
    KeepDecodedImage(window_, image);
    return true;
}

void SkinWindow::BindChildren() {
    if (!IsValid())
        return;
    ComposeAtEnd composition(window_);
    for (HWND child = sys::GetWindow(window_, GW_CHILD); child; child = sys::GetWindow(child, GW_HWNDNEXT)) {
        const int32_t type = GetSkinCode(child, key::kType);
        if (type == kSkinNone)
            continue;
        // ButtonProc and PngControlProc paint the control themselves, which a layered window never shows:
        // take them off and give the control back the procedure it had before.
        if (const intptr_t saved = GetSkinProp(child, key::kWndProc)) {
            SetWindowLongPtrSys(child, GWLP_WNDPROC, static_cast<LONG_PTR>(saved));
            sys::RemovePropA(child, key::kWndProc);
        }
        if (GetSkinProp(child, key::kChildWndProc) != 0)
            continue;  // already runs a layered-parent procedure
        WNDPROC layered = nullptr;
        if (type == kSkinButton)
            layered = LayeredButtonProc;
        else if (type == kSkinPngControl)
            layered = LayeredChildProc;
        if (!layered)
            continue;
        // These procedures mark what changes of the child's look and compose the parent.
        const LONG_PTR previous = ReplaceWindowProc(child, layered);
        SetSkinProp(child, key::kChildWndProc, static_cast<intptr_t>(previous));
    }
    MarkWholeFace(window_);
}

void SkinWindow::Move(std::optional<int> left,
                      std::optional<int> top,
                      std::optional<int> width,
                      std::optional<int> height,
                      std::optional<bool> noRedraw) {
    // A top-level window is placed in screen coordinates.
    RECT r{};
    sys::GetWindowRect(window_, &r);
    MoveWindowAsRequested(window_, {r.left, r.top}, {left, top, width, height, noRedraw});
}

HWND SkinWindow::GetHandle() const {
    return window_;
}

bool SkinWindow::IsValid() const {
    return sys::IsWindow(window_) == TRUE;
}

LRESULT SkinWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return sys::SendMessageA(window_, message, wParam, lParam);
}

}  // namespace skin
