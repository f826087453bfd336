// The windows that float over another (the strip over MainWindow): kept above it at every change of the
// z-order.
#include "app/control_records.h"

namespace app {

namespace {

// Whether `upper` lies above `lower` in the z-order.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND h = GetWindow(lower, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (h == upper)
            return true;
    }
    return false;
}

}  // namespace

// Puts a shown window that floats over another at the top of the topmost windows, without activating it, so
// that the user's focus stays where it is: when it is shown, and whenever it is found below the other. (Only a
// window that goes to the very top is restacked on the screen under Wine, whatever the order says.) A window
// already in place is left alone, which ends the chain of position changes this starts.
void KeepFloatingWindowsAbove(HWND shown) {
    for (const auto& floating : WindowRecords()) {
        const Window* under = FindWindowRecord(floating->def->floatsOver);
        if (!under || !IsWindowVisible(floating->hwnd) || !IsWindowVisible(under->hwnd))
            continue;
        const bool inPlace = floating->hwnd == shown ? GetWindow(floating->hwnd, GW_HWNDPREV) == nullptr
                                                     : IsAbove(floating->hwnd, under->hwnd);
        if (!inPlace)
            SetWindowPos(floating->hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
}

// A window that another floats over is never placed above it: a change of the z-order that would raise the
// window over the shown floating one (a click activates and raises it) puts it just below that one instead,
// so that the floating one stays above at every moment rather than being raised again after.
void KeepBelowFloatingWindow(const Window& w, WINDOWPOS& pos) {
    if (pos.flags & SWP_NOZORDER)
        return;
    for (const auto& floating : WindowRecords()) {
        if (floating->def->floatsOver != w.def->id || !IsWindowVisible(floating->hwnd))
            continue;
        const HWND after = pos.hwndInsertAfter;
        if (after == floating->hwnd || after == HWND_BOTTOM || after == HWND_NOTOPMOST)
            return;
        if (after == HWND_TOP || after == HWND_TOPMOST || IsAbove(after, floating->hwnd))
            pos.hwndInsertAfter = floating->hwnd;
        return;
    }
}

}  // namespace app
