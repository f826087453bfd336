#pragma once
// The kinds of handle that are freed through the system-function table, on the one move-only template of
// base/unique_handle.h: GDI objects, memory DCs, DC scopes and selections, GDI+ objects. Every folder that owns
// such a handle holds it in one of these.

#include "base/unique_handle.h"
#include "gfx/sysapi.h"

namespace gfx {

namespace detail {
template <typename T>
void FreeGdiObject(T object) {
    sys::DeleteObject(object);
}
inline void FreeMemoryDC(HDC dc) {
    sys::DeleteDC(dc);
}
inline void FreeGpImage(Gdiplus::GpImage* p) {
    sys::GdipDisposeImage(p);
}
inline void FreeGpGraphics(Gdiplus::GpGraphics* p) {
    sys::GdipDeleteGraphics(p);
}
inline void FreeGpFont(Gdiplus::GpFont* p) {
    sys::GdipDeleteFont(p);
}
inline void FreeGpBrush(Gdiplus::GpBrush* p) {
    sys::GdipDeleteBrush(p);
}
inline void FreeGpPen(Gdiplus::GpPen* p) {
    sys::GdipDeletePen(p);
}
}  // namespace detail

using UniqueBitmap = base::UniqueHandle<HBITMAP, detail::FreeGdiObject<HBITMAP>>;
using UniqueBrush = base::UniqueHandle<HBRUSH, detail::FreeGdiObject<HBRUSH>>;
using UniqueFont = base::UniqueHandle<HFONT, detail::FreeGdiObject<HFONT>>;
using UniqueMemoryDC = base::UniqueHandle<HDC, detail::FreeMemoryDC>;
using UniqueGpImage = base::UniqueHandle<Gdiplus::GpImage*, detail::FreeGpImage>;
using UniqueGpGraphics = base::UniqueHandle<Gdiplus::GpGraphics*, detail::FreeGpGraphics>;
using UniqueGpFont = base::UniqueHandle<Gdiplus::GpFont*, detail::FreeGpFont>;
using UniqueGpBrush = base::UniqueHandle<Gdiplus::GpBrush*, detail::FreeGpBrush>;
using UniqueGpPen = base::UniqueHandle<Gdiplus::GpPen*, detail::FreeGpPen>;

// A DC of a window (GetWindowDC: the whole window; GetDC: the client area, or the screen for no window),
// released when it leaves scope.
class WindowDc {
  public:
    enum class Area { kWholeWindow, kClient };
    explicit WindowDc(HWND window, Area area = Area::kWholeWindow)
        : window_(window), dc_(area == Area::kWholeWindow ? sys::GetWindowDC(window) : sys::GetDC(window)) {}
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

// The paint DC of a window's WM_PAINT (BeginPaint), ended (EndPaint) when it leaves scope: the update region
// is validated even when nothing is drawn.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(sys::BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { sys::EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
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

}  // namespace gfx
