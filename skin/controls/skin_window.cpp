#include "skin/controls/skin_window.h"

#include <new>

#include "gfx/graphics.h"
#include "gfx/sysapi.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/button_procs.h"
#include "skin/controls/child_procs.h"
#include "skin/controls/skin_button.h"
#include "skin/controls/window_state.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

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
    // The engine keeps the window's face, freed at its end: the window runs one of the engine's procedures.
    SubclassForRelease(window);
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
