// The registry of live windows and controls, the wiring of events to handlers, the window procedures of the
// program's windows and of the invisible owner, and the message loop.
#include <algorithm>

#include "app/control_records.h"
#include "base/fatal.h"

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

}  // namespace

const std::vector<std::unique_ptr<Window>>& WindowRecords() {
    return g_windows;
}

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
