#pragma once
// Numbers, their texts and the local time of day, as the countdown and the clock use them. Portable: no
// windows.h.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace scheduler {

// A local date-time at one-second resolution.
struct DateTime {
    int32_t year = 1970;
    int32_t month = 1;  // 1-12
    int32_t day = 1;    // 1-31
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

// The part numbers that TimePart knows.
enum TimePartIndex : int32_t {
    kTimePartHour = 6,
    kTimePartMinute = 7,
    kTimePartSecond = 8,
};

// The current local date-time (the C library's clock, converted to local time).
DateTime CurrentTime();

// A local date-time as seconds on a calendar without time zones: days since 1970-01-01 times 86400 plus the
// time of day. Differences between two of them are wall-clock differences, not elapsed time. The parts are
// taken as they are, out-of-range ones included (13 months is one year and one month).
int64_t CalendarSeconds(const DateTime& time);
DateTime FromCalendarSeconds(int64_t seconds);

// How a zone turns a moment (seconds since 1970-01-01 00:00 UTC) into its local date-time.
using ZoneRule = std::function<DateTime(int64_t moment)>;

// The moment a local date-time means in `zone`, by these rules:
// - a local time that occurs once: that moment;
// - one that occurs twice (the hour repeated when daylight saving ends): the first of the two;
// - one that never occurs (the hour skipped when it begins): the moment the skip happens, when the clock
//   jumps past it.
// Nothing when the zone's offset lies beyond a day either side of `local`, which no real zone's does.
std::optional<int64_t> MomentOfLocalTime(int64_t localCalendarSeconds, const ZoneRule& zone);

// TimePart(t, 6) is the hour, 7 the minute, 8 the second; any other number gives 0.
int32_t TimePart(const DateTime& time, int32_t part);

// The integer part of `x`, toward zero; a value within 1e-12 of the next whole number away from zero counts
// as that number, so 2.9999999999999 is 3. NaN and infinities come back unchanged.
double IntegerPart(double x);

// Plain decimal, no leading zeros, "-" for negatives.
std::string IntegerToText(int32_t n);

}  // namespace scheduler
