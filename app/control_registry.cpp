// The registry of live windows and controls, the wiring of events to handlers and the three window
// procedures of the control layer (windows, timers, the invisible owner), with the message loop.
#include <algorithm>

#include "app/control_records.h"
#include "base/fatal.h"
#include "scheduler/second_ticks.h"

namespace app {

namespace {

struct Binding {
    WindowId window;
    uint32_t source;
    int event;
    EventHandler handler;
};

std::vector<std::unique_ptr<Window>> g_windows;
std::vector<Binding> g_bindings;
HWND g_owner = nullptr;

LRESULT OnCommand(Window* w, WPARAM wParam, LPARAM lParam) {
    Control* c = ControlFromHandle(w, reinterpret_cast<HWND>(lParam));
    if (!c)
        return 0;
    WindowId window = w->def->id;
    ControlId control = c->def->id;
    const WORD code = HIWORD(wParam);
    switch (c->def->kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED)
                Fire(window, control, kEventClicked);
            else if (code == BN_SETFOCUS)
                Fire(window, control, kEventGotFocus);
            else if (code == BN_KILLFOCUS)
                Fire(window, control, kEventLostFocus);
            break;
        case ControlKind::EditBox:
            if (code == EN_CHANGE && !c->ignoreChange)
                Fire(window, control, kEventChanged);
            else if (code == EN_SETFOCUS)
                Fire(window, control, kEventGotFocus);
            else if (code == EN_KILLFOCUS)
                Fire(window, control, kEventLostFocus);
            break;
        default:
            break;
    }
    return 0;
}

// Answers an edit box's colour request with its own colours and brush.
LRESULT OnEditColor(Window* w, WPARAM wParam, LPARAM lParam, bool& handled) {
    Control* c = ControlFromHandle(w, reinterpret_cast<HWND>(lParam));
    handled = c && c->def->kind == ControlKind::EditBox;
    if (!handled)
        return 0;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, c->textColor);
    SetBkColor(dc, c->backColor);
    return reinterpret_cast<LRESULT>(c->backBrush.get());
}

// At WM_DESTROY: the web panel lets go of its browser, and the timers, which are message-only windows rather
// than children, are destroyed with their window.
void ReleaseWindowResources(Window& w) {
    for (auto& c : w.controls) {
        c->web.reset();
        if (c->def->kind == ControlKind::Timer && c->hwnd) {
            KillTimer(c->hwnd, kSystemTimerId);
            DestroyWindow(c->hwnd);
        }
        c->hwnd = nullptr;
    }
}

// Whether `upper` lies above `lower` in the z-order.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND h = GetWindow(lower, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (h == upper)
            return true;
    }
    return false;
}

