#pragma once
// What of the countdown strip the user can see: the strip is parked reaching past the right edge of the
// screen, so only its left part is on screen, and a text written into it must fit there.

#include <string>

namespace app {

// Whether one line of text, drawn in the strip's font as its face draws it, ends before the right edge of the
// screen (or of the strip, when that comes first). True when there is no strip to measure with.
bool LineFitsStrip(const std::string& line);

}  // namespace app
