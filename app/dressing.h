#pragma once
// The skins of MainWindow and CountdownWindow: PNG-faced edit boxes and buttons on per-pixel-alpha layered
// windows. WebPanelWindow keeps its plain look.

#include <memory>

#include "skin/controls/skin_button.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/skin_window.h"

namespace app {

// The global skin objects, created unbound at start-up and bound by the creation handlers.
struct SkinObjects {
    std::unique_ptr<skin::SkinControl> clockSkin;
    std::unique_ptr<skin::SkinControl> entrySkin;
    std::unique_ptr<skin::SkinButton> startButtonSkin;
    std::unique_ptr<skin::SkinButton> stopButtonSkin;
    std::unique_ptr<skin::SkinButton> closeButtonSkin;
    std::unique_ptr<skin::SkinWindow> mainWindowSkin;
    std::unique_ptr<skin::SkinControl> countdownTextSkin;
    std::unique_ptr<skin::SkinWindow> countdownWindowSkin;
};

// Text colour of the three skinned edit boxes (red 0x84, green 0x70, blue 0xFF).
inline constexpr uint32_t kSkinTextColor = 16740484;

// Binds the clock display, the entry field and the three buttons, then makes MainWindow layered with its
// face and moves its children onto the layered procedures. Needs the global skin objects.
void DressMainWindow(SkinObjects& skins);

// Binds the countdown text and makes CountdownWindow layered; it has no face, so only its text shows.
void DressCountdownWindow(SkinObjects& skins);

}  // namespace app
