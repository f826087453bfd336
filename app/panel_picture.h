#pragma once
// The tiled background picture of WebPanelWindow, decoded from the embedded GIF.

#include "gfx/holders.h"

namespace app {

// A pattern brush of the panel picture at its natural size, or none when it cannot be decoded.
gfx::UniqueBrush CreatePanelPictureBrush();

}  // namespace app
