#include "app/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/panel_picture.h"
#include "app/webpanel.h"
#include "app/window_defs.h"

namespace app {

namespace {

constexpr char kWindowClass[] = "OffClockWindow";
constexpr char kTimerClass[] = "OffClockTimer";
constexpr char kOwnerClass[] = "OffClockOwner";
constexpr UINT_PTR kSystemTimerId = 1000;
// Child window ids are small serials: WM_COMMAND carries only 16 bits of id, so the 32-bit control ids are
// found through the child's handle instead.
constexpr int kFirstChildId = 100;

struct Control {
    const ControlDef* def = nullptr;
    HWND hwnd = nullptr;
    HFONT font = nullptr;        // owned
    HBRUSH backBrush = nullptr;  // owned
    uint32_t textColor = 0;
    uint32_t backColor = 0;
    int32_t interval = 0;
    bool ignoreChange = false;
    std::string tag;
    std::unique_ptr<WebPanel> web;
};

struct Window {
    const WindowDef* def = nullptr;
    HWND hwnd = nullptr;
    std::vector<std::unique_ptr<Control>> controls;
    HBRUSH pictureBrush = nullptr;  // owned
    HICON bigIcon = nullptr;        // owned
    HICON smallIcon = nullptr;      // owned
    bool dragAnywhere = false;
    bool escCloses = true;
    std::string tag;
};

struct Binding {
    WindowId window;
    uint32_t source;
    int event;
    EventHandler handler;
};

std::vector<std::unique_ptr<Window>> g_windows;
std::vector<Binding> g_bindings;
HWND g_owner = nullptr;

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

// Runs the handler wired to (window, source, event), if any.
void Fire(WindowId window, uint32_t source, int event) {
    for (const Binding& b : g_bindings) {
        if (b.window == window && b.source == source && b.event == event) {
            b.handler();
            return;
        }
    }
}

HFONT CreateDefinedFont(const FontDef& f) {
    LOGFONTA lf = {};
    lf.lfHeight = f.height;
    lf.lfWeight = f.weight;
    lf.lfCharSet = f.charset;
    lf.lfOutPrecision = f.outPrecision;
    lf.lfClipPrecision = f.clipPrecision;
    lf.lfQuality = f.quality;
    lf.lfPitchAndFamily = f.pitchAndFamily;
    lstrcpynA(lf.lfFaceName, f.face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void SetTimerInterval(Control& c, int32_t interval) {
    interval = std::max(interval, 0);
    if (interval == c.interval)
        return;
    if (c.interval > 0)
        KillTimer(c.hwnd, kSystemTimerId);
    c.interval = interval;
    if (interval > 0)
        SetTimer(c.hwnd, kSystemTimerId, static_cast<UINT>(interval), nullptr);
}

// Replaces the box's text while ignoring the notifications the replacement itself produces, then sends one
// change notification of our own: one content-changed event per write, even when the text is unchanged.
void WriteEditContent(Control& c, const std::string& text) {
    c.ignoreChange = true;
    SetWindowTextA(c.hwnd, text.c_str());
    c.ignoreChange = false;
    SendMessageA(GetParent(c.hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c.hwnd), EN_CHANGE),
                 reinterpret_cast<LPARAM>(c.hwnd));
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSystemTimerId) {
        auto window = static_cast<WindowId>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, "OffClock_Window")));
        auto control = static_cast<ControlId>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, "OffClock_Control")));
        Fire(window, control, kEventPeriod);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, "OffClock_Window");
        RemovePropA(hwnd, "OffClock_Control");
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void ReleaseWindowResources(Window& w) {
    for (auto& c : w.controls) {
        c->web.reset();
        if (c->def->kind == ControlKind::Timer && c->hwnd) {
            KillTimer(c->hwnd, kSystemTimerId);
            DestroyWindow(c->hwnd);  // message-only windows are not children: destroy them ourselves
        }
        c->hwnd = nullptr;
    }
}

