#include "scheduler/awake.h"

#include "base/text.h"

namespace scheduler {

namespace {

constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int64_t kFileTimeEpochToUnixEpoch = 11644473600;  // seconds from 1601-01-01 to 1970-01-01
// The latest moment a FILETIME can hold; a timer for a later one is never armed.
constexpr int64_t kLatestMoment = INT64_MAX / kFileTimeUnitsPerSecond - kFileTimeEpochToUnixEpoch;
// The program's texts are GBK whatever the system's code page.
constexpr UINT kTextCodePage = 936;
// What `powercfg /requests` shows before the target: "定时关机 22:30:00".
constexpr char kReasonHead[] = "定时关机 ";

PowerRequestFunctions g_replaced;
// The functions the held request was made with, so that it is cleared with the same ones.
PowerRequestFunctions g_requestFunctions;
AwakeHold g_hold;
std::string g_heldTarget;
// The request's reason lives as long as the request.
std::wstring g_reason;

template <typename Fn>
Fn KernelFunction(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

PowerRequestFunctions CurrentFunctions() {
    if (g_replaced.create || g_replaced.set || g_replaced.clear)
        return g_replaced;
    PowerRequestFunctions system;
    system.create = KernelFunction<decltype(system.create)>("PowerCreateRequest");
    system.set = KernelFunction<decltype(system.set)>("PowerSetRequest");
    system.clear = KernelFunction<decltype(system.clear)>("PowerClearRequest");
    return system;
}

int64_t NowSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t units = static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return static_cast<int64_t>(units / kFileTimeUnitsPerSecond) - kFileTimeEpochToUnixEpoch;
}

std::wstring ReasonText(const std::string& targetText) {
    return base::Widen(std::string(kReasonHead) + targetText,
                       [](const char* bytes, int byteCount, wchar_t* out, int outCount) {
                           return MultiByteToWideChar(kTextCodePage, 0, bytes, byteCount, out, outCount);
                       });
}

void ReleaseRequest() {
    if (g_hold.request) {
        g_requestFunctions.clear(g_hold.request, PowerRequestSystemRequired);
        CloseHandle(g_hold.request);
    }
    if (g_hold.executionState)
        SetThreadExecutionState(ES_CONTINUOUS);
    g_hold.request = nullptr;
    g_hold.executionState = false;
    g_heldTarget.clear();
    g_reason.clear();
}

// The request keeps the system from sleeping by itself and lets the display turn off.
void HoldRequest(const std::string& targetText) {
    if ((g_hold.request || g_hold.executionState) && targetText == g_heldTarget)
        return;
    ReleaseRequest();
    g_heldTarget = targetText;
    g_reason = ReasonText(targetText);
    g_requestFunctions = CurrentFunctions();
    if (g_requestFunctions.create && g_requestFunctions.set && g_requestFunctions.clear) {
        REASON_CONTEXT context = {};
        context.Version = POWER_REQUEST_CONTEXT_VERSION;
        context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
        context.Reason.SimpleReasonString = g_reason.data();
        HANDLE request = g_requestFunctions.create(&context);
        if (request && request != INVALID_HANDLE_VALUE) {
            if (g_requestFunctions.set(request, PowerRequestSystemRequired)) {
                g_hold.request = request;
                return;
            }
            CloseHandle(request);
        }
    }
    // No request can be made (Wine answers ERROR_CALL_NOT_IMPLEMENTED): the thread's execution state does the
    // same for as long as this thread sets it, and every hold and release runs on the user-interface thread.
    SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_CONTINUOUS);
    g_hold.executionState = true;
}

void CloseWakeTimer() {
    if (!g_hold.wakeTimer)
        return;
    CancelWaitableTimer(g_hold.wakeTimer);
    CloseHandle(g_hold.wakeTimer);
    g_hold.wakeTimer = nullptr;
}

// A moment already within the lead needs no timer: the machine is awake now, and the request keeps it so.
void ArmWakeTimer(int64_t switchOffSeconds) {
    if (switchOffSeconds <= NowSeconds() + kWakeLeadSeconds || switchOffSeconds > kLatestMoment) {
        CloseWakeTimer();
        return;
    }
    if (!g_hold.wakeTimer)
        g_hold.wakeTimer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    if (!g_hold.wakeTimer)
        return;
    LARGE_INTEGER due;
    due.QuadPart = (switchOffSeconds - kWakeLeadSeconds + kFileTimeEpochToUnixEpoch) * kFileTimeUnitsPerSecond;
    // Where the system cannot wake, the call still succeeds and leaves ERROR_NOT_SUPPORTED: the timer then
    // wakes nothing and the countdown goes on as it would without it, so that is no error to report. Wake
    // timers forbidden in the power options are likewise invisible here.
    if (!SetWaitableTimer(g_hold.wakeTimer, &due, 0, nullptr, nullptr, TRUE))
        CloseWakeTimer();
}

}  // namespace

void SetPowerRequestFunctions(const PowerRequestFunctions& functions) {
    g_replaced = functions;
}

const AwakeHold& CurrentAwakeHold() {
    return g_hold;
}

void HoldAwake(int64_t switchOffSeconds, const std::string& targetText) {
    HoldRequest(targetText);
    ArmWakeTimer(switchOffSeconds);
}

void ReleaseAwake() {
    ReleaseRequest();
    CloseWakeTimer();
}

}  // namespace scheduler
