#pragma once
// The primary display's size and colour depth, and its work area.

#include <memory>

#include "app/placement.h"

namespace app {

// A fresh record read from the screen device context; all zeros when none can be had.
std::unique_ptr<DisplayInfo> GetDisplayInfo();

// The primary monitor's work area; empty when none can be had.
Area GetWorkArea();

}  // namespace app
