#pragma once
// Conversions between 8-bit texts and UTF-16. The system's converter is passed in, so that the arithmetic
// around it (asking for the size, the limits of an int, a failed or short conversion) lives once and is
// tested natively; the caller fixes the code page. Portable: no windows.h.

#include <string>
#include <string_view>

namespace base {

// MultiByteToWideChar's shape with the code page and flags bound: with no output (null, 0) it answers the
// units needed, otherwise the units written; 0 on failure.
using WideningFn = int (*)(const char* bytes, int byteCount, wchar_t* out, int outCount);
// WideCharToMultiByte's, likewise.
using NarrowingFn = int (*)(const wchar_t* units, int unitCount, char* out, int outCount);

// The converted text, without a terminator; empty for an empty text, a text longer than an int can count or
// a failed conversion.
std::wstring Widen(std::string_view text, WideningFn convert);
std::string Narrow(std::wstring_view text, NarrowingFn convert);

}  // namespace base
