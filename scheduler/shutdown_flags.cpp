#include "scheduler/shutdown.h"

namespace scheduler {

uint32_t ExitWindowsFlags(int32_t mode, bool force, bool ntPlatform) {
    uint32_t flags = 0;
    switch (mode) {
        case PowerOff:
            flags = ntPlatform ? kExitPowerOff : kExitShutdown;
            break;
        case Reboot:
            flags = kExitReboot;
            break;
        case LogOff:
            flags = kExitLogOff;
            break;
        default:
            return 0;
    }
    return force ? flags | kExitForce : flags;
}

}  // namespace scheduler
