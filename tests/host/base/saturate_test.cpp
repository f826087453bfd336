#include "base/saturate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace base {
namespace {

TEST(TruncateToInt32, TruncatesTowardZeroInsideTheRange) {
    EXPECT_EQ(TruncateToInt32(41.9), 41);
    EXPECT_EQ(TruncateToInt32(-41.9), -41);
    EXPECT_EQ(TruncateToInt32(-0.5), 0);
    EXPECT_EQ(TruncateToInt32(2147483646.9), INT32_MAX - 1);
}

TEST(TruncateToInt32, SaturatesOutsideTheRangeAndReadsNanAsZero) {
    EXPECT_EQ(TruncateToInt32(7.7e12), INT32_MAX);
    EXPECT_EQ(TruncateToInt32(-7.7e12), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(2147483648.0), INT32_MAX);
    EXPECT_EQ(TruncateToInt32(-2147483649.0), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), INT32_MAX);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

}  // namespace
}  // namespace base
