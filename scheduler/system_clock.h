#pragma once
// The system's clock and time zone, read anew on every call: the C library reads the zone once per process,
// so after a change of zone its local time would stay in the old one. Windows build only.

#include <cstdint>

#include "scheduler/datetime.h"

namespace scheduler {

// The local date-time (GetLocalTime).
DateTime SystemLocalTime();

// Seconds since 1970-01-01 00:00 UTC.
int64_t SystemMoment();

// The local date-time of a moment in the time zone active now.
DateTime SystemLocalTimeAt(int64_t moment);

}  // namespace scheduler
