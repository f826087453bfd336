#pragma once
// Identifiers of the program's windows, window elements and controls, the control kinds, the property
// numbers and the event numbers. Portable: no windows.h.

#include <cstdint>

namespace app {

using WindowId = uint32_t;
using ControlId = uint32_t;

enum class ControlKind : uint32_t {
    Window = 0x00010001,
    EditBox = 0x00010005,
    Button = 0x0001000B,
    Timer = 0x00010020,
    HtmlViewer = 0x00040001,
};

namespace ids {
// Windows and their own elements (the element id addresses the window's own properties).
inline constexpr WindowId kMainWindow = 0x52010001;
inline constexpr ControlId kMainWindowElement = 0x06010000;
inline constexpr WindowId kCountdownWindow = 0x52010216;
inline constexpr ControlId kCountdownWindowElement = 0x06010215;
inline constexpr WindowId kWebPanelWindow = 0x520103CD;
inline constexpr ControlId kWebPanelWindowElement = 0x060103CC;

// MainWindow's controls.
inline constexpr ControlId kStartButton = 0x160101A2;          // 按钮1
inline constexpr ControlId kStopButton = 0x160101B1;           // 按钮2
inline constexpr ControlId kCloseButton = 0x160103C5;          // 按钮3
inline constexpr ControlId kClockEdit = 0x160101A3;            // 编辑框1
inline constexpr ControlId kTimeEntryEdit = 0x160101AE;        // 编辑框2
inline constexpr ControlId kCountdownTextHolder = 0x16010214;  // 编辑框3, never seen
inline constexpr ControlId kClockTimer = 0x160101A6;           // 时钟1
inline constexpr ControlId kCountdownTimer = 0x160101E2;       // 时钟2

// CountdownWindow's controls.
inline constexpr ControlId kCountdownText = 0x16010217;  // 编辑框1

// WebPanelWindow's control.
inline constexpr ControlId kWebPanel = 0x160103CF;  // 超文本浏览框1
}  // namespace ids

// Property numbers. 0 to 7 are common to every kind; from 8 on they depend on the kind.
enum PropertyIndex : int {
    kPropLeft = 0,
    kPropTop = 1,
    kPropWidth = 2,
    kPropHeight = 3,
    kPropTag = 4,
    kPropVisible = 5,
    kPropDisabled = 6,
    kPropMousePointer = 7,
    // Window
    kWindowCaption = 8,
    kWindowBorder = 9,
    kWindowBackColor = 10,
    kWindowBackPicture = 11,
    kWindowPicturePlacement = 12,
    kWindowMusic = 13,
    kWindowPlayCount = 14,
    kWindowControlBox = 15,
    kWindowMaxBox = 16,
    kWindowMinBox = 17,
    kWindowStartPosition = 18,
    kWindowMovable = 19,
    kWindowIcon = 20,
    kWindowEnterMovesFocus = 21,
    kWindowEscCloses = 22,
    kWindowF1Help = 23,
    kWindowHelpFile = 24,
    kWindowHelpTopic = 25,
    kWindowInTaskbar = 26,
    kWindowDragAnywhere = 27,
    kWindowShape = 28,
    kWindowTopmost = 29,
    kWindowKeepCaptionActive = 30,
    kWindowClassName = 31,
    // EditBox
    kEditContent = 8,
    kEditBorderStyle = 9,
    kEditTextColor = 10,
    kEditBackColor = 11,
    kEditFont = 12,
    kEditHideSelection = 13,
    kEditLengthLimit = 14,
    kEditMultiLine = 15,
    kEditScrollBars = 16,
    kEditAlignment = 17,
    kEditInputMode = 18,
    kEditPasswordChar = 19,
    kEditCaseConversion = 20,
    kEditSpinnerMode = 21,
    kEditSpinnerMin = 22,
    kEditSpinnerMax = 23,
    kEditSelStart = 24,
    kEditSelLength = 25,
    kEditSelText = 26,
    // Timer
    kTimerInterval = 8,
    // HtmlViewer
    kHtmlFontSize = 8,
    kHtmlOffline = 9,
    kHtmlSilent = 10,
    kHtmlAddress = 11,
    kHtmlStatusText = 12,
    kHtmlCaption = 13,
};

// Event numbers.
enum EventNumber : int {
    kEventCreated = 0,  // window: creation complete
    kEventClose = 1,    // window: WM_CLOSE
    kEventMoved = 3,
    kEventResized = 4,
    kEventShown = 10,
    kEventHidden = 11,
    kEventDisplayChanged = 12,  // window: the screen's size or the work area changed
    // window: the system's time or time zone changed (WM_TIMECHANGE), or the machine resumed from sleep
    // (WM_POWERBROADCAST). Every top-level window gets these broadcasts; the handler is bound on one.
    kEventClockChanged = 20,
    kEventClicked = 0,  // button
    kEventChanged = 0,  // edit box: content changed
    kEventPeriod = 0,   // timer
    kEventGotFocus = -7,
    kEventLostFocus = -8,
    kEventBeforeNavigate = 0,  // web page panel: "即将跳转"
};

}  // namespace app
