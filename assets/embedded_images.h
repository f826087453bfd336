#pragma once
// The program's pictures as counted byte blocks (see gfx/byteblock.h), generated at build time from the
// files in this folder. Each holds a complete PNG or GIF file; kImageG holds no bytes and stands for "no
// picture".

#include <cstdint>

namespace assets {

extern const uint8_t kImageA[];        // start button face, normal and pressed: grey, power symbol
extern const uint8_t kImageB[];        // start button face, hover: paler grey
extern const uint8_t kImageC[];        // stop button face, normal and pressed: red, power symbol
extern const uint8_t kImageD[];        // stop button face, hover: pale pink
extern const uint8_t kImageE[];        // close button face: dark grey cross, 16 x 16
extern const uint8_t kImageF[];        // main window face: rounded white square, 128 x 128
extern const uint8_t kImageG[];        // empty: the countdown window has no face
extern const uint8_t kPanelPicture[];  // web panel background, GIF 129 x 306

}  // namespace assets
