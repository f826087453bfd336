#include "app/dressing.h"

#include "app/controls.h"
#include "assets/embedded_images.h"
#include "skin/floor/keys.h"

namespace app {

namespace {

HWND Handle(WindowId window, uint32_t control, ControlKind kind) {
    return GetControlHandle(window, control, kind);
}

}  // namespace

void DressMainWindow(SkinObjects& s) {
    using namespace ids;
    using assets::kStartPicture, assets::kStartLitPicture, assets::kStopPicture, assets::kStopLitPicture,
        assets::kClosePicture, assets::kMainWindowPicture;

    s.clockSkin->BindPngControl(Handle(kMainWindow, kClockEdit, ControlKind::EditBox));
    s.entrySkin->BindPngControl(Handle(kMainWindow, kTimeEntryEdit, ControlKind::EditBox));
    // The clock draws neither a back colour nor a border; the entry field keeps the defaults of its binding.
    s.clockSkin->SetBackColor(skin::kNoColor);
    s.clockSkin->SetOrderColor(skin::kNoColor);
    s.clockSkin->SetForeColor(kSkinTextColor);
    s.entrySkin->SetForeColor(kSkinTextColor);

    s.startButtonSkin->BindButton(Handle(kMainWindow, kStartButton, ControlKind::Button));
    s.startButtonSkin->SetFaceImageData(kStartPicture, kStartLitPicture, kStartPicture);
    s.startButtonSkin->SetToolTip("设置并启动定时关机", true);

    s.stopButtonSkin->BindButton(Handle(kMainWindow, kStopButton, ControlKind::Button));
    s.stopButtonSkin->SetFaceImageData(kStopPicture, kStopLitPicture, kStopPicture);
    s.stopButtonSkin->SetToolTip("停止已设置好的定时关机", true);

    // The close button looks the same in every state and has no tooltip.
    s.closeButtonSkin->BindButton(Handle(kMainWindow, kCloseButton, ControlKind::Button));
    s.closeButtonSkin->SetFaceImageData(kClosePicture, kClosePicture, kClosePicture);

    // 编辑框3 has no skin, so the layered face never shows it.
    s.mainWindowSkin->Attach(Handle(kMainWindow, kMainWindowElement, ControlKind::Window));
    s.mainWindowSkin->SetBackImageData(kMainWindowPicture);
    s.mainWindowSkin->BindChildren();
}

void DressCountdownWindow(SkinObjects& s) {
    using namespace ids;
    s.countdownTextSkin->BindPngControl(Handle(kCountdownWindow, kCountdownText, ControlKind::EditBox));
    s.countdownTextSkin->SetBackColor(skin::kNoColor);
    s.countdownTextSkin->SetOrderColor(skin::kNoColor);
    s.countdownTextSkin->SetForeColor(kSkinTextColor);
    s.countdownWindowSkin->Attach(Handle(kCountdownWindow, kCountdownWindowElement, ControlKind::Window));
    // The empty block decodes to no image: every pixel the text does not cover stays fully transparent.
    s.countdownWindowSkin->SetBackImageData(assets::kNoPicture);
    s.countdownWindowSkin->BindChildren();
}

}  // namespace app
