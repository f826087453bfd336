#pragma once
// Colour conversion for GDI+ drawing. Portable: no windows.h.

#include <cstdint>

namespace skin {

// A GDI colour (0x00BBGGRR, red in the low byte) and an alpha of 0 to 255 as a GDI+ ARGB value
// (0xAARRGGBB). Only the low byte of `alpha` is used.
uint32_t ToArgb(uint32_t colour, uint32_t alpha);

}  // namespace skin
