#pragma once
// Saturating arithmetic. Portable: no windows.h.

#include <cstdint>

namespace base {

// Truncation toward zero into the 32-bit range that stays defined for any double: beyond the range it
// saturates, NaN gives 0.
int32_t TruncateToInt32(double value);

}  // namespace base
