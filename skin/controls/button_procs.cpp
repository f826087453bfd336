#include "skin/controls/button_procs.h"

#include "gfx/graphics.h"
#include "gfx/sysapi.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/paint.h"
#include "skin/controls/tooltip.h"
#include "skin/controls/window_state.h"
#include "skin/floor/codes.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

namespace {

// Asks for one WM_MOUSELEAVE when the cursor leaves the button.
void TrackLeave(HWND window) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = 0;
    sys::TrackMouseEvent(&track);
}

int32_t DrawStateOf(HWND window) {
    return GetSkinCode(window, key::kDrawState);
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Whether a mouse message's point (client coordinates; outside the button while it has the capture) lies
// over the button.
bool PointOver(HWND window, LPARAM lParam) {
    RECT client{};
    sys::GetClientRect(window, &client);
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return Inside(client, p);
}

// Whether the cursor is over the button now.
bool CursorOver(HWND window) {
    POINT p{};
    RECT r{};
    return sys::GetCursorPos(&p) && sys::GetWindowRect(window, &r) && Inside(r, p);
}

// The state a mouse move leaves the button in, and whether leave tracking must be asked for. Under Wine the
// leave can be lost around the button's mouse capture, so a lit button asks again on each move over it, and a
// move that the capture brings from elsewhere puts a lit button out.
struct MoveOutcome {
    int32_t state;
    bool trackLeave;
};
MoveOutcome AfterMouseMove(HWND window, LPARAM lParam) {
    const int32_t state = DrawStateOf(window);
    if (!PointOver(window, lParam))
        return {state == kStateHover ? kStateNormal : state, false};
    if (MouseMoveEntersButton(state))
        return {kStateHover, true};
    return {state, state == kStateHover};
}

// When the capture ends, a lit button asks for leave tracking again (what it asked before may have been lost
// with the capture), or goes out when the pointer has already left.
int32_t AfterCaptureEnds(HWND window) {
    const int32_t state = DrawStateOf(window);
    if (state != kStateHover)
        return state;
    if (!CursorOver(window))
        return kStateNormal;
    TrackLeave(window);
    return state;
}

// The second click of a fast double click arrives as WM_LBUTTONDBLCLK. It shows the pressed face as a press
// does, but the system button takes it without the capture of a press: the leave is asked for, so that a
// pointer taken off the button before the release does not leave it pressed.
void PressFace(HWND window, UINT message) {
    if (message == WM_LBUTTONDBLCLK)
        TrackLeave(window);
}

// A new state marks the button's place in the parent's face, shown at once; an unchanged one marks nothing.
void SetStateAndCompose(HWND window, int32_t state) {
    ComposeAtEnd composition(sys::GetParent(window));
    SetSkinCode(window, key::kDrawState, state);
}

// The tooltip's own subclassing of the button is lost when the button is moved onto this procedure (the
// button's first procedure is put back underneath), so the mouse messages reach the tooltip from here.
void RelayToToolTip(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND tip = SharedToolTipWindow();
    if (!tip || message < WM_MOUSEFIRST || message > WM_MOUSELAST || !GetSkinProp(window, key::kToolTips))
        return;
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    sys::SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace

void SetDrawState(HWND window, int32_t state, bool force) {
    if (state != DrawStateOf(window)) {
        SetSkinCode(window, key::kDrawState, state);
        PaintControl(window);
    } else if (force) {
        PaintControl(window);
    }
}

HBITMAP CaptureBackground(HWND window, HDC dc) {
    RECT r{};
    sys::GetWindowRect(window, &r);
    return ReplaceCacheBitmap(window, dc, 0, 0, r.right - r.left, r.bottom - r.top);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            // The button is transparent and never erases, so the paint DC still shows the parent's
            // background: that becomes the backdrop of every face.
            gfx::PaintDc painted(window);
            CaptureBackground(window, painted.get());
            PaintControl(window, painted.get());
            return 0;
        }
        case WM_NCPAINT:
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            const int32_t before = DrawStateOf(window);
            const MoveOutcome move = AfterMouseMove(window, lParam);
            if (move.trackLeave)
                TrackLeave(window);
            if (move.state != before)
                SetDrawState(window, move.state, true);
            return result;
        }
        case WM_CAPTURECHANGED: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            SetDrawState(window, AfterCaptureEnds(window), false);
            return result;
        }
        case WM_MOUSELEAVE: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            SetDrawState(window, StateAfterLeave(DrawStateOf(window)), true);
            return result;
        }
        case WM_ENABLE: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            SetDrawState(window, StateAfterEnable(wParam != 0), true);
            return result;
        }
        case WM_SETFOCUS:
            SetSkinCode(window, key::kIsFocus, 1);
            if (DrawStateOf(window) == kStateDown)
                SetDrawState(window, kStateHover, true);
            return 0;
        case WM_KILLFOCUS:
            SetSkinCode(window, key::kIsFocus, 0);
            if (DrawStateOf(window) == kStateHover)
                SetDrawState(window, kStateNormal, true);
            return 0;
        case BM_SETSTATE: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            if (wParam == 1)
                SetDrawState(window, kStateDown, false);
            else
                SetDrawState(window, GetSkinCode(window, key::kIsFocus) != 0 ? kStateHover : kStateNormal, false);
            PaintControl(window);
            return result;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            PressFace(window, message);
            SetDrawState(window, kStateDown, true);
            return result;
        }
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        case WM_LBUTTONUP: {
            // The state is taken before the system button runs: it un-presses itself (BM_SETSTATE) while
            // handling the release, and a press must still end in Hover.
            const int32_t before = DrawStateOf(window);
            const LRESULT result = CallSavedProc(window, message, wParam, lParam);
            const int32_t after = StateAfterButtonUp(before, PointOver(window, lParam));
            SetDrawState(window, after, true);
            if (after == kStateHover)
                TrackLeave(window);  // the capture that just ended may have taken the tracking with it
            return result;
        }
        default:
            return CallSavedProc(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK LayeredButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RelayToToolTip(window, message, wParam, lParam);
    switch (message) {
        case WM_MOUSEMOVE: {
            const int32_t before = DrawStateOf(window);
            const MoveOutcome move = AfterMouseMove(window, lParam);
            if (move.trackLeave)
                TrackLeave(window);
            if (move.state != before)
                SetStateAndCompose(window, move.state);
            break;
        }
        case WM_CAPTURECHANGED: {
            const int32_t before = DrawStateOf(window);
            const int32_t after = AfterCaptureEnds(window);
            if (after != before)
                SetStateAndCompose(window, after);
            break;
        }
        case WM_MOUSELEAVE:
            SetStateAndCompose(window, StateAfterLeave(DrawStateOf(window)));
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            PressFace(window, message);
            SetStateAndCompose(window, kStateDown);
            break;
        case WM_LBUTTONUP:
            SetStateAndCompose(window, StateAfterButtonUp(DrawStateOf(window), PointOver(window, lParam)));
            break;
        case WM_ENABLE:
            SetStateAndCompose(window, StateAfterEnable(wParam != 0));
            break;
        case WM_WINDOWPOSCHANGED:
        case WM_DESTROY:
            // Moved, resized, shown, hidden, raised or going: its old and new place are drawn by the composition
            // the mark asks for, one for a burst of moves.
            MarkChild(window);
            break;
        case WM_NCDESTROY: {
            const LRESULT result = CallSavedChildProc(window, message, wParam, lParam);
            ReleaseWindowState(window);
            return result;
        }
        default:
            break;
    }
    return CallSavedChildProc(window, message, wParam, lParam);
}

}  // namespace skin
