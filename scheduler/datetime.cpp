#include "scheduler/datetime.h"

#include <algorithm>
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

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (H. Hinnant's days_from_civil), for
// any year an int32_t holds.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    // Months outside 1..12 carry into the year first.
    year += (month - 1 >= 0 ? (month - 1) / 12 : -((12 - month) / 12));
    month = ((month - 1) % 12 + 12) % 12 + 1;
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr int64_t kDaySeconds = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace

int64_t CalendarSeconds(const DateTime& time) {
    return DaysFromCivil(time.year, time.month, time.day) * kDaySeconds + int64_t{time.hour} * 3600 +
           int64_t{time.minute} * 60 + time.second;
}

DateTime FromCalendarSeconds(int64_t seconds) {
    const int64_t days = FloorDiv(seconds, kDaySeconds);
    const int64_t secondOfDay = seconds - days * kDaySeconds;
    // civil_from_days, the inverse of DaysFromCivil.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    DateTime t;
    t.year = static_cast<int32_t>(yearOfEra + era * 400 + (month <= 2));
    t.month = static_cast<int32_t>(month);
    t.day = static_cast<int32_t>(dayOfYear - (153 * mp + 2) / 5 + 1);
    t.hour = static_cast<int32_t>(secondOfDay / 3600);
    t.minute = static_cast<int32_t>(secondOfDay / 60 % 60);
    t.second = static_cast<int32_t>(secondOfDay % 60);
    return t;
}

std::optional<int64_t> MomentOfLocalTime(int64_t local, const ZoneRule& zone) {
    const auto offsetAt = [&zone](int64_t moment) { return CalendarSeconds(zone(moment)) - moment; };
    // A moment is a candidate when the zone's offset there takes it to `local`. Real zones change their
    // offset at most once around any local time, so the offsets at the two moments one day apart bound it.
    const int64_t early = local - offsetAt(local - kDaySeconds);
    const int64_t late = local - offsetAt(local + kDaySeconds);
    std::optional<int64_t> found;
    for (const int64_t candidate : {early, late}) {
        if (CalendarSeconds(zone(candidate)) == local && (!found || candidate < *found))
            found = candidate;
    }
    for (const int64_t candidate : {local - offsetAt(early), local - offsetAt(late)}) {
        if (CalendarSeconds(zone(candidate)) == local && (!found || candidate < *found))
            found = candidate;
    }
    if (found)
        return found;
    // Skipped: the first moment whose local time lies past `local`. Before the skip the clock reads earlier
    // than `local`, after it later, so a search between the two readings finds the jump.
    int64_t before = std::min(early, late);
    int64_t after = std::max(early, late);
    if (CalendarSeconds(zone(before)) >= local || CalendarSeconds(zone(after)) <= local)
        return std::nullopt;
    while (after - before > 1) {
        const int64_t middle = before + (after - before) / 2;
        (CalendarSeconds(zone(middle)) < local ? before : after) = middle;
    }
    return after;
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
