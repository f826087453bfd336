#pragma once
// Numbers, their texts and the local time of day, as the countdown and the clock use them. Portable: no
// windows.h.

#include <cstdint>
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

// TimePart(t, 6) is the hour, 7 the minute, 8 the second; any other number gives 0.
int32_t TimePart(const DateTime& time, int32_t part);

// The integer part of `x`, toward zero; a value within 1e-12 of the next whole number away from zero counts
// as that number, so 2.9999999999999 is 3. NaN and infinities come back unchanged.
double IntegerPart(double x);

// Plain decimal, no leading zeros, "-" for negatives.
std::string IntegerToText(int32_t n);

}  // namespace scheduler