// Puts a shown window that floats over another at the top of the topmost windows, without activating it, so
// that the user's focus stays where it is: when it is shown, and whenever it is found below the other. (Only a
// window that goes to the very top is restacked on the screen under Wine, whatever the order says.) A window
// already in place is left alone, which ends the chain of position changes this starts.
void KeepFloatingWindowsAbove(HWND shown) {
    for (const auto& floating : g_windows) {
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
    for (const auto& floating : g_windows) {
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

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowFromHandle(hwnd);
    if (!w)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    const WindowId id = w->def->id;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(w, wParam, lParam);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            bool handled = false;
            const LRESULT brush = OnEditColor(w, wParam, lParam, handled);
            if (handled)
                return brush;
            break;
        }
        case WM_SETCURSOR: {
            Control* c = ControlFromHandle(w, reinterpret_cast<HWND>(wParam));
            if (c && c->def->handCursor && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONDOWN:
            // A press on the bare window becomes a caption drag.
            if (w->dragAnywhere) {
                ReleaseCapture();
                PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            if (w->pictureBrush) {
                RECT client{};
                GetClientRect(hwnd, &client);
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                FillRect(dc, &client, w->pictureBrush.get());
                return 1;
            }
            break;
        case WM_CLOSE: {
            const bool hides = w->def->closeHides;
            Fire(id, w->def->element, kEventClose);  // may end the program, or destroy the window itself
            if (IsWindow(hwnd)) {
                if (hides)
                    ShowWindow(hwnd, SW_HIDE);
                else
                    DestroyWindow(hwnd);
            }
            return 0;
        }
        case WM_MOVE:
            Fire(id, w->def->element, kEventMoved);
            return 0;
        case WM_SIZE:
            Fire(id, w->def->element, kEventResized);
            return 0;
        case WM_SHOWWINDOW:
            Fire(id, w->def->element, wParam ? kEventShown : kEventHidden);
            break;
        case WM_WINDOWPOSCHANGING:
            KeepBelowFloatingWindow(*w, *reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!(pos->flags & SWP_NOZORDER) || (pos->flags & SWP_SHOWWINDOW))
                KeepFloatingWindowsAbove(pos->flags & SWP_SHOWWINDOW ? hwnd : nullptr);
            break;
        }
        case WM_DISPLAYCHANGE:
            Fire(id, w->def->element, kEventDisplayChanged);
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA)
                Fire(id, w->def->element, kEventDisplayChanged);
            break;
        case WM_TIMECHANGE:
            Fire(id, w->def->element, kEventClockChanged);
            break;
        case WM_POWERBROADCAST:
            // A resume by a wake timer or another event without a user, then again when a user is seen.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
                Fire(id, w->def->element, kEventClockChanged);
            break;
        case WM_SETFOCUS:
            Fire(id, w->def->element, kEventGotFocus);
            break;
        case WM_KILLFOCUS:
            Fire(id, w->def->element, kEventLostFocus);
            break;
        case WM_DESTROY:
            ReleaseWindowResources(*w);
            break;
        case WM_NCDESTROY: {
            LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
            // The record's brushes, fonts and icons go with it; the last window ends the loop.
            std::erase_if(g_windows, [hwnd](const std::unique_ptr<Window>& p) { return p->hwnd == hwnd; });
            if (g_windows.empty())
                PostQuitMessage(0);
            return r;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Milliseconds of the system clock, the one the C library's time() reads for the clock and the countdown.
int64_t SystemClockMs() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000);
}

bool IsSecondTimer(const Control& c) {
    return c.interval == scheduler::kSecondMs;
}

// Re-armed from the current time on every firing: the system's timers keep the phase they were started with
// and, on Windows, drift against the wall clock. False when the timer fired before its second began.
bool ReArmSecondTimer(Control& c) {
    const scheduler::SecondTimerStep step = scheduler::StepSecondTimer(SystemClockMs(), c.dueMs);
    c.dueMs = step.dueMs;
    SetTimer(c.hwnd, kSystemTimerId, step.delayMs, nullptr);
    return step.fire;
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSystemTimerId) {
        auto window = static_cast<WindowId>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kTimerWindowKey)));
        auto control = static_cast<ControlId>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kTimerControlKey)));
        // Stepped before the handler runs, so that a handler that stops the timer has the last word.
        Control* c = FindControl(FindWindowRecord(window), control);
        if (c && c->hwnd == hwnd && IsSecondTimer(*c) && !ReArmSecondTimer(*c))
            return 0;
        Fire(window, control, kEventPeriod);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kTimerWindowKey);
        RemovePropA(hwnd, kTimerControlKey);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

Window* FindWindowRecord(WindowId id) {
    for (auto& w : g_windows) {
        if (w->def->id == id && w->hwnd)
            return w.get();
    }
    return nullptr;
}

Window* WindowFromHandle(HWND hwnd) {
    for (auto& w : g_windows) {
        if (w->hwnd == hwnd)
            return w.get();
    }
    return nullptr;
}

Control* FindControl(Window* w, uint32_t id) {
    if (!w)
        return nullptr;
    for (auto& c : w->controls) {
        if (c->def->id == id)
            return c.get();
    }
    return nullptr;
}

Control* ControlFromHandle(Window* w, HWND hwnd) {
    if (!w || !hwnd)
        return nullptr;
    for (auto& c : w->controls) {
        if (c->hwnd == hwnd)
            return c.get();
    }
    return nullptr;
}

