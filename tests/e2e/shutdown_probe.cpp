// Asks for the real forced power-off, as the countdown does. Run only by shutdown_call.sh, under Wine, in a
// Wine prefix of its own: it refuses to run anywhere else.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scheduler/shutdown.h"

int main() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const bool underWine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    const char* allowed = std::getenv("OC_SHUTDOWN_PROBE_PREFIX");
    if (!underWine || !allowed || std::strcmp(allowed, "own") != 0) {
        std::fputs("shutdown_probe: refusing to run outside a throw-away Wine prefix\n", stderr);
        return 2;
    }
    std::puts("shutdown_probe: requesting");
    std::fflush(stdout);
    const int32_t result = scheduler::RequestSystemExit(scheduler::PowerOff, true);
    std::printf("shutdown_probe: result %d\n", static_cast<int>(result));
    std::fflush(stdout);
    // The forced power-off ends every process of the prefix, this one included, long before this.
    Sleep(30000);
    std::puts("shutdown_probe: still running");
    return 0;
}
