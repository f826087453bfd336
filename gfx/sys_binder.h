#pragma once
// Late binding of system functions. Every Win32, COM and GDI+ function that the skin engine and the
// graphics services call is an entry of gfx/sysapi.h: bound by name at its first call and kept for the run,
// so the program does not import GdiPlus.dll at load time. Entries are typed by the system headers'
// own declarations, so a call with a wrong signature does not compile.

#include <windows.h>

namespace sys {

struct BoundFunction {
    const char* library;   // "" = search the standard system libraries in order
    const char* function;  // a name, or "#" followed by an ordinal
    void* address = nullptr;
    HMODULE module = nullptr;
};

// Binds `b` (once) and returns its address. A function that cannot be found ends the run through the
// fatal-error box; this never returns null.
void* Resolve(BoundFunction& b);

// The fatal message for a binding that cannot be found (GBK bytes).
const char* MissingFunctionFormat(bool withLibrary);

template <typename Fn>
class Entry;

template <typename R, typename... A>
class Entry<R(WINAPI*)(A...)> {
  public:
    constexpr Entry(const char* library, const char* function) : bound_{library, function} {}
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

    R operator()(A... args) {
        void* p = bound_.address ? bound_.address : Resolve(bound_);
        return reinterpret_cast<R(WINAPI*)(A...)>(p)(args...);
    }
    BoundFunction& bound() { return bound_; }

  private:
    BoundFunction bound_;
};

}  // namespace sys
