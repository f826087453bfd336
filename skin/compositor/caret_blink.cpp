#include "skin/compositor/caret_blink.h"

#include "gfx/sysapi.h"
#include "skin/compositor/caret.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/marks.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

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

void FollowFocus(HWND window, bool gained) {
    HWND parent = sys::GetParent(window);
    FocusCaretState& focus = FocusCaret();
    focus.caretVisible = gained ? 1 : 0;
    focus.focusParent = gained ? parent : nullptr;
    focus.focusChild = gained ? window : nullptr;
    if (gained) {
        RestartCaretBlink(parent);
        return;
    }
    StopCaretBlink(parent);
    PresentCaret(parent, 0);
}

bool MovesTheCaret(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN || message == WM_IME_COMPOSITION ||
           message == EM_SETSEL;
}

bool ShowCaretAnew(HWND child) {
    FocusCaretState& focus = FocusCaret();
    if (!child || focus.focusChild != child)
        return false;
    focus.caretVisible = 1;
    RestartCaretBlink(focus.focusParent);
    return true;
}

}  // namespace skin
