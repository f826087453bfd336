#include "app/window_defs.h"

namespace app {

namespace {

using enum ControlKind;

// Face names and texts are GBK bytes: this file is also built natively, where literals stay UTF-8.
constexpr FontDef kArial14{"Arial", -14, 400, 0, 0x22};
constexpr FontDef kArial10{"Arial", -10, 400, 0, 0x22};
constexpr FontDef kKaiTi12{"\xBF\xAC\xCC\xE5_GB2312", -12, 400, 134, 0x31};  // 楷体_GB2312

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

constexpr ControlDef kMainControls[] = {
    {.id = ids::kStartButton,
     .kind = Button,
     .name = "\xB0\xB4\xC5\xA5"
             "1",
     .left = 2,
     .top = 1,
     .width = 32,
     .height = 32,
     .handCursor = true,
     .caption = "\xBF\xAA\xCA\xBC"},  // 开始
    {.id = ids::kStopButton,
     .kind = Button,
     .name = "\xB0\xB4\xC5\xA5"
             "2",
     .left = 87,
     .top = 88,
     .width = 32,
     .height = 32,
     .handCursor = true,
     .caption = "\xCD\xA3\xD6\xB9"},  // 停止
    {.id = ids::kCloseButton,
     .kind = Button,
     .name = "\xB0\xB4\xC5\xA5"
             "3",
     .left = 94,
     .top = 9,
     .width = 16,
     .height = 16,
     .handCursor = true,
     .caption = "\xB9\xD8\xB1\xD5"},  // 关闭
    {.id = ids::kClockEdit,
     .kind = EditBox,
     .name = "\xB1\xE0\xBC\xAD\xBF\xF2"
             "1",
     .left = 16,
     .top = 55,
     .width = 102,
     .height = 32,
     .align = TextAlign::kCentre,
     .textColor = Rgb(128, 0, 0),
     .font = &kArial14},
    // Initial content "时间格式00:00:00".
    {.id = ids::kTimeEntryEdit,
     .kind = EditBox,
     .name = "\xB1\xE0\xBC\xAD\xBF\xF2"
             "2",
     .left = 16,
     .top = 35,
     .width = 94,
     .height = 21,
     .textColor = Rgb(128, 128, 128),
     .font = &kArial10,
     .content = "\xCA\xB1\xBC\xE4\xB8\xF1\xCA\xBD"
                "00:00:00"},
    {.id = ids::kCountdownTextHolder,
     .kind = EditBox,
     .name = "\xB1\xE0\xBC\xAD\xBF\xF2"
             "3",
     .left = 8,
     .top = 96,
     .width = 72,
     .height = 24,
     .multiLine = true},
    {.id = ids::kClockTimer,
     .kind = Timer,
     .name = "\xCA\xB1\xD6\xD3"
             "1",
     .left = 96,
     .top = 96,
     .width = 24,
     .height = 24,
     .interval = 1000},
    {.id = ids::kCountdownTimer,
     .kind = Timer,
     .name = "\xCA\xB1\xD6\xD3"
             "2",
     .left = 32,
     .top = 96,
     .width = 24,
     .height = 16,
     .interval = 0},
};

constexpr ControlDef kCountdownControls[] = {
    // Initial content "是我"; the copy of MainWindow's (empty) holder replaces it as the window is created.
    // The window has no copy timer: the countdown message is copied into the strip as it is written
    // (MirrorCountdownMessage), so nothing polls for a text that changes once a second.
    {.id = ids::kCountdownText,
     .kind = EditBox,
     .name = "\xB1\xE0\xBC\xAD\xBF\xF2"
             "1",
     .left = 0,
     .top = 0,
     .width = 296,
     .height = 56,
     .multiLine = true,
     .textColor = Rgb(128, 128, 128),
     .font = &kKaiTi12,
     .content = "\xCA\xC7\xCE\xD2"},
};

// The panel reaches 12 px past the left edge, 16 past the top, 38 past the right and 9 past the bottom, so
// the browser's own frame on those sides lies outside the window.
constexpr ControlDef kWebPanelControls[] = {
    {.id = ids::kWebPanel,
     .kind = HtmlViewer,
     .name = "\xB3\xAC\xCE\xC4\xB1\xBE\xE4\xAF\xC0\xC0\xBF\xF2"
             "1",
     .left = -12,
     .top = -16,
     .width = 300,
     .height = 180,
     .address = "https://time.is/",
     .fontSize = 2},
};

constexpr WindowDef kWindows[] = {
    {.id = ids::kMainWindow,
     .element = ids::kMainWindowElement,
     .name = "MainWindow",
     .left = 50,
     .top = 50,
     .width = 128,
     .height = 128,
     .dragAnywhere = true,
     .hasIcon = true,
     .picture = WindowPicture::kNone,
     .visible = true,
     .controls = kMainControls},
    {.id = ids::kCountdownWindow,
     .element = ids::kCountdownWindowElement,
     .name = "CountdownWindow",
     .left = 50,
     .top = 50,
     .width = 295,
     .height = 56,
     .dragAnywhere = true,
     .hasIcon = false,
     .picture = WindowPicture::kNone,
     .visible = true,
     .controls = kCountdownControls,
     .floatsOver = ids::kMainWindow,
     .closeHides = true},
    {.id = ids::kWebPanelWindow,
     .element = ids::kWebPanelWindowElement,
     .name = "WebPanelWindow",
     .left = 50,
     .top = 50,
     .width = 250,
     .height = 155,
     .dragAnywhere = false,
     .hasIcon = false,
     .picture = WindowPicture::kPanel,
     .visible = true,
     .controls = kWebPanelControls},
};

}  // namespace

std::span<const WindowDef> AllWindowDefs() {
    return kWindows;
}

const WindowDef* FindWindowDef(WindowId id) {
    for (const WindowDef& w : kWindows) {
        if (w.id == id)
            return &w;
    }
    return nullptr;
}

const ControlDef* FindControlDef(WindowId window, ControlId control) {
    const WindowDef* w = FindWindowDef(window);
    if (!w)
        return nullptr;
    for (const ControlDef& c : w->controls) {
        if (c.id == control)
            return &c;
    }
    return nullptr;
}

}  // namespace app
