#pragma once
// Move-only holders for GDI and GDI+ objects that live only inside one call: each frees its object on
// every path out of the call, through the system-function table.

#include <utility>

#include "gfx/sysapi.h"

namespace gfx {

template <typename T, void (*Free)(T)>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    T get() const { return h_; }
    T* put() {
        reset();
        return &h_;
    }
    T release() { return std::exchange(h_, T{}); }
    void reset(T h = T{}) {
        if (h_)
            Free(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ != T{}; }

  private:
    T h_{};
};

namespace detail {
inline void FreeGpImage(Gdiplus::GpImage* p) {
    sys::GdipDisposeImage(p);
}
inline void FreeGpFont(Gdiplus::GpFont* p) {
    sys::GdipDeleteFont(p);
}
inline void FreeGpGraphics(Gdiplus::GpGraphics* p) {
    sys::GdipDeleteGraphics(p);
}
inline void FreeMemoryDC(HDC dc) {
    sys::DeleteDC(dc);
}
}  // namespace detail

using UniqueGpImage = UniqueHandle<Gdiplus::GpImage*, detail::FreeGpImage>;
using UniqueGpFont = UniqueHandle<Gdiplus::GpFont*, detail::FreeGpFont>;
using UniqueGpGraphics = UniqueHandle<Gdiplus::GpGraphics*, detail::FreeGpGraphics>;
using UniqueMemoryDC = UniqueHandle<HDC, detail::FreeMemoryDC>;

}  // namespace gfx
