#pragma once
// Skin objects for controls. A skin object is a window handle and a method table; everything it knows is
// stored on the window as properties (skin/floor/keys.h), so two objects bound to one window share all state.
// The virtual operations stand in a fixed slot order, the order the engine's users rely on:
//   SkinControlBase  0 Release, 1 Clone, 2 Attach, 3 GetHandle, 4 SetProperty, 5 GetProperty, 6 Send,
//                    7 SetToolTip, 8 Move, 9 GetHwnd, 10 IsValid, 11 Redraw, 12 SendSync
//   SkinControl      13 BindPngControl, 14 SetBackColor, 15 SetOrderColor, 16 SetForeColor,
//                    17 SetBackImage, 18 SetBackImageData, 19 SetBackType, 20 GetText
// No virtual destructor: it would take table slots. Objects are destroyed through their final class.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>

namespace skin {

class SkinControlBase {
  public:
    SkinControlBase& operator=(const SkinControlBase&) = delete;

    // Does nothing: the window, its properties and its subclassing stay as they are.
    virtual void Release();
    // A new object of the same class bound to the same window; the caller owns it.
    virtual SkinControlBase* Clone() const = 0;
    // Binds the object to `window` (parent subclassing, clip and transparency styles); false, with nothing
    // changed, when `window` is not a window.
    virtual bool Attach(HWND window);
    virtual HWND GetHandle() const;
    virtual void SetProperty(const char* key, intptr_t value);
    virtual intptr_t GetProperty(const char* key) const;
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);
    // Registers the control with the process's one tooltip window on the first call (a tip at the cursor
    // unless `atCursor` is false); later calls only replace the text.
    virtual void SetToolTip(const char* text, std::optional<bool> atCursor = std::nullopt);
    // Whatever is omitted keeps the current placement (position in the parent's client coordinates).
    virtual void Move(std::optional<int> left = std::nullopt,
                      std::optional<int> top = std::nullopt,
                      std::optional<int> width = std::nullopt,
                      std::optional<int> height = std::nullopt,
                      std::optional<bool> noRedraw = std::nullopt);
    virtual HWND GetHwnd() const;
    virtual bool IsValid() const;
    virtual void Redraw();
    virtual LRESULT SendSync(UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    SkinControlBase() = default;
    SkinControlBase(const SkinControlBase&) = default;
    ~SkinControlBase() = default;

    HWND window_ = nullptr;
};

// A general PNG control (in this program: the edit boxes): back colour or image, border, text colour.
class SkinControl final : public SkinControlBase {
  public:
    SkinControl() = default;

    void Release() override;
    SkinControl* Clone() const override;
    // Attach, then the PNG-control defaults (white back, grey border, black text; no back colour under a
    // layered parent) and the control's own procedure: LayeredChildProc under a layered parent, else
    // PngControlProc.
    virtual void BindPngControl(HWND window);
    // `alpha` is clamped to 0..255; omitted, the stored alpha stays. 0xFFFFFFFF (-1) draws no fill.
    virtual void SetBackColor(uint32_t colour, std::optional<int32_t> alpha = std::nullopt);
    // The border; 0xFFFFFFFF (-1) draws none.
    virtual void SetOrderColor(uint32_t colour, std::optional<int32_t> alpha = std::nullopt);
    virtual void SetForeColor(uint32_t colour);
    // The image is not owned: it must live as long as the window shows it. Omitted clears it.
    virtual void SetBackImage(Gdiplus::GpImage* image = nullptr);
    // Decodes an image from a counted byte block; an undecodable block clears the back image. The window owns
    // the decoded image, and it goes with the window.
    virtual void SetBackImageData(const uint8_t* block);
    virtual void SetBackType(int32_t type);
    virtual std::string GetText() const;

  private:
    SkinControl(const SkinControl&) = default;
};

}  // namespace skin
