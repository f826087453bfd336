// The keys the program handles before the focused control: Esc closes the window, Tab and Shift+Tab move the
// focus, Enter and Space press buttons.
#include "app/control_records.h"

namespace app {

bool HandleProgramKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !msg.hwnd)
        return false;
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    Window* w = WindowFromHandle(top);
    if (!w || !w->escCloses)
        return false;
    SendMessageA(top, WM_CLOSE, 0, 0);
    return true;
}

namespace {

bool KeyHeld(int key) {
    return GetKeyState(key) < 0;
}

// Tab from a control, or from the bare window, to the next control that takes the focus; a single-line box
// reached so has its text selected, as in a dialog.
void MoveFocus(HWND top, HWND from, bool backwards) {
    HWND next = GetNextDlgTabItem(top, from == top ? nullptr : from, backwards);
    if (!next || next == from)
        return;
    SetFocus(next);
    Control* c = ControlFromHandle(WindowFromHandle(top), next);
    if (c && c->def->kind == ControlKind::EditBox && !c->def->multiLine)
        SendMessageA(next, EM_SETSEL, 0, -1);
}

// The button that Enter presses from control `c`: the control itself, or from a single-line box the window's
// default button.
HWND ButtonForEnter(Window& w, const Control& c) {
    if (c.def->kind == ControlKind::Button)
        return c.hwnd;
    if (c.def->kind != ControlKind::EditBox || c.def->multiLine || !w.def->defaultButton)
        return nullptr;
    Control* button = FindControl(&w, w.def->defaultButton);
    return button && button->def->kind == ControlKind::Button && IsWindowEnabled(button->hwnd) ? button->hwnd : nullptr;
}

}  // namespace

bool HandleFocusKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_TAB && msg.wParam != VK_RETURN) || !msg.hwnd)
        return false;
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    Window* w = WindowFromHandle(top);
    if (!w)
        return false;
    Control* c = ControlFromHandle(w, msg.hwnd);
    // Keys inside the web panel's browser are its own.
    if (!c && msg.hwnd != top)
        return false;
    if (msg.wParam == VK_TAB) {
        if (KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU))
            return false;
        MoveFocus(top, msg.hwnd, KeyHeld(VK_SHIFT));
        return true;
    }
    HWND button = c ? ButtonForEnter(*w, *c) : nullptr;
    if (!button)
        return false;
    // A key held down presses once; the press is the button's click, and the focus stays where it is.
    if (!(msg.lParam & (1 << 30)))
        SendMessageA(top, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

}  // namespace app
