#pragma once
// The one tooltip window that every skinned control of the process registers its tool with.

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace skin {

// The tool record in the form that ends with lParam and has no reserved pointer: 44 bytes on 32-bit
// Windows, 64 on 64-bit (TTTOOLINFOA_V2_SIZE), which every tooltip version accepts.
inline constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);
#ifndef _WIN64
static_assert(kToolInfoSize == 44);
#endif

// The shared tooltip window, made at the first call (at most 1024 pixels wide, honouring line breaks); null
// when it cannot be made.
HWND EnsureToolTipWindow();

// The shared tooltip window; null until the first EnsureToolTipWindow.
HWND SharedToolTipWindow();

}  // namespace skin
