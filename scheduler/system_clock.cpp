#include "scheduler/system_clock.h"

#include <windows.h>

namespace scheduler {

namespace {

// 100-nanosecond intervals between 1601-01-01 (FILETIME's origin) and 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000;
constexpr int64_t kTicksPerSecond = 10000000;

DateTime FromSystemTime(const SYSTEMTIME& t) {
    DateTime d;
    d.year = t.wYear;
    d.month = t.wMonth;
    d.day = t.wDay;
    d.hour = t.wHour;
    d.minute = t.wMinute;
    d.second = t.wSecond;
    return d;
}

}  // namespace

DateTime SystemLocalTime() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return FromSystemTime(now);
}

int64_t SystemMoment() {
    FILETIME ft = {};
    GetSystemTimeAsFileTime(&ft);
    const auto ticks = static_cast<int64_t>(static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
    return (ticks - kUnixEpochTicks) / kTicksPerSecond;
}

DateTime SystemLocalTimeAt(int64_t moment) {
    const uint64_t ticks = static_cast<uint64_t>(moment * kTicksPerSecond + kUnixEpochTicks);
    FILETIME ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc = {};
    SYSTEMTIME local = {};
    // Outside what the system converts (before 1601 or after 30827), the moment is shown as UTC.
    if (moment < -11644473600 || moment > 910692730085 || !FileTimeToSystemTime(&ft, &utc))
        return FromCalendarSeconds(moment);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return FromSystemTime(utc);
    return FromSystemTime(local);
}

}  // namespace scheduler
