// Keeping the machine awake under Wine: the wake timer is real there (it fires, though it wakes nothing) and
// is read back with NtQueryTimer; the power request is not (Wine makes none), so its functions are replaced.
#include "scheduler/awake.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win_test_support.h"

namespace scheduler {
namespace {

struct TimerBasicInformation {
    LARGE_INTEGER remainingTime;
    BOOLEAN signaled;
};
using NtQueryTimerFn = LONG(NTAPI*)(HANDLE timer, int infoClass, void* info, ULONG size, ULONG* returned);

// The seconds until the timer is due, or -1 when it cannot be read.
double SecondsUntilDue(HANDLE timer) {
    static const auto query = reinterpret_cast<NtQueryTimerFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryTimer")));
    TimerBasicInformation info{};
    if (!query || query(timer, 0, &info, sizeof info, nullptr) != 0)
        return -1;
    return static_cast<double>(info.remainingTime.QuadPart) / 1e7;
}

int64_t NowSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000000) -
           11644473600;
}

// The thread's execution state, read without changing it (a call without ES_CONTINUOUS leaves a continuous
// state alone).
EXECUTION_STATE ExecutionState() {
    return SetThreadExecutionState(0);
}

// The fake request is a named event, which lives while a handle to it is open: a freed handle's number is
// soon reused, so the handle itself cannot tell.
constexpr wchar_t kFakeRequestName[] = L"OffClockAwakeTestRequest";

bool FakeRequestOpen() {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, kFakeRequestName);
    if (event)
        CloseHandle(event);
    return event != nullptr;
}

class Awake : public testing::Test {
  protected:
    void TearDown() override {
        ReleaseAwake();
        SetPowerRequestFunctions({});
    }
};

TEST_F(Awake, TheWakeTimerIsDueTheLeadBeforeEachMomentItIsToldAndNoneWithinTheLead) {
    static_assert(kWakeLeadSeconds == 120);
    const struct {
        int64_t fromNow;
        double dueIn;  // < 0: no timer
    } moments[] = {
        {600, 480}, {3600, 3480}, {121 + 5, 6}, {120, -1}, {60, -1}, {-10, -1}, {86400, 86280}, {INT64_MAX / 2, -1},
    };
    for (const auto& m : moments) {
        const int64_t now = NowSeconds();
        HoldAwake(m.fromNow == INT64_MAX / 2 ? m.fromNow : now + m.fromNow, "22:30:00");
        const HANDLE timer = CurrentAwakeHold().wakeTimer;
        if (m.dueIn < 0) {
            EXPECT_EQ(timer, nullptr) << m.fromNow;
            continue;
        }
        ASSERT_NE(timer, nullptr) << m.fromNow;
        // Read a moment after `now`, which was cut to the whole second.
        const double dueIn = SecondsUntilDue(timer);
        EXPECT_LE(dueIn, m.dueIn) << m.fromNow;
        EXPECT_GE(dueIn, m.dueIn - 1 - testsupport::Scaled(1000) / 1000.0) << m.fromNow;
    }
    ReleaseAwake();
    EXPECT_EQ(CurrentAwakeHold().wakeTimer, nullptr);
}

// A timer due within a second or so fires when it is left armed, and never once it was released.
TEST_F(Awake, TheWakeTimerFiresAtItsMomentAndReleasingCancelsIt) {
    for (const bool release : {false, true}) {
        HoldAwake(NowSeconds() + kWakeLeadSeconds + 2, "22:30:00");
        HANDLE copy = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), CurrentAwakeHold().wakeTimer, GetCurrentProcess(), &copy, 0,
                                    FALSE, DUPLICATE_SAME_ACCESS));
        if (release)
            ReleaseAwake();
        EXPECT_EQ(WaitForSingleObject(copy, testsupport::Scaled(4000)), release ? WAIT_TIMEOUT : WAIT_OBJECT_0)
            << (release ? "a released timer fired" : "the armed timer did not fire");
        CloseHandle(copy);
        ReleaseAwake();
    }
}

// The fakes record what the module asked for.
struct Calls {
    std::vector<std::string> log;
    std::wstring reason;
    ULONG version = 99, flags = 0;
    HANDLE request = nullptr;
    bool createFails = false, setFails = false;
};
Calls g_calls;