void AddWindowRecord(std::unique_ptr<Window> w) {
    g_windows.push_back(std::move(w));
}

bool RegisterClasses() {
    static bool done = false;
    if (done)
        return true;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&wc))
        return false;
    wc.lpfnWndProc = TimerProc;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kTimerClass;
    if (!RegisterClassExA(&wc))
        return false;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kOwnerClass;
    if (!RegisterClassExA(&wc))
        return false;
    done = true;
    return true;
}

void Fire(WindowId window, uint32_t source, int event) {
    // The fatal-error box runs a message loop of its own: nothing may tick, count down or switch off on the
    // state that failed while it is read.
    if (base::FatalErrorShown())
        return;
    for (const Binding& b : g_bindings) {
        if (b.window == window && b.source == source && b.event == event) {
            b.handler();
            return;
        }
    }
}

void SetTimerInterval(Control& c, int32_t interval) {
    interval = std::max(interval, 0);
    if (interval == c.interval)
        return;
    if (c.interval > 0)
        KillTimer(c.hwnd, kSystemTimerId);
    c.interval = interval;
    if (IsSecondTimer(c)) {
        const scheduler::SecondTimerStep step = scheduler::ArmSecondTimer(SystemClockMs());
        c.dueMs = step.dueMs;
        SetTimer(c.hwnd, kSystemTimerId, step.delayMs, nullptr);
    } else if (interval > 0) {
        SetTimer(c.hwnd, kSystemTimerId, static_cast<UINT>(interval), nullptr);
    }
}

// The box's own notifications of the replacement are ignored; the one change notification of our own then
// counts for the write.
void WriteEditContent(Control& c, const std::string& text) {
    HWND box = c.hwnd;  // the content-changed handler may destroy the window, and the record with it
    c.ignoreChange = true;
    SetWindowTextA(box, text.c_str());
    c.ignoreChange = false;
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), EN_CHANGE), reinterpret_cast<LPARAM>(box));
    // A box on a layered window is never shown by the system (a skinned one is composed into the face, an
    // unskinned one not drawn at all): the paint that the write and the skin's repaint on the change
    // notification ask for would only cost the loop a message and the box a drawing.
    if (IsWindow(box) && GetWindowLongPtrA(GetAncestor(box, GA_ROOT), GWL_EXSTYLE) & WS_EX_LAYERED)
        ValidateRect(box, nullptr);
}

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

void BindEvent(WindowId window, uint32_t source, int event, EventHandler handler) {
    for (Binding& b : g_bindings) {
        if (b.window == window && b.source == source && b.event == event) {
            b.handler = handler;
            return;
        }
    }
    g_bindings.push_back({window, source, event, handler});
}

HWND ProgramOwnerWindow() {
    if (!g_owner && RegisterClasses()) {
        g_owner = CreateWindowExA(0, kOwnerClass, "OffClock", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    return g_owner;
}

HWND GetControlHandle(WindowId window, uint32_t control, ControlKind kind) {
    Window* w = FindWindowRecord(window);
    if (!w)
        return nullptr;
    if (control == w->def->element)
        return kind == ControlKind::Window ? w->hwnd : nullptr;
    Control* c = FindControl(w, control);
    return c && c->def->kind == kind ? c->hwnd : nullptr;
}

const WebPanel* GetWebPanel(WindowId window, ControlId control) {
    Control* c = FindControl(FindWindowRecord(window), control);
    return c ? c->web.get() : nullptr;
}

int LiveWindowCount() {
    return static_cast<int>(g_windows.size());
}

void DestroyProgramWindows() {
    // Latest first, so MainWindow, which loads the others, goes last.
    std::vector<HWND> live;
    for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it)
        live.push_back((*it)->hwnd);
    for (HWND hwnd : live) {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    }
}

void ReleaseWebPanels() {
    for (auto& w : g_windows) {
        for (auto& c : w->controls)
            c->web.reset();
    }
}

int RunMessageLoop() {
    if (g_windows.empty())
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (HandleProgramKey(msg) || HandleFocusKey(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace app
