#pragma once
// The primary display's size and colour depth.

#include <memory>

#include "app/placement.h"

namespace app {

// A fresh record read from the screen device context; all zeros when none can be had.
std::unique_ptr<DisplayInfo> GetDisplayInfo();

}  // namespace app
