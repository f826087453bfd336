#pragma once
// Window-property reads, window-long and window-text access for the skin engine. Every fact about a skinned window
// lives on the window as a property; a property never set reads as 0 (written through SetSkinProp,
// skin/compositor/marks.h, which marks what the write changes). Values are pointer-sized so that handles
// survive on 64-bit; codes and colours use the low 32 bits only, so -1 and 0xFFFFFFFF read alike.

#include <windows.h>

#include <cstdint>
#include <string>

#include "gfx/sysapi.h"

namespace skin {

inline intptr_t GetSkinProp(HWND window, const char* key) {
    return reinterpret_cast<intptr_t>(sys::GetPropA(window, key));
}

// Codes (SkinType, DrawState, BackType, alphas) and colours.
inline int32_t GetSkinCode(HWND window, const char* key) {
    return static_cast<int32_t>(static_cast<uint32_t>(GetSkinProp(window, key)));
}

inline uint32_t GetSkinColor(HWND window, const char* key) {
    return static_cast<uint32_t>(GetSkinProp(window, key));
}

template <typename T>
T* GetSkinPointer(HWND window, const char* key) {
    return reinterpret_cast<T*>(GetSkinProp(window, key));
}

// 32-bit user32 exports no ...LongPtr functions; the system table holds the 32-bit names there.
inline LONG_PTR GetWindowLongPtrSys(HWND window, int index) {
#ifdef _WIN64
    return sys::GetWindowLongPtrA(window, index);
#else
    return sys::GetWindowLongA(window, index);
#endif
}

inline LONG_PTR SetWindowLongPtrSys(HWND window, int index, LONG_PTR value) {
#ifdef _WIN64
    return sys::SetWindowLongPtrA(window, index, value);
#else
    return sys::SetWindowLongA(window, index, value);
#endif
}

// The window's text (system code page), empty when it has none.
std::string ReadWindowText(HWND window);

// Replaces the window procedure; returns the previous one (0 when the window refused).
inline LONG_PTR ReplaceWindowProc(HWND window, WNDPROC procedure) {
    return SetWindowLongPtrSys(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

}  // namespace skin
