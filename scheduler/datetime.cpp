#include "scheduler/datetime.h"

#include <cmath>
#include <ctime>

namespace scheduler {

namespace {

bool ToLocalTime(std::time_t t, std::tm* out) {
#ifdef _WIN32
    return localtime_s(out, &t) == 0;
#else
    return localtime_r(&t, out) != nullptr;
#endif
}

}  // namespace

DateTime CurrentTime() {
    DateTime now;
    std::tm tm = {};
    if (!ToLocalTime(std::time(nullptr), &tm))
        return now;
    now.year = tm.tm_year + 1900;
    now.month = tm.tm_mon + 1;
    now.day = tm.tm_mday;
    now.hour = tm.tm_hour;
    now.minute = tm.tm_min;
    // A leap second shows as 59, so the time of day stays within 0..86399.
    now.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return now;
}

int32_t TimePart(const DateTime& time, int32_t part) {
    switch (part) {
        case kTimePartHour:
            return time.hour;
        case kTimePartMinute:
            return time.minute;
        case kTimePartSecond:
            return time.second;
        default:
            return 0;
    }
}

double IntegerPart(double x) {
    if (!std::isfinite(x))
        return x;
    constexpr double kTolerance = 1e-12;
    const double whole = std::trunc(x);
    if (x > 0 && (whole + 1) - x <= kTolerance)
        return whole + 1;
    if (x < 0 && x - (whole - 1) <= kTolerance)
        return whole - 1;
    return whole;
}

std::string IntegerToText(int32_t n) {
    return std::to_string(n);
}

}  // namespace scheduler
