#pragma once
// The GDI+ session, text conversion for GDI+ and the decoding of images held in memory.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/byteblock.h"
#include "gfx/holders.h"

namespace gfx {

// Starts the process-wide GDI+ session (never shut down) and prepares the frame-dimension identifier.
// Returns GDI+'s status: anything but 0 (Ok) means nothing can be drawn.
int StartGraphicsSession();

// Frees the frame-dimension identifier; part of the end-of-run clean-up.
void ReleaseFrameDimension();

// GDI+'s FrameDimensionTime as read at start-up; null before StartGraphicsSession and after the release.
const GUID* FrameDimensionTime();

// A text in the system code page as UTF-16, without a terminator; empty when it cannot be converted.
std::wstring AnsiToWide(std::string_view text);

// The text (system code page, NUL-terminated; null counts as empty) as UTF-16 with its terminator, in a
// new counted byte block.
ByteBlock ToUtf16(const char* text);

// The UTF-16 text of a ToUtf16 block, for GDI+ calls; L"" for an empty block.
inline const WCHAR* WideText(const ByteBlock& utf16) {
    return utf16.size() >= 2 ? reinterpret_cast<const WCHAR*>(utf16.bytes()) : L"";
}

// Decodes an encoded image held in a counted byte block (null counts as empty). Returns a GDI+ image that
// owns its pixels and depends on nothing else, or none when the bytes decode to no raster image.
UniqueGpImage LoadImageFromMemory(const uint8_t* block);

}  // namespace gfx
