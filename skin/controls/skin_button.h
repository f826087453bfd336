#pragma once
// The button skin: four PNG faces (normal, hover, down, disabled) that follow the mouse, the focus and the
// enabled state, drawn with per-pixel alpha over what lies behind the button. The button's own text is
// never drawn: the faces carry the label.
// Slot order: the thirteen operations of SkinControlBase (skin/controls/skin_control.h), then
//   13 CreateButton, 14 BindButton, 15 SetFaceImages, 16 SetFaceImageData, 17 SetBackType.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>

#include "skin/controls/skin_control.h"

namespace skin {

class SkinButton final : public SkinControlBase {
  public:
    SkinButton() = default;

    void Release() override;
    SkinButton* Clone() const override;
    // A visible transparent "Button" child, bound with BindButton; null when the window cannot be created.
    virtual HWND CreateButton(HWND parent, int x, int y, int width, int height, const char* text);
    // Attach, type Button, owner-drawn style and ButtonProc; a non-null `normalImage` becomes the normal
    // face. False, with nothing changed, when `window` is not a window.
    virtual bool BindButton(HWND window, Gdiplus::GpImage* normalImage = nullptr);
    // Stores each face that is given (null included); omitted faces stay. Nothing is repainted, replaced
    // faces are not disposed of: they must live as long as the button shows them.
    virtual void SetFaceImages(std::optional<Gdiplus::GpImage*> normal = std::nullopt,
                               std::optional<Gdiplus::GpImage*> hover = std::nullopt,
                               std::optional<Gdiplus::GpImage*> down = std::nullopt,
                               std::optional<Gdiplus::GpImage*> disabled = std::nullopt);
    // The same with counted byte blocks of encoded images; a block that does not decode stores no face. The
    // button's window owns the faces decoded for it, and they go with it.
    virtual void SetFaceImageData(std::optional<const uint8_t*> normal = std::nullopt,
                                  std::optional<const uint8_t*> hover = std::nullopt,
                                  std::optional<const uint8_t*> down = std::nullopt,
                                  std::optional<const uint8_t*> disabled = std::nullopt);
    // Placement of the faces (BackType); nothing is repainted.
    virtual void SetBackType(int32_t type);

  private:
    SkinButton(const SkinButton&) = default;
};

}  // namespace skin
