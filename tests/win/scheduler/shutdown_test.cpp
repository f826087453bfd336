// The shutdown service under Wine. Only modes that must do nothing are requested here: the real switch-off
// runs in a Wine prefix of its own (tests/e2e/shutdown_call.sh).
#include "scheduler/shutdown.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <vector>

namespace scheduler {
namespace {

LUID ShutdownLuid() {
    LUID luid = {};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid);
    return luid;
}

// The attributes of SeShutdownPrivilege in this process's token, or -1 when the token lacks it.
long long ShutdownPrivilegeAttributes() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -2;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    long long attributes = -1;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        const LUID luid = ShutdownLuid();
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID& l = privileges->Privileges[i].Luid;
            if (l.LowPart == luid.LowPart && l.HighPart == luid.HighPart)
                attributes = privileges->Privileges[i].Attributes;
        }
    }
    CloseHandle(token);
    return attributes;
}

bool ShutdownPrivilegeEnabled() {
    const long long attributes = ShutdownPrivilegeAttributes();
    return attributes >= 0 && (attributes & SE_PRIVILEGE_ENABLED) != 0;
}

bool DisableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = ShutdownLuid();
    privileges.Privileges[0].Attributes = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL ok = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(token);
    return ok && error == ERROR_SUCCESS;
}

TEST(ShutdownPrivilege, EnableTurnsOnTheDisabledPrivilegeInTheProcessToken) {
    ASSERT_GE(ShutdownPrivilegeAttributes(), 0) << "the token has no SeShutdownPrivilege";
    ASSERT_TRUE(DisableShutdownPrivilege());
    ASSERT_FALSE(ShutdownPrivilegeEnabled());
    EXPECT_TRUE(EnableShutdownPrivilege());
    EXPECT_TRUE(ShutdownPrivilegeEnabled());
    EXPECT_TRUE(EnableShutdownPrivilege());  // enabling it again is still a success
}

TEST(ShutdownPrivilege, RepeatedEnablingLeavesNoHandleBehind) {
    // Handle slots are reused lowest first: a token handle left open would take the freed slot.
    HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(probe, nullptr);
    CloseHandle(probe);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(EnableShutdownPrivilege());
    HANDLE again = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(again, probe) << "a token handle was left open";
    CloseHandle(again);
}

TEST(RequestSystemExit, ModesOutsideOneToFiveReturnZeroAndLeaveTheTokenAlone) {
    for (int32_t mode : {0, 6, -1, INT32_MIN, INT32_MAX}) {
        ASSERT_TRUE(DisableShutdownPrivilege());
        EXPECT_EQ(RequestSystemExit(mode, true), 0) << mode;
        EXPECT_EQ(RequestSystemExit(mode), 0) << mode;
        EXPECT_FALSE(ShutdownPrivilegeEnabled()) << "mode " << mode << " touched the token";
    }
}

// Hides a kernel32 export from GetProcAddress while it lives, as a system without that function has it: the
// name in the export table is changed in memory (first letter in lower case) and put back afterwards.
class HiddenKernelExport {
  public:
    explicit HiddenKernelExport(const char* name) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA("kernel32.dll"));
        const auto* nt =
            reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
            base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
        const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        for (DWORD i = 0; i < exports->NumberOfNames && !name_; ++i) {
            char* entry = reinterpret_cast<char*>(base + names[i]);
            if (std::strcmp(entry, name) == 0 && VirtualProtect(entry, 1, PAGE_READWRITE, &protection_))
                name_ = entry;
        }
        if (name_)
            name_[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name_[0])));
    }
    ~HiddenKernelExport() {
        if (!name_)
            return;
        name_[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name_[0])));
        VirtualProtect(name_, 1, protection_, &protection_);
    }
    HiddenKernelExport(const HiddenKernelExport&) = delete;
    HiddenKernelExport& operator=(const HiddenKernelExport&) = delete;

  private:
    char* name_ = nullptr;
    DWORD protection_ = 0;
};

// Suspend and hibernate go through SetSystemPowerState, which the program finds by name at the call.
TEST(RequestSystemExit, SuspendAndHibernateAnswerFalseWhenTheSystemLacksSetSystemPowerState) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(GetProcAddress(kernel, "SetSystemPowerState"), nullptr);
    HiddenKernelExport hidden("SetSystemPowerState");
    // Never called for real: were it still found, the test stops here.
    ASSERT_EQ(GetProcAddress(kernel, "SetSystemPowerState"), nullptr) << "the function could not be hidden";
    EXPECT_EQ(RequestSystemExit(Suspend, true), 0);
    EXPECT_EQ(RequestSystemExit(Hibernate), 0);
}

}  // namespace
}  // namespace scheduler
