#pragma once
// The program's pictures as counted byte blocks (see gfx/byteblock.h), generated at build time from the
// files in this folder. Each holds a complete PNG or GIF file; kNoPicture holds no bytes and stands for "no
// picture". The letter is the picture's name in the images' table (its file, a.png to f.png).

#include <cstdint>

namespace assets {

extern const uint8_t kStartPicture[];       // A: start button, normal and pressed: grey, power symbol
extern const uint8_t kStartLitPicture[];    // B: start button, lit (the pointer over it): paler grey
extern const uint8_t kStopPicture[];        // C: stop button, normal and pressed: red, power symbol
extern const uint8_t kStopLitPicture[];     // D: stop button, lit: pale pink
extern const uint8_t kClosePicture[];       // E: close button: dark grey cross, 16 x 16
extern const uint8_t kMainWindowPicture[];  // F: MainWindow's back: rounded white square, 128 x 128
extern const uint8_t kNoPicture[];          // G: empty: the countdown window has no back picture
extern const uint8_t kPanelPicture[];       // web panel background, GIF 129 x 306

}  // namespace assets
