#pragma once
// Asking Windows to end the session or change the power state. ShutdownMode and ExitWindowsFlags are
// portable; RequestSystemExit and EnableShutdownPrivilege exist in the Windows build only.

#include <cstdint>
#include <string>

namespace scheduler {

enum ShutdownMode : int32_t {
    PowerOff = 1,
    Reboot = 2,
    LogOff = 3,
    Suspend = 4,
    Hibernate = 5,
};

// What became of a switch-off request: accepted, or refused with the system's error code and, when the system
// has one, its own description of the error (GBK, one line).
struct SwitchOffResult {
    bool accepted = false;
    uint32_t error = 0;
    std::string reason;
};

// The reason line shown under a refusal, from the system's description of `error`: its first line, cut
// before the first insert ("%1" and the like, which the system leaves in place when it has nothing to put
// there) and without a closing stop. Empty for error 0, whose description says that all went well.
std::string SwitchOffReason(uint32_t error, const std::string& systemText);

// ExitWindowsEx flags.
inline constexpr uint32_t kExitLogOff = 0;    // EWX_LOGOFF
inline constexpr uint32_t kExitShutdown = 1;  // EWX_SHUTDOWN
inline constexpr uint32_t kExitReboot = 2;    // EWX_REBOOT
inline constexpr uint32_t kExitForce = 4;     // EWX_FORCE
inline constexpr uint32_t kExitPowerOff = 8;  // EWX_POWEROFF

// The reason ExitWindowsEx records: a planned switch-off, "Other (Planned)" (SHTDN_REASON_MAJOR_OTHER |
// SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED). With 0 the system logs it as unplanned, and server
// editions ask about it at the next logon.
inline constexpr uint32_t kPlannedSwitchOffReason = 0x80000000;

// The ExitWindowsEx flags for PowerOff, Reboot or LogOff (power-off needs the NT platform; elsewhere it is a
// plain shut-down), plus EWX_FORCE when forced. Any other mode gives 0.
uint32_t ExitWindowsFlags(int32_t mode, bool force, bool ntPlatform);

// Enables the shutdown privilege in the process's own token, then asks for `mode`: ExitWindowsEx for
// PowerOff, Reboot and LogOff, SetSystemPowerState for Suspend and Hibernate. Non-zero when the system
// accepted; 0 for a mode outside 1..5 (nothing is touched then), a failed privilege step or a refused call.
int32_t RequestSystemExit(int32_t mode, bool force = false);

// RequestSystemExit(PowerOff, true), with the system's reason when it refuses.
SwitchOffResult RequestPowerOff();

// On the NT platform, enables SeShutdownPrivilege in the process token; false when that fails (an account
// without the privilege). Elsewhere there is nothing to enable and it succeeds.
bool EnableShutdownPrivilege();

}  // namespace scheduler