HANDLE WINAPI FakeCreate(REASON_CONTEXT* context) {
    g_calls.log.push_back(FakeRequestOpen() ? "create beside an open one" : "create");
    g_calls.version = context->Version;
    g_calls.flags = context->Flags;
    g_calls.reason = context->Reason.SimpleReasonString ? context->Reason.SimpleReasonString : L"(null)";
    if (g_calls.createFails) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return INVALID_HANDLE_VALUE;
    }
    g_calls.request = CreateEventW(nullptr, TRUE, FALSE, kFakeRequestName);
    return g_calls.request;
}
BOOL WINAPI FakeSet(HANDLE request, POWER_REQUEST_TYPE type) {
    g_calls.log.push_back(request == g_calls.request && type == PowerRequestSystemRequired ? "set" : "set other");
    return !g_calls.setFails;
}
BOOL WINAPI FakeClear(HANDLE request, POWER_REQUEST_TYPE type) {
    g_calls.log.push_back(request == g_calls.request && type == PowerRequestSystemRequired ? "clear" : "clear other");
    return TRUE;
}

TEST_F(Awake, TheRequestNamesTheTargetInChineseIsSetWhileHeldAndClearedAndClosedAtRelease) {
    const struct {
        bool createFails, setFails;
        std::vector<std::string> calls;  // after two holds of one target and a release
        bool executionState;
    } cases[] = {
        {false, false, {"create", "set", "clear"}, false},
        {true, false, {"create"}, true},         // no request can be made, as under Wine
        {false, true, {"create", "set"}, true},  // made but refused: closed, and the execution state does it
    };
    for (const auto& c : cases) {
        g_calls = {};
        g_calls.createFails = c.createFails;
        g_calls.setFails = c.setFails;
        SetPowerRequestFunctions({FakeCreate, FakeSet, FakeClear});
        SetThreadExecutionState(ES_CONTINUOUS);  // nothing required

        HoldAwake(NowSeconds() + 3600, "22:30:00");
        HoldAwake(NowSeconds() + 7200, "22:30:00");  // the moment moved: the request stays
        const AwakeHold held = CurrentAwakeHold();
        EXPECT_EQ(g_calls.reason, L"\u5B9A\u65F6\u5173\u673A 22:30:00");  // 定时关机 22:30:00
        EXPECT_EQ(g_calls.version, static_cast<ULONG>(POWER_REQUEST_CONTEXT_VERSION));
        EXPECT_EQ(g_calls.flags, static_cast<ULONG>(POWER_REQUEST_CONTEXT_SIMPLE_STRING));
        EXPECT_EQ(held.request != nullptr, !c.executionState);
        EXPECT_EQ(held.executionState, c.executionState);
        EXPECT_EQ(ExecutionState(), c.executionState ? ES_SYSTEM_REQUIRED | ES_CONTINUOUS : ES_CONTINUOUS);
        if (c.setFails) {
            EXPECT_FALSE(FakeRequestOpen()) << "a refused request was left open";
        }

        ReleaseAwake();
        EXPECT_EQ(g_calls.log, c.calls);
        EXPECT_EQ(CurrentAwakeHold().request, nullptr);
        EXPECT_FALSE(CurrentAwakeHold().executionState);
        EXPECT_FALSE(FakeRequestOpen()) << "the request was left open";
        EXPECT_EQ(ExecutionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    }
}

TEST_F(Awake, AnotherTargetIsANewRequestNamingIt) {
    g_calls = {};
    SetPowerRequestFunctions({FakeCreate, FakeSet, FakeClear});
    HoldAwake(NowSeconds() + 3600, "22:30:00");
    HoldAwake(NowSeconds() + 3600, "23:00:00");
    EXPECT_EQ(g_calls.reason, L"\u5B9A\u65F6\u5173\u673A 23:00:00");
    EXPECT_EQ(CurrentAwakeHold().request, g_calls.request);
    ReleaseAwake();
    EXPECT_EQ(g_calls.log, (std::vector<std::string>{"create", "set", "clear", "create", "set", "clear"}));
}

// The system's own functions, as Wine 8 has them: no request is made, and the execution state holds instead.
TEST_F(Awake, WithoutARequestFromTheSystemTheExecutionStateHoldsUntilRelease) {
    SetThreadExecutionState(ES_CONTINUOUS);
    HoldAwake(NowSeconds() + 3600, "22:30:00");
    EXPECT_TRUE(CurrentAwakeHold().executionState);
    EXPECT_EQ(ExecutionState(), static_cast<EXECUTION_STATE>(ES_SYSTEM_REQUIRED | ES_CONTINUOUS));
    ReleaseAwake();
    EXPECT_FALSE(CurrentAwakeHold().executionState);
    EXPECT_EQ(ExecutionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

}  // namespace
}  // namespace scheduler
