#pragma once
// The three windows and their controls, defined once as data. Portable: no windows.h; the control layer
// (app/controls.h) creates the real windows from these records.

#include <cstdint>
#include <span>

#include "app/ids.h"

namespace app {

// Stored colour value that stands for the system button-face colour.
inline constexpr uint32_t kDefaultWindowColor = 0xFF000000u;

struct FontDef {
    const char* face;  // GBK bytes
    int32_t height;    // logical height: negative = character height in pixels
    int32_t weight = 400;
    uint8_t charset = 0;  // ANSI_CHARSET
    uint8_t pitchAndFamily = 0;
    uint8_t outPrecision = 3;
    uint8_t clipPrecision = 2;
    uint8_t quality = 1;
};

enum class TextAlign : int32_t { kLeft = 0, kCentre = 1, kRight = 2 };

struct ControlDef {
    ControlId id;
    ControlKind kind;
    const char* name;  // the control's name, for diagnostics (GBK)
    int32_t left, top, width, height;
    // Edit boxes
    bool multiLine = false;
    TextAlign align = TextAlign::kLeft;
    uint32_t textColor = 0;
    uint32_t backColor = 0x00FFFFFF;
    const FontDef* font = nullptr;  // null: the stock default GUI font
    const char* content = "";
    int32_t borderStyle = 1;  // 1: sunken client edge
    // Buttons
    bool handCursor = false;
    // The window text, which screen readers announce as the button's name (GBK). The faces carry the label
    // on screen: the skin never draws a button's text.
    const char* caption = "";
    // Timers
    int32_t interval = 0;
    // Web page panel
    const char* address = "";
    int32_t fontSize = 2;
    bool offline = false;
    bool silent = false;
};

enum class WindowPicture { kNone, kPanel };

struct WindowDef {
    WindowId id;
    ControlId element;
    const char* name;
    int32_t left, top, width, height;
    bool dragAnywhere;
    bool hasIcon;
    WindowPicture picture;
    bool visible;
    std::span<const ControlDef> controls;
    // Shared by all three windows.
    uint32_t backColor = kDefaultWindowColor;
    bool topmost = true;
    bool inTaskbar = false;
    bool escCloses = true;
    bool enterMovesFocus = false;
    bool movable = true;
    // A window that floats over another (0: none) is kept above it in the z-order while both show, however
    // the other is activated or raised.
    WindowId floatsOver = 0;
    // Closing hides the window instead of destroying it (the strip, which every countdown shows again).
    bool closeHides = false;
};

// The window definition for `id`, or null.
const WindowDef* FindWindowDef(WindowId id);

// The control definition (window, control), or null.
const ControlDef* FindControlDef(WindowId window, ControlId control);

std::span<const WindowDef> AllWindowDefs();

}  // namespace app
