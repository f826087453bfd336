#pragma once
// Holders the skin engine needs beside those of gfx/holders.h: GDI objects freed with DeleteObject, a
// window DC and a selection that is undone. Nothing the engine keeps on a window goes into these.

#include <windows.h>

#include "gfx/holders.h"
#include "gfx/sysapi.h"

namespace skin {

namespace detail {
inline void FreeGdiObject(HGDIOBJ object) {
    sys::DeleteObject(object);
}
inline void FreeBitmap(HBITMAP bitmap) {
    FreeGdiObject(bitmap);
}
inline void FreeBrush(HBRUSH brush) {
    FreeGdiObject(brush);
}
}  // namespace detail

using UniqueBitmap = gfx::UniqueHandle<HBITMAP, detail::FreeBitmap>;
using UniqueBrush = gfx::UniqueHandle<HBRUSH, detail::FreeBrush>;
using gfx::UniqueGpGraphics;
using gfx::UniqueGpImage;
using gfx::UniqueMemoryDC;

// A window's whole-window DC (GetWindowDC), released when it leaves scope.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(sys::GetWindowDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            sys::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it leaves scope.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? sys::SelectObject(dc, object) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_)
            sys::SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace skin
