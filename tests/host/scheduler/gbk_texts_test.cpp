// The scheduler's texts are written as GBK byte escapes; check them against the Chinese they stand for.
#include "scheduler/scheduler.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace scheduler {
namespace {

std::string Utf8ToGbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<no GBK converter>";
    std::string in = utf8;
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const size_t converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (converted == static_cast<size_t>(-1))
        return "<conversion failed>";
    out.resize(out.size() - outLeft);
    return out;
}

TEST(SchedulerTexts, AreTheGbkBytesOfTheirChineseTexts) {
    EXPECT_EQ(TIME_PROMPT, Utf8ToGbk("时间格式00:00:00"));
    EXPECT_EQ(FORMAT_ERROR_TEXT, Utf8ToGbk("格式要00:00:00"));
    EXPECT_EQ(PAST_TIME_TEXT, Utf8ToGbk("该时间早过去了"));
    EXPECT_EQ(kCountdownHead, Utf8ToGbk("离关机还有\r\n"));
    EXPECT_EQ(kHoursUnit, Utf8ToGbk("小时:"));
    EXPECT_EQ(kMinutesUnit, Utf8ToGbk("分钟:"));
    EXPECT_EQ(kSecondsUnit, Utf8ToGbk("秒"));
    EXPECT_EQ(CountdownMessage(3725), Utf8ToGbk("离关机还有\r\n1小时:2分钟:5秒"));
}

}  // namespace
}  // namespace scheduler
