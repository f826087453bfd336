#include "scheduler/shutdown.h"

// The portable part of the shutdown service.

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

std::string SwitchOffReason(uint32_t error, const std::string& systemText) {
    if (error == 0)
        return {};
    // CR, LF and '%' never occur inside a GBK double-byte character (trail bytes are 0x40 and above).
    std::string line = systemText.substr(0, systemText.find_first_of("\r\n%"));
    while (!line.empty() && (line.back() == ' ' || line.back() == '.'))
        line.pop_back();
    return line;
}

}  // namespace scheduler
