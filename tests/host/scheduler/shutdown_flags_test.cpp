#include "scheduler/shutdown.h"

#include <gtest/gtest.h>

namespace scheduler {
namespace {

TEST(ExitWindowsFlags, ForcedPowerOffIsTwelveOnNtAndFiveElsewhere) {
    EXPECT_EQ(ExitWindowsFlags(PowerOff, true, true), 12u);
    EXPECT_EQ(ExitWindowsFlags(PowerOff, true, false), 5u);
    EXPECT_EQ(ExitWindowsFlags(PowerOff, false, true), 8u);
    EXPECT_EQ(ExitWindowsFlags(PowerOff, false, false), 1u);
}

TEST(ExitWindowsFlags, RebootAndLogOffIgnoreThePlatform) {
    for (bool nt : {true, false}) {
        EXPECT_EQ(ExitWindowsFlags(Reboot, false, nt), 2u);
        EXPECT_EQ(ExitWindowsFlags(Reboot, true, nt), 6u);
        EXPECT_EQ(ExitWindowsFlags(LogOff, false, nt), 0u);
        EXPECT_EQ(ExitWindowsFlags(LogOff, true, nt), 4u);
    }
}

TEST(ExitWindowsFlags, ModesWithoutExitWindowsExGiveNoFlags) {
    for (int32_t mode : {0, int32_t{Suspend}, int32_t{Hibernate}, 6, -1})
        EXPECT_EQ(ExitWindowsFlags(mode, true, true), 0u) << mode;
}

}  // namespace
}  // namespace scheduler
