#pragma once
// The tiled background picture of WebPanelWindow, decoded from the embedded GIF.

#include <windows.h>

namespace app {

// A pattern brush of the panel picture at its natural size, or null when it cannot be decoded.
HBRUSH CreatePanelPictureBrush();

}  // namespace app