void DeleteWindowObjects(Window& w) {
    for (auto& c : w.controls) {
        if (c->font)
            DeleteObject(c->font);
        if (c->backBrush)
            DeleteObject(c->backBrush);
    }
    if (w.pictureBrush)
        DeleteObject(w.pictureBrush);
    if (w.bigIcon)
        DestroyIcon(w.bigIcon);
    if (w.smallIcon)
        DestroyIcon(w.smallIcon);
}

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
            Control* c = ControlFromHandle(w, reinterpret_cast<HWND>(lParam));
            if (!c || c->def->kind != ControlKind::EditBox)
                break;
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, c->textColor);
            SetBkColor(dc, c->backColor);
            return reinterpret_cast<LRESULT>(c->backBrush);
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
                RECT client;
                GetClientRect(hwnd, &client);
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                FillRect(dc, &client, w->pictureBrush);
                return 1;
            }
            break;
        case WM_CLOSE:
            Fire(id, w->def->element, kEventClose);
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
            return 0;
        case WM_MOVE:
            Fire(id, w->def->element, kEventMoved);
            return 0;
        case WM_SIZE:
            Fire(id, w->def->element, kEventResized);
            return 0;
        case WM_SHOWWINDOW:
            Fire(id, w->def->element, wParam ? kEventShown : kEventHidden);
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
            DeleteWindowObjects(*w);
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

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
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
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = kOwnerClass;
    if (!RegisterClassExA(&wc))
        return false;
    done = true;
    return true;
}

HWND CreateEditBox(Window& w, Control& c, int childId) {
    const ControlDef& d = *c.def;
    DWORD style = WS_CHILD | WS_TABSTOP;
    if (d.multiLine)
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    else
        style |= ES_AUTOHSCROLL;
    if (d.align == TextAlign::Centre)
        style |= ES_CENTER;
    else if (d.align == TextAlign::Right)
        style |= ES_RIGHT;
    DWORD exStyle = d.borderStyle == 1 ? WS_EX_CLIENTEDGE : 0;
    c.textColor = d.textColor;
    c.backColor = d.backColor;
    c.backBrush = CreateSolidBrush(d.backColor);
    c.font = d.font ? CreateDefinedFont(*d.font) : nullptr;
    HFONT font = c.font ? c.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    int height = d.height;
    if (!d.multiLine) {
        // A single-line box is at least as tall as its font's characters plus the two edges.
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm = {};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        height =
            std::max(height, static_cast<int>(tm.tmHeight - tm.tmInternalLeading) + 2 * GetSystemMetrics(SM_CYEDGE));
    }
    HWND hwnd =
        CreateWindowExA(exStyle, "EDIT", "", style, d.left, d.top, d.width, height, w.hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return nullptr;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    c.hwnd = hwnd;
    c.ignoreChange = true;
    SetWindowTextA(hwnd, d.content);
    c.ignoreChange = false;
    SendMessageA(hwnd, EM_SETSEL, 0, 0);
    return hwnd;
}

bool CreateControl(Window& w, Control& c, int childId) {
    const ControlDef& d = *c.def;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    switch (d.kind) {
        case ControlKind::Button:
            c.hwnd = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, d.left, d.top,
                                     d.width, d.height, w.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                                     instance, nullptr);
            if (c.hwnd)
                SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
            return c.hwnd != nullptr;
        case ControlKind::EditBox:
            return CreateEditBox(w, c, childId) != nullptr;
        case ControlKind::Timer:
            c.hwnd = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
            if (!c.hwnd)
                return false;
            SetPropA(c.hwnd, "OffClock_Window", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(w.def->id)));
            SetPropA(c.hwnd, "OffClock_Control", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(d.id)));
            SetTimerInterval(c, d.interval);
            return true;
        case ControlKind::HtmlViewer: {
            RECT r = {d.left, d.top, d.left + d.width, d.top + d.height};
            c.web = WebPanel::Create(w.hwnd, r, {d.address, d.fontSize, d.offline, d.silent});
            c.hwnd = c.web ? c.web->Host() : nullptr;
            return c.hwnd != nullptr;
        }
        case ControlKind::Window:
            break;
    }
    return false;
}

