#pragma once
// The program's one ownership model: a move-only holder per kind of handle, which frees its handle on every
// path out of its scope and cannot be copied. Kinds freed through the system-function table (GDI objects,
// DC scopes and selections, GDI+ objects) are named in gfx/holders.h on this template, because skin/ and
// gfx/ reach every system function through that table and base/ may not include gfx/. The kinds only the
// application and the shutdown service own (COM pointers, BSTRs, icons, kernel handles) are named here.

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace base {

template <typename T, auto Free>
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
    // For functions that hand a new handle back through a pointer; the old one is freed first.
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

// A COM interface pointer: one reference, released when the holder lets go.
template <typename I>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    I* get() const { return p_; }
    I* operator->() const { return p_; }
    I** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    // Takes over a reference the caller already holds.
    void reset(I* p = nullptr) {
        if (p_)
            p_->Release();
        p_ = p;
    }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    I* p_ = nullptr;
};

inline void FreeKernelHandle(HANDLE handle) {
    CloseHandle(handle);
}
inline void FreeBstr(BSTR text) {
    SysFreeString(text);
}
inline void FreeIcon(HICON icon) {
    DestroyIcon(icon);
}

using UniqueKernelHandle = UniqueHandle<HANDLE, FreeKernelHandle>;
using UniqueBstr = UniqueHandle<BSTR, FreeBstr>;
using UniqueIcon = UniqueHandle<HICON, FreeIcon>;

}  // namespace base
