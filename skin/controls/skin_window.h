#pragma once
// The layered window skin: turns a top-level window into a per-pixel-alpha layered window whose whole face,
// children included, is composed by the engine (skin/compositor/compose.h), re-binds its skinned children onto
// procedures that recompose the parent, and blinks a simulated caret for a focused text child.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>

namespace skin {

// Holds only the handle of its window; all state lives in window properties. The virtual operations stand
// in a fixed slot order: 0 Release, 1 Clone, 2 Attach, 3 SetBackImage, 4 SetBackImageData, 5 BindChildren,
// 6 Move, 7 GetHandle, 8 IsValid, 9 Send. No virtual destructor: it would take table slots (the class is
// final, so it is always destroyed as itself).
// Expected use: bind the children with their own classes first, then Attach, SetBackImage, BindChildren.
class SkinWindow final {
  public:
    SkinWindow() = default;
    SkinWindow& operator=(const SkinWindow&) = delete;

    // Does nothing: the window, its properties, timer and procedures stay as they are.
    virtual void Release();
    // A new object bound to the same window; the caller owns it.
    virtual SkinWindow* Clone() const;
    // Replaces the extended style with WS_EX_LAYERED alone; the blink timer waits for a focused text child.
    // False, with nothing changed, when `window` is not a window.
    virtual bool Attach(HWND window);
    // Stores the back image (not owned: the caller keeps it alive as long as the window shows it; a replaced
    // one is not disposed of) and composes. False for an invalid window or a null image: nothing stored or
    // composed.
    virtual bool SetBackImage(Gdiplus::GpImage* image);
    // Decodes a counted byte block (null counts as empty) and hands the image to SetBackImage; the window
    // owns the decoded image from then on, and it goes with the window.
    virtual bool SetBackImageData(const uint8_t* data);
    // Takes ButtonProc/PngControlProc off each skinned child and puts the layered procedure on (once per
    // child), then composes.
    virtual void BindChildren();
    // Moves and/or sizes the window (screen coordinates); whatever is omitted stays as it is.
    virtual void Move(std::optional<int> left = std::nullopt,
                      std::optional<int> top = std::nullopt,
                      std::optional<int> width = std::nullopt,
                      std::optional<int> height = std::nullopt,
                      std::optional<bool> noRedraw = std::nullopt);
    virtual HWND GetHandle() const;
    virtual bool IsValid() const;
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    SkinWindow(const SkinWindow&) = default;

    HWND window_ = nullptr;
};

}  // namespace skin