void LoadIcons(Window& w) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    w.bigIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), 0));
    w.smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (w.bigIcon)
        SendMessageA(w.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.bigIcon));
    if (w.smallIcon)
        SendMessageA(w.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(w.smallIcon));
}

PropertyValue GetWindowProperty(Window& w, int property) {
    RECT r;
    GetWindowRect(w.hwnd, &r);
    const WindowDef& d = *w.def;
    switch (property) {
        case kPropLeft:
            return static_cast<int32_t>(r.left);
        case kPropTop:
            return static_cast<int32_t>(r.top);
        case kPropWidth:
            return static_cast<int32_t>(r.right - r.left);
        case kPropHeight:
            return static_cast<int32_t>(r.bottom - r.top);
        case kPropTag:
            return w.tag;
        case kPropVisible:
            return static_cast<int32_t>(IsWindowVisible(w.hwnd) ? 1 : 0);
        case kPropDisabled:
            return static_cast<int32_t>(IsWindowEnabled(w.hwnd) ? 0 : 1);
        case kWindowCaption:
            return WindowText(w.hwnd);
        case kWindowBackColor:
            return static_cast<int32_t>(d.backColor);
        case kWindowPicturePlacement:
            return static_cast<int32_t>(d.picture == WindowPicture::Panel ? 1 : 0);
        case kWindowStartPosition:
            return 1;  // centred
        case kWindowMovable:
            return static_cast<int32_t>(d.movable);
        case kWindowEnterMovesFocus:
            return static_cast<int32_t>(d.enterMovesFocus);
        case kWindowEscCloses:
            return static_cast<int32_t>(w.escCloses);
        case kWindowInTaskbar:
            return static_cast<int32_t>(d.inTaskbar);
        case kWindowDragAnywhere:
            return static_cast<int32_t>(w.dragAnywhere);
        case kWindowTopmost:
            return static_cast<int32_t>((GetWindowLongPtrA(w.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
        case kWindowClassName:
            return kWindowClass;
        default:
            return 0;  // border, music, boxes, help, shape: none of them on these windows
    }
}

// Writes the properties every kind shares: left, top, width and height (against `current`, in the coordinates
// SetWindowPos takes for the window), visible and disabled. False for any other property.
bool SetCommonProperty(HWND hwnd, const RECT& current, int property, int32_t value) {
    int x = current.left, y = current.top, width = current.right - current.left, height = current.bottom - current.top;
    switch (property) {
        case kPropLeft:
            x = value;
            break;
        case kPropTop:
            y = value;
            break;
        case kPropWidth:
            width = value;
            break;
        case kPropHeight:
            height = value;
            break;
        case kPropVisible:
            ShowWindow(hwnd, value ? SW_SHOWNA : SW_HIDE);
            return true;
        case kPropDisabled:
            EnableWindow(hwnd, value ? FALSE : TRUE);
            return true;
        default:
            return false;
    }
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void SetWindowProperty(Window& w, int property, const PropertyValue& value) {
    RECT r;
    GetWindowRect(w.hwnd, &r);
    if (SetCommonProperty(w.hwnd, r, property, value.number))
        return;
    switch (property) {
        case kPropTag:
            w.tag = value.text;
            return;
        case kWindowCaption:
            SetWindowTextA(w.hwnd, value.text.c_str());
            return;
        case kWindowEscCloses:
            w.escCloses = value.number != 0;
            return;
        case kWindowDragAnywhere:
            w.dragAnywhere = value.number != 0;
            return;
        case kWindowTopmost:
            SetWindowPos(w.hwnd, value.number ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return;
        default:
            return;
    }
}

PropertyValue GetChildProperty(Control& c, int property) {
    const ControlDef& d = *c.def;
    if (d.kind == ControlKind::Timer) {
        switch (property) {
            case kPropLeft:
                return d.left;
            case kPropTop:
                return d.top;
            case kPropWidth:
                return d.width;
            case kPropHeight:
                return d.height;
            case kPropTag:
                return c.tag;
            case kTimerInterval:
                return c.interval;
            default:
                return 0;
        }
    }
    RECT r = ChildRect(c.hwnd);
    switch (property) {
        case kPropLeft:
            return static_cast<int32_t>(r.left);
        case kPropTop:
            return static_cast<int32_t>(r.top);
        case kPropWidth:
            return static_cast<int32_t>(r.right - r.left);
        case kPropHeight:
            return static_cast<int32_t>(r.bottom - r.top);
        case kPropTag:
            return c.tag;
        case kPropVisible:
            return static_cast<int32_t>((GetWindowLongPtrA(c.hwnd, GWL_STYLE) & WS_VISIBLE) ? 1 : 0);
        case kPropDisabled:
            return static_cast<int32_t>(IsWindowEnabled(c.hwnd) ? 0 : 1);
        default:
            break;
    }
    if (d.kind == ControlKind::EditBox) {
        DWORD start = 0, end = 0;
        switch (property) {
            case kEditContent:
                return WindowText(c.hwnd);
            case kEditBorderStyle:
                return d.borderStyle;
            case kEditTextColor:
                return static_cast<int32_t>(c.textColor);
            case kEditBackColor:
                return static_cast<int32_t>(c.backColor);
            case kEditHideSelection:
                return 1;
            case kEditLengthLimit:
                return 0;
            case kEditMultiLine:
                return static_cast<int32_t>(d.multiLine);
            case kEditScrollBars:
                return 0;
            case kEditAlignment:
                return static_cast<int32_t>(d.align);
            case kEditInputMode:
                return 0;
            case kEditPasswordChar:
                return "*";
            case kEditCaseConversion:
                return 0;
            case kEditSpinnerMode:
                return 0;
            case kEditSpinnerMin:
                return 0;
            case kEditSpinnerMax:
                return 100;
            case kEditSelStart:
                SendMessageA(c.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                return static_cast<int32_t>(start);
            case kEditSelLength:
                SendMessageA(c.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                return static_cast<int32_t>(end - start);
            case kEditSelText: {
                SendMessageA(c.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                std::string text = WindowText(c.hwnd);
                start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
                end = std::min<DWORD>(std::max(end, start), static_cast<DWORD>(text.size()));
                return text.substr(start, end - start);
            }
            default:
                return 0;
        }
    }
    if (d.kind == ControlKind::HtmlViewer && c.web) {
        switch (property) {
            case kHtmlFontSize:
                return c.web->Settings().fontSize;
            case kHtmlOffline:
                return static_cast<int32_t>(c.web->Settings().offline);
            case kHtmlSilent:
                return static_cast<int32_t>(c.web->Settings().silent);
            case kHtmlAddress:
                return c.web->Settings().address;
            case kHtmlStatusText:
                return c.web->StatusText();
            case kHtmlCaption:
                return c.web->Caption();
            default:
                return 0;
        }
    }
    return 0;
}

void SetChildProperty(Control& c, int property, const PropertyValue& value) {
    const ControlDef& d = *c.def;
    if (property == kPropTag) {
        c.tag = value.text;
        return;
    }
    if (d.kind == ControlKind::Timer) {
        if (property == kTimerInterval)
            SetTimerInterval(c, value.number);
        return;
    }
    if (SetCommonProperty(c.hwnd, ChildRect(c.hwnd), property, value.number))
        return;
    if (d.kind == ControlKind::EditBox) {
        switch (property) {
            case kEditContent:
                WriteEditContent(c, value.isText ? value.text : std::to_string(value.number));
                return;
            case kEditTextColor:
                c.textColor = static_cast<uint32_t>(value.number);
                InvalidateRect(c.hwnd, nullptr, TRUE);
                return;
            case kEditBackColor:
                c.backColor = static_cast<uint32_t>(value.number);
                if (c.backBrush)
                    DeleteObject(c.backBrush);
                c.backBrush = CreateSolidBrush(c.backColor);
                InvalidateRect(c.hwnd, nullptr, TRUE);
                return;
            case kEditSelStart:
                SendMessageA(c.hwnd, EM_SETSEL, value.number < 0 ? GetWindowTextLengthA(c.hwnd) : value.number,
                             value.number < 0 ? GetWindowTextLengthA(c.hwnd) : value.number);
                return;
            case kEditSelText:
                SendMessageA(c.hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.text.c_str()));
                return;
            default:
                return;
        }
    }
    if (d.kind == ControlKind::HtmlViewer && c.web) {
        switch (property) {
            case kHtmlFontSize:
                c.web->SetFontSize(value.number);
                return;
            case kHtmlOffline:
                c.web->SetOffline(value.number != 0);
                return;
            case kHtmlSilent:
                c.web->SetSilent(value.number != 0);
                return;
            case kHtmlAddress:
                c.web->Navigate(value.text);
                return;
            default:
                return;
        }
    }
}

}  // namespace

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

HWND LoadWindow(WindowId id) {
    const WindowDef* def = FindWindowDef(id);
    if (!def || !RegisterClasses())
        return nullptr;
    if (Window* existing = FindWindowRecord(id))
        return existing->hwnd;

    HWND focusBefore = GetFocus();
    auto record = std::make_unique<Window>();
    Window& w = *record;
    w.def = def;
    w.dragAnywhere = def->dragAnywhere;
    w.escCloses = def->escCloses;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int x = (screenWidth - def->width) / 2;
    int y = (screenHeight - def->height) / 2;
    // Owned by an invisible window: an owned window never shows in the taskbar, whatever its extended style.
    HWND hwnd =
        CreateWindowExA(def->topmost ? WS_EX_TOPMOST : 0, kWindowClass, "", WS_POPUP | WS_CLIPSIBLINGS, x, y,
                        def->width, def->height, ProgramOwnerWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return nullptr;
    w.hwnd = hwnd;
    g_windows.push_back(std::move(record));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (def->hasIcon)
        LoadIcons(w);
    if (def->picture == WindowPicture::Panel)
        w.pictureBrush = CreatePanelPictureBrush();

    int childId = kFirstChildId;
    for (const ControlDef& cd : def->controls) {
        auto c = std::make_unique<Control>();
        c->def = &cd;
        if (CreateControl(w, *c, childId++))
            w.controls.push_back(std::move(c));
    }
    for (auto& c : w.controls) {
        if (c->def->kind != ControlKind::Timer)
            ShowWindow(c->hwnd, SW_SHOWNA);
    }

    // Each event only while the window still exists: a handler may close it.
    Fire(id, def->element, kEventCreated);
    if (WindowFromHandle(hwnd))
        Fire(id, def->element, kEventMoved);
    if (WindowFromHandle(hwnd))
        Fire(id, def->element, kEventResized);
    if (!WindowFromHandle(hwnd))
        return nullptr;
    if (def->visible) {
        ShowWindow(hwnd, SW_SHOW);
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (focusBefore && IsWindow(focusBefore))
        SetFocus(focusBefore);
    return hwnd;
}

PropertyValue GetControlProperty(WindowId window, uint32_t control, int property) {
    Window* w = FindWindowRecord(window);
    if (!w)
        return {};
    if (control == w->def->element)
        return GetWindowProperty(*w, property);
    Control* c = FindControl(w, control);
    return c ? GetChildProperty(*c, property) : PropertyValue{};
}

void SetControlProperty(WindowId window, uint32_t control, int property, const PropertyValue& value) {
    Window* w = FindWindowRecord(window);
    if (!w)
        return;
    if (control == w->def->element) {
        SetWindowProperty(*w, property, value);
        return;
    }
    if (Control* c = FindControl(w, control))
        SetChildProperty(*c, property, value);
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

int RunMessageLoop() {
    if (g_windows.empty())
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (HandleProgramKey(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace app
