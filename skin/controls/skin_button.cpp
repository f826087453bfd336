#include "skin/controls/skin_button.h"

#include "gfx/graphics.h"
#include "gfx/sysapi.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/controls/binding.h"
#include "skin/controls/button_procs.h"
#include "skin/floor/keys.h"

namespace skin {

namespace {

void SetImageProp(HWND window, const char* name, Gdiplus::GpImage* image) {
    SetSkinProp(window, name, reinterpret_cast<intptr_t>(image));
}

}  // namespace

void SkinButton::Release() {}

SkinButton* SkinButton::Clone() const {
    return new SkinButton(*this);
}

HWND SkinButton::CreateButton(HWND parent, int x, int y, int width, int height, const char* text) {
    HWND button = sys::CreateWindowExA(WS_EX_TRANSPARENT, "Button", text ? text : "", WS_CHILD | WS_VISIBLE, x, y,
                                       width, height, parent, nullptr, nullptr, nullptr);
    if (button)
        SkinButton::BindButton(button);
    return button;
}

bool SkinButton::BindButton(HWND window, Gdiplus::GpImage* normalImage) {
    if (!SkinControlBase::Attach(window))
        return false;
    SetSkinCode(window, key::kType, kSkinButton);
    if (normalImage)
        SetImageProp(window, key::kNormalImage, normalImage);
    ModifyStyle(window, 0, BS_OWNERDRAW);
    SubclassWindow(window, ButtonProc);
    RefreshInParent(window);
    return true;
}

void SkinButton::SetFaceImages(std::optional<Gdiplus::GpImage*> normal,
                               std::optional<Gdiplus::GpImage*> hover,
                               std::optional<Gdiplus::GpImage*> down,
                               std::optional<Gdiplus::GpImage*> disabled) {
    if (normal)
        SetImageProp(window_, key::kNormalImage, *normal);
    if (hover)
        SetImageProp(window_, key::kOverImage, *hover);
    if (down)
        SetImageProp(window_, key::kDownImage, *down);
    if (disabled)
        SetImageProp(window_, key::kDisableImage, *disabled);
}

void SkinButton::SetFaceImageData(std::optional<const uint8_t*> normal,
                                  std::optional<const uint8_t*> hover,
                                  std::optional<const uint8_t*> down,
                                  std::optional<const uint8_t*> disabled) {
    // The button's window owns what is decoded for it; an unbound object's images go when this returns.
    gfx::UniqueGpImage decoded[4];
    auto decode = [&decoded](int slot, std::optional<const uint8_t*> block) -> std::optional<Gdiplus::GpImage*> {
        if (!block)
            return std::nullopt;
        decoded[slot] = gfx::LoadImageFromMemory(*block);
        return decoded[slot].get();
    };
    SkinButton::SetFaceImages(decode(0, normal), decode(1, hover), decode(2, down), decode(3, disabled));
    for (gfx::UniqueGpImage& image : decoded)
        KeepDecodedImage(window_, image);
}

void SkinButton::SetBackType(int32_t type) {
    SetSkinCode(window_, key::kBackType, type);
}

}  // namespace skin
