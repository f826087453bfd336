#include "skin/floor/argb.h"

namespace skin {

uint32_t ToArgb(uint32_t colour, uint32_t alpha) {
    const uint32_t r = colour & 0xFF;
    const uint32_t g = (colour >> 8) & 0xFF;
    const uint32_t b = (colour >> 16) & 0xFF;
    return ((alpha & 0xFF) << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace skin
