#include "scheduler/shutdown.h"

#include <windows.h>

#include "base/unique_handle.h"

namespace scheduler {

namespace {

constexpr DWORD kVersionInfoSize = 148;  // sizeof(OSVERSIONINFOA)
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;
constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";

static_assert(sizeof(OSVERSIONINFOA) == kVersionInfoSize);
static_assert(kTokenAccess == 0x28);
static_assert(EWX_POWEROFF == kExitPowerOff && EWX_SHUTDOWN == kExitShutdown && EWX_REBOOT == kExitReboot &&
              EWX_LOGOFF == kExitLogOff && EWX_FORCE == kExitForce);
static_assert((SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED) ==
              kPlannedSwitchOffReason);

bool IsNtPlatform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = kVersionInfoSize;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Bound by name: not every import library of the toolchain carries SetSystemPowerState.
using SetSystemPowerStateFn = BOOL(WINAPI*)(BOOL suspend, BOOL force);

BOOL CallSetSystemPowerState(BOOL suspend, BOOL force) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, "SetSystemPowerState") : nullptr;
    if (!proc)
        return FALSE;
    return reinterpret_cast<SetSystemPowerStateFn>(reinterpret_cast<void*>(proc))(suspend, force);
}

// The system's description of `error` in the user's language, as the system writes it; empty when the system
// has none.
std::string SystemErrorText(DWORD error) {
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                   sizeof text, nullptr);
    return std::string(text, n < sizeof text ? n : 0);
}

}  // namespace

bool EnableShutdownPrivilege() {
    if (!IsNtPlatform())
        return true;
    base::UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), kTokenAccess, token.put()))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Success still leaves ERROR_NOT_ALL_ASSIGNED behind when the account lacks the privilege.
    SetLastError(ERROR_SUCCESS);
    const BOOL adjusted = AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    return adjusted && error == ERROR_SUCCESS;
}

int32_t RequestSystemExit(int32_t mode, bool force) {
    if (mode < PowerOff || mode > Hibernate)
        return 0;
    if (!EnableShutdownPrivilege())
        return 0;
    if (mode == Suspend || mode == Hibernate)
        return CallSetSystemPowerState(mode == Suspend, force);
    const uint32_t flags = ExitWindowsFlags(mode, force, mode == PowerOff && IsNtPlatform());
    return ExitWindowsEx(flags, kPlannedSwitchOffReason);
}

SwitchOffResult RequestPowerOff() {
    SwitchOffResult result;
    result.accepted = RequestSystemExit(PowerOff, true) != 0;
    if (!result.accepted) {
        result.error = GetLastError();
        result.reason = SwitchOffReason(result.error, SystemErrorText(result.error));
    }
    return result;
}

}  // namespace scheduler
