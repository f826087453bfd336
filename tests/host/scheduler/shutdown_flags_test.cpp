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

TEST(SwitchOffReason, IsTheFirstLineBeforeAnyInsertWithoutClosingStop) {
    struct Case {
        uint32_t error;
        std::string systemText;
        std::string reason;
    };
    const Case cases[] = {
        {1300, "Not all privileges are assigned to the caller.\r\n", "Not all privileges are assigned to the caller"},
        {1314, "\xBF\xCD\xBB\xA7\xB6\xCB\r\nmore", "\xBF\xCD\xBB\xA7\xB6\xCB"},  // GBK, first line
        {34, "The wrong diskette is in the drive. Insert %2 into drive %1.",
         "The wrong diskette is in the drive. Insert"},
        {87, "%1", ""},
        {0, "The operation completed successfully.\r\n", ""},  // no failure to explain
        {5, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SwitchOffReason(c.error, c.systemText), c.reason) << c.error;
}

}  // namespace
}  // namespace scheduler
