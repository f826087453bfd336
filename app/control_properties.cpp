// The property layer: reading and writing the properties of windows and controls by number. The properties
// every kind with a window shares (position, size, visibility, enabling, tag) are handled once; the rest
// stand in one table per kind.
#include <algorithm>
#include <optional>
#include <span>

#include "app/control_records.h"
#include "skin/floor/props.h"

namespace app {

namespace {

// One property of a kind: how it reads and, unless it is read-only, how it is written.
template <typename Record>
struct Property {
    int number;
    PropertyValue (*get)(Record&);
    void (*set)(Record&, const PropertyValue&) = nullptr;
};

template <typename Record>
PropertyValue ReadFromTable(Record& r, std::span<const Property<Record>> table, int number) {
    for (const Property<Record>& p : table) {
        if (p.number == number)
            return p.get(r);
    }
    return 0;  // border, music, boxes, help, shape and the like: none of them on these windows
}

template <typename Record>
void WriteToTable(Record& r, std::span<const Property<Record>> table, int number, const PropertyValue& value) {
    for (const Property<Record>& p : table) {
        if (p.number == number && p.set)
            p.set(r, value);
    }
}

PropertyValue Flag(bool on) {
    return static_cast<int32_t>(on ? 1 : 0);
}

// The shared part of a window and of a control with a window: its rectangle in the coordinates SetWindowPos
// takes for it (the screen for a window, the parent's client area for a control).
struct Frame {
    HWND hwnd = nullptr;
    RECT rect{};
    bool visible = false;
};

Frame WindowFrame(const Window& w) {
    Frame f{w.hwnd, {}, IsWindowVisible(w.hwnd) != FALSE};
    GetWindowRect(w.hwnd, &f.rect);
    return f;
}

// A control counts as visible by its own style, whatever its window shows.
Frame ControlFrame(const Control& c) {
    Frame f{c.hwnd, {}, (GetWindowLongPtrA(c.hwnd, GWL_STYLE) & WS_VISIBLE) != 0};
    GetWindowRect(c.hwnd, &f.rect);
    MapWindowPoints(nullptr, GetParent(c.hwnd), reinterpret_cast<POINT*>(&f.rect), 2);
    return f;
}

std::optional<PropertyValue> ReadFrame(const Frame& f, int property) {
    switch (property) {
        case kPropLeft:
            return static_cast<int32_t>(f.rect.left);
        case kPropTop:
            return static_cast<int32_t>(f.rect.top);
        case kPropWidth:
            return static_cast<int32_t>(f.rect.right - f.rect.left);
        case kPropHeight:
            return static_cast<int32_t>(f.rect.bottom - f.rect.top);
        case kPropVisible:
            return Flag(f.visible);
        case kPropDisabled:
            return Flag(!IsWindowEnabled(f.hwnd));
        default:
            return std::nullopt;
    }
}

// False for a property that is not one of the frame's.
bool WriteFrame(const Frame& f, int property, int32_t value) {
    int x = f.rect.left, y = f.rect.top, width = f.rect.right - f.rect.left, height = f.rect.bottom - f.rect.top;
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
            ShowWindow(f.hwnd, value ? SW_SHOWNA : SW_HIDE);
            return true;
        case kPropDisabled:
            EnableWindow(f.hwnd, value ? FALSE : TRUE);
            return true;
        default:
            return false;
    }
    SetWindowPos(f.hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

constexpr Property<Window> kWindowProperties[] = {
    {kWindowCaption, [](Window& w) -> PropertyValue { return skin::ReadWindowText(w.hwnd); },
     [](Window& w, const PropertyValue& v) { SetWindowTextA(w.hwnd, v.text.c_str()); }},
    {kWindowBackColor, [](Window& w) -> PropertyValue { return static_cast<int32_t>(w.def->backColor); }},
    {kWindowPicturePlacement, [](Window& w) { return Flag(w.def->picture == WindowPicture::kPanel); }},
    {kWindowStartPosition, [](Window&) -> PropertyValue { return 1; }},  // centred
    {kWindowMovable, [](Window& w) { return Flag(w.def->movable); }},
    {kWindowEnterMovesFocus, [](Window& w) { return Flag(w.def->enterMovesFocus); }},
    {kWindowEscCloses, [](Window& w) { return Flag(w.escCloses); },
     [](Window& w, const PropertyValue& v) { w.escCloses = v.number != 0; }},
    {kWindowInTaskbar, [](Window& w) { return Flag(w.def->inTaskbar); }},
    {kWindowDragAnywhere, [](Window& w) { return Flag(w.dragAnywhere); },
     [](Window& w, const PropertyValue& v) { w.dragAnywhere = v.number != 0; }},
    {kWindowTopmost, [](Window& w) { return Flag(GetWindowLongPtrA(w.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST); },
     [](Window& w, const PropertyValue& v) {
         SetWindowPos(w.hwnd, v.number ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
     }},
    {kWindowClassName, [](Window&) -> PropertyValue { return kWindowClass; }},
};

struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};

Selection SelectionOf(HWND edit) {
    Selection s;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start), reinterpret_cast<LPARAM>(&s.end));
    return s;
}

PropertyValue SelectedText(Control& c) {
    Selection s = SelectionOf(c.hwnd);
    std::string text = skin::ReadWindowText(c.hwnd);
    const auto size = static_cast<DWORD>(text.size());
    s.start = std::min(s.start, size);
    s.end = std::min(std::max(s.end, s.start), size);
    return text.substr(s.start, s.end - s.start);
}

// A negative start puts the caret after the last character.
void SetSelectionStart(Control& c, const PropertyValue& v) {
    const int32_t at = v.number < 0 ? GetWindowTextLengthA(c.hwnd) : v.number;
    SendMessageA(c.hwnd, EM_SETSEL, at, at);
}

constexpr Property<Control> kEditProperties[] = {
    {kEditContent, [](Control& c) -> PropertyValue { return skin::ReadWindowText(c.hwnd); },
     [](Control& c, const PropertyValue& v) { WriteEditContent(c, v.isText ? v.text : std::to_string(v.number)); }},
    {kEditBorderStyle, [](Control& c) -> PropertyValue { return c.def->borderStyle; }},
    {kEditTextColor, [](Control& c) -> PropertyValue { return static_cast<int32_t>(c.textColor); },
     [](Control& c, const PropertyValue& v) {
         c.textColor = static_cast<uint32_t>(v.number);
         InvalidateRect(c.hwnd, nullptr, TRUE);
     }},
    {kEditBackColor, [](Control& c) -> PropertyValue { return static_cast<int32_t>(c.backColor); },
     [](Control& c, const PropertyValue& v) {
         c.backColor = static_cast<uint32_t>(v.number);
         c.backBrush.reset(CreateSolidBrush(c.backColor));
         InvalidateRect(c.hwnd, nullptr, TRUE);
     }},
    {kEditHideSelection, [](Control&) -> PropertyValue { return 1; }},
    {kEditMultiLine, [](Control& c) { return Flag(c.def->multiLine); }},
    {kEditAlignment, [](Control& c) -> PropertyValue { return static_cast<int32_t>(c.def->align); }},
    {kEditPasswordChar, [](Control&) -> PropertyValue { return "*"; }},
    {kEditSpinnerMax, [](Control&) -> PropertyValue { return 100; }},
    {kEditSelStart, [](Control& c) -> PropertyValue { return static_cast<int32_t>(SelectionOf(c.hwnd).start); },
     SetSelectionStart},
    {kEditSelLength,
     [](Control& c) -> PropertyValue {
         const Selection s = SelectionOf(c.hwnd);
         return static_cast<int32_t>(s.end - s.start);
     }},
    {kEditSelText, SelectedText,
     [](Control& c, const PropertyValue& v) {
         SendMessageA(c.hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(v.text.c_str()));
     }},
};

// Read and written only while the panel exists.
constexpr Property<Control> kHtmlProperties[] = {
    {kHtmlFontSize, [](Control& c) -> PropertyValue { return c.web->Settings().fontSize; },
     [](Control& c, const PropertyValue& v) { c.web->SetFontSize(v.number); }},
    {kHtmlOffline, [](Control& c) { return Flag(c.web->Settings().offline); },
     [](Control& c, const PropertyValue& v) { c.web->SetOffline(v.number != 0); }},
    {kHtmlSilent, [](Control& c) { return Flag(c.web->Settings().silent); },
     [](Control& c, const PropertyValue& v) { c.web->SetSilent(v.number != 0); }},
    {kHtmlAddress, [](Control& c) -> PropertyValue { return c.web->Settings().address; },
     [](Control& c, const PropertyValue& v) { c.web->Navigate(v.text); }},
    {kHtmlStatusText, [](Control& c) -> PropertyValue { return c.web->StatusText(); }},
    {kHtmlCaption, [](Control& c) -> PropertyValue { return c.web->Caption(); }},
};

// A timer has no window of its own to place: its geometry is the defined one, and only its interval changes.
constexpr Property<Control> kTimerProperties[] = {
    {kPropLeft, [](Control& c) -> PropertyValue { return c.def->left; }},
    {kPropTop, [](Control& c) -> PropertyValue { return c.def->top; }},
    {kPropWidth, [](Control& c) -> PropertyValue { return c.def->width; }},
    {kPropHeight, [](Control& c) -> PropertyValue { return c.def->height; }},
    {kTimerInterval, [](Control& c) -> PropertyValue { return c.interval; },
     [](Control& c, const PropertyValue& v) { SetTimerInterval(c, v.number); }},
};

// The table of a control's own kind; buttons, and a web panel whose browser could not be made, have nothing
// beyond the shared properties.
std::span<const Property<Control>> PropertiesOf(const Control& c) {
    switch (c.def->kind) {
        case ControlKind::EditBox:
            return kEditProperties;
        case ControlKind::Timer:
            return kTimerProperties;
        case ControlKind::HtmlViewer:
            if (c.web)
                return kHtmlProperties;
            return {};
        default:
            return {};
    }
}

}  // namespace

PropertyValue GetControlProperty(WindowId window, uint32_t control, int property) {
    Window* w = FindWindowRecord(window);
    if (!w)
        return {};
    if (control == w->def->element) {
        if (property == kPropTag)
            return w->tag;
        if (std::optional<PropertyValue> shared = ReadFrame(WindowFrame(*w), property))
            return *shared;
        return ReadFromTable<Window>(*w, kWindowProperties, property);
    }
    Control* c = FindControl(w, control);
    if (!c)
        return {};
    if (property == kPropTag)
        return c->tag;
    if (c->def->kind != ControlKind::Timer) {
        if (std::optional<PropertyValue> shared = ReadFrame(ControlFrame(*c), property))
            return *shared;
    }
    return ReadFromTable(*c, PropertiesOf(*c), property);
}

void SetControlProperty(WindowId window, uint32_t control, int property, const PropertyValue& value) {
    Window* w = FindWindowRecord(window);
    if (!w)
        return;
    if (control == w->def->element) {
        if (property == kPropTag)
            w->tag = value.text;
        else if (!WriteFrame(WindowFrame(*w), property, value.number))
            WriteToTable<Window>(*w, kWindowProperties, property, value);
        return;
    }
    Control* c = FindControl(w, control);
    if (!c)
        return;
    if (property == kPropTag) {
        c->tag = value.text;
        return;
    }
    if (c->def->kind != ControlKind::Timer && WriteFrame(ControlFrame(*c), property, value.number))
        return;
    WriteToTable(*c, PropertiesOf(*c), property, value);
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

}  // namespace app
