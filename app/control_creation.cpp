// Creation of the program's windows and their controls from the window definitions (app/window_defs.h).
#include <algorithm>

#include "app/control_records.h"
#include "app/panel_picture.h"

namespace app {

namespace {

// Child window ids are small serials: WM_COMMAND carries only 16 bits of id, so the 32-bit control ids are
// found through the child's handle instead.
constexpr int kFirstChildId = 100;

HMENU ChildId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

gfx::UniqueFont CreateDefinedFont(const FontDef& f) {
    LOGFONTA lf = {};
    lf.lfHeight = f.height;
    lf.lfWeight = f.weight;
    lf.lfCharSet = f.charset;
    lf.lfOutPrecision = f.outPrecision;
    lf.lfClipPrecision = f.clipPrecision;
    lf.lfQuality = f.quality;
    lf.lfPitchAndFamily = f.pitchAndFamily;
    lstrcpynA(lf.lfFaceName, f.face, LF_FACESIZE);
    return gfx::UniqueFont(CreateFontIndirectA(&lf));
}

// A single-line box is at least as tall as its font's characters plus the two edges.
int SingleLineHeight(HFONT font, int definedHeight) {
    gfx::WindowDc screen(nullptr, gfx::WindowDc::Area::kClient);
    TEXTMETRICA tm = {};
    {
        gfx::ScopedSelect selected(screen.get(), font);
        GetTextMetricsA(screen.get(), &tm);
    }
    return std::max(definedHeight,
                    static_cast<int>(tm.tmHeight - tm.tmInternalLeading) + 2 * GetSystemMetrics(SM_CYEDGE));
}

// A box that takes no input is subclassed so that the pointer passes through it to the bare window beneath: a
// press on it gives it neither the focus nor a caret, and drags the window as a press on any bare point does.
// A focus given to it in another way goes on to its window, so that neither typing nor a system caret, whose
// blink would wake the program, reaches the box.
LRESULT CALLBACK NoInputBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto saved = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kNoInputBoxProcKey));
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_SETFOCUS:
            SetFocus(GetParent(hwnd));
            return 0;
        case WM_KILLFOCUS:
            return 0;  // the box never took the focus it is losing
        case WM_NCDESTROY:
            RemovePropA(hwnd, kNoInputBoxProcKey);
            break;
        default:
            break;
    }
    return saved ? CallWindowProcA(saved, hwnd, message, wParam, lParam)
                 : DefWindowProcA(hwnd, message, wParam, lParam);
}

void TakeNoInput(HWND box) {
    const LONG_PTR own = GetWindowLongPtrA(box, GWLP_WNDPROC);
    if (SetPropA(box, kNoInputBoxProcKey, reinterpret_cast<HANDLE>(own)))
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoInputBoxProc));
}

// The brush and font are the control's from the start, so a box whose window cannot be made frees them
// with its record.
bool CreateEditBox(Window& w, Control& c, int childId) {
    const ControlDef& d = *c.def;
    DWORD style = WS_CHILD | (d.takesInput ? WS_TABSTOP : ES_READONLY);
    if (d.multiLine)
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    else
        style |= ES_AUTOHSCROLL;
    if (d.align == TextAlign::kCentre)
        style |= ES_CENTER;
    else if (d.align == TextAlign::kRight)
        style |= ES_RIGHT;
    DWORD exStyle = d.borderStyle == 1 ? WS_EX_CLIENTEDGE : 0;
    c.textColor = d.textColor;
    c.backColor = d.backColor;
    c.backBrush.reset(CreateSolidBrush(d.backColor));
    if (d.font)
        c.font = CreateDefinedFont(*d.font);
    HFONT font = c.font ? c.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    const int height = d.multiLine ? d.height : SingleLineHeight(font, d.height);
    HWND hwnd = CreateWindowExA(exStyle, "EDIT", "", style, d.left, d.top, d.width, height, w.hwnd, ChildId(childId),
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return false;
    if (!d.takesInput)
        TakeNoInput(hwnd);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // No length limit: the system's default of 30,000 characters would cut a paste short without a word.
    SendMessageA(hwnd, EM_LIMITTEXT, 0, 0);
    c.hwnd = hwnd;
    c.ignoreChange = true;
    SetWindowTextA(hwnd, d.content);
    c.ignoreChange = false;
    SendMessageA(hwnd, EM_SETSEL, 0, 0);
    return true;
}

bool CreateControl(Window& w, Control& c, int childId) {
    const ControlDef& d = *c.def;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    switch (d.kind) {
        case ControlKind::Button:
            c.hwnd = CreateWindowExA(0, "BUTTON", d.caption, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, d.left,
                                     d.top, d.width, d.height, w.hwnd, ChildId(childId), instance, nullptr);
            if (c.hwnd)
                SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
            return c.hwnd != nullptr;
        case ControlKind::EditBox:
            return CreateEditBox(w, c, childId);
        case ControlKind::Timer:
            c.hwnd = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
            if (!c.hwnd)
                return false;
            SetPropA(c.hwnd, kTimerWindowKey, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(w.def->id)));
            SetPropA(c.hwnd, kTimerControlKey, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(d.id)));
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

base::UniqueIcon LoadProgramIcon(int width, int height) {
    return base::UniqueIcon(
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, width, height, 0)));
}

void LoadIcons(Window& w) {
    w.bigIcon = LoadProgramIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    w.smallIcon = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    if (w.bigIcon)
        SendMessageA(w.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.bigIcon.get()));
    if (w.smallIcon)
        SendMessageA(w.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(w.smallIcon.get()));
}

}  // namespace

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
    int x = (GetSystemMetrics(SM_CXSCREEN) - def->width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - def->height) / 2;
    // Owned by an invisible window: an owned window never shows in the taskbar, whatever its extended style.
    HWND hwnd =
        CreateWindowExA(def->topmost ? WS_EX_TOPMOST : 0, kWindowClass, "", WS_POPUP | WS_CLIPSIBLINGS, x, y,
                        def->width, def->height, ProgramOwnerWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return nullptr;
    w.hwnd = hwnd;
    AddWindowRecord(std::move(record));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (def->hasIcon)
        LoadIcons(w);
    if (def->picture == WindowPicture::kPanel)
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

}  // namespace app
