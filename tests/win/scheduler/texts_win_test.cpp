// The Windows build compiles UTF-8 literals to GBK: the scheduler's byte escapes must agree with them, and
// its time of day must be the system's local time.
#include "scheduler/datetime.h"
#include "scheduler/scheduler.h"
#include "scheduler/system_clock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace scheduler {
namespace {

TEST(SchedulerTextsWin, ByteEscapesMatchTheGbkCompiledLiterals) {
    EXPECT_EQ(GetACP(), 936u);
    EXPECT_STREQ(TIME_PROMPT, "时间格式00:00:00");
    EXPECT_STREQ(FORMAT_ERROR_TEXT, "格式要00:00:00");
    EXPECT_STREQ(PAST_TIME_TEXT, "该时间早过去了");
    EXPECT_STREQ(kCountdownHead, "离关机还有\r\n");
    EXPECT_STREQ(kHoursUnit, "小时:");
    EXPECT_STREQ(kMinutesUnit, "分钟:");
    EXPECT_STREQ(kSecondsUnit, "秒");
}

TEST(CurrentTimeWin, AgreesWithTheSystemLocalTime) {
    // Retried in case the second turns over between the two readings.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SYSTEMTIME before = {};
        GetLocalTime(&before);
        const DateTime now = CurrentTime();
        SYSTEMTIME after = {};
        GetLocalTime(&after);
        if (before.wSecond != after.wSecond)
            continue;
        EXPECT_EQ(now.year, before.wYear);
        EXPECT_EQ(now.month, before.wMonth);
        EXPECT_EQ(now.day, before.wDay);
        EXPECT_EQ(now.hour, before.wHour);
        EXPECT_EQ(now.minute, before.wMinute);
        EXPECT_EQ(now.second, before.wSecond);
        return;
    }
    FAIL() << "the clock kept turning over";
}

// The program's clock: the moment, read as local time in the zone of now, is the local time, and the moment
// is the C library's count of seconds.
TEST(SystemClock, MomentAndLocalTimeAgree) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int64_t moment = SystemMoment();
        const DateTime local = SystemLocalTime();
        const int64_t unix = static_cast<int64_t>(std::time(nullptr));
        if (SystemMoment() != moment)
            continue;
        EXPECT_LE(std::llabs(unix - moment), 1);
        EXPECT_EQ(CalendarSeconds(SystemLocalTimeAt(moment)), CalendarSeconds(local));
        EXPECT_EQ(MomentOfLocalTime(CalendarSeconds(local), SystemLocalTimeAt), moment);
        return;
    }
    FAIL() << "the clock kept turning over";
}

}  // namespace
}  // namespace scheduler
