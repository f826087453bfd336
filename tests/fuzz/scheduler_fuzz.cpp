// libFuzzer target for the scheduler's text helpers and the countdown driven by a typed entry. Each input is
// split into a delimiter, a clock and an entry text; the checks are properties that must hold for any bytes,
// not a second copy of the code.

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "scheduler/scheduler.h"
#include "scheduler/texts.h"

namespace {

using scheduler::DateTime;

void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

std::string UpToNul(const std::string& text) {
    return std::string(text.c_str());
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Joining the pieces with the delimiter gives the text back (up to its first NUL), less a trailing delimiter,
// which makes no piece.
void CheckSplit(const std::string& text, const std::string& delimiter) {
    const std::vector<std::string> pieces = scheduler::SplitText(text, delimiter);
    const std::string bytes = UpToNul(text);
    const std::string delim = UpToNul(delimiter);
    if (bytes.empty()) {
        Require(pieces.empty(), "an empty text gives no piece");
        return;
    }
    if (delim.empty()) {
        Require(pieces.size() == 1 && pieces[0] == bytes, "an empty delimiter gives the whole text");
        return;
    }
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        Require(pieces[i].find('\0') == std::string::npos, "a piece holds no NUL");
        if (i > 0)
            joined += delim;
        joined += pieces[i];
    }
    Require(joined == bytes || (EndsWith(bytes, delim) && joined + delim == bytes),
            "the pieces and delimiters make up the text");
}

// For ASCII texts the result is strtoll's, saturated to 32 bits.
void CheckAsciiNumber(const std::string& text) {
    const std::string bytes = UpToNul(text);
    for (unsigned char c : bytes)
        if (c >= 0x80)
            return;
    errno = 0;
    long long expected = std::strtoll(bytes.c_str(), nullptr, 10);
    if (expected > std::numeric_limits<int32_t>::max())
        expected = std::numeric_limits<int32_t>::max();
    if (expected < std::numeric_limits<int32_t>::min())
        expected = std::numeric_limits<int32_t>::min();
    Require(scheduler::TextToInteger(bytes) == expected, "an ASCII number reads as strtoll reads it");

    // The same text typed with a Chinese input method: full-width digits, signs and blanks (GBK A3xx, A1A1).
    std::string wide;
    for (char c : bytes) {
        if (c >= '0' && c <= '9')
            wide += {'\xA3', static_cast<char>(0xB0 + (c - '0'))};
        else if (c == '+')
            wide += "\xA3\xAB";
        else if (c == '-')
            wide += "\xA3\xAD";
        else if (c == ' ')
            wide += "\xA1\xA1";
        else
            wide += c;
    }
    Require(scheduler::TextToInteger(wide) == expected, "full-width forms read as their ASCII forms");
}

// The countdown from start to the switch-off or a reset, on a clock that jumps by fuzzed steps.
void RunCountdown(FuzzedDataProvider& input, const std::string& entry) {
    DateTime now;
    now.hour = input.ConsumeIntegralInRange<int32_t>(0, 23);
    now.minute = input.ConsumeIntegralInRange<int32_t>(0, 59);
    now.second = input.ConsumeIntegralInRange<int32_t>(0, 59);
    std::string timeEntry = entry;
    int powerOffs = 0;
    bool armed = false;  // the countdown timer runs only while the scheduler keeps it armed

    scheduler::Port port;
    port.readEntry = [&] { return timeEntry; };
    port.writeEntry = [&](const std::string& text) { timeEntry = text; };
    port.writeCountdownMessage = [&](const std::string& text) {
        // Empty: a countdown that ended without a switch-off leaves nothing that claims time is left.
        Require(
            text.empty() || (text.rfind(scheduler::kCountdownHead, 0) == 0 && EndsWith(text, scheduler::kSecondsUnit)),
            "every countdown message has its head and its unit");
    };
    port.currentTime = [&] { return now; };
    port.armCountdown = [&](bool on) { armed = on; };
    port.requestPowerOff = [&] {
        ++powerOffs;
        return scheduler::SwitchOffResult{true, 0, {}};
    };
    scheduler::SetPort(std::move(port));
    scheduler::ClearState();

    scheduler::OnTimeEntryFocus();
    timeEntry = entry;
    scheduler::OnStartClicked();
    for (int tick = 0; tick < 8 && input.remaining_bytes() > 0; ++tick) {
        // Two ticks may read the same second (a timer that fires twice within it) or far apart.
        const int32_t step = input.ConsumeIntegralInRange<int32_t>(0, 7200);
        const int32_t seconds = (now.hour * 3600 + now.minute * 60 + now.second + step) % 86400;
        now.hour = seconds / 3600;
        now.minute = seconds / 60 % 60;
        now.second = seconds % 60;
        if (input.ConsumeBool())
            scheduler::OnStopClicked();
        if (armed)
            scheduler::OnCountdownTimer();
        scheduler::OnClockTimer();
    }
    // Every tick after the request was looked at too: a countdown that stays armed past it would ask again.
    Require(powerOffs <= 1, "one countdown asks for the switch-off at most once");
    scheduler::SetPort({});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string delimiter = input.ConsumeRandomLengthString(4);
    const std::string text = input.ConsumeRandomLengthString(4096);

    CheckSplit(text, delimiter);
    CheckSplit(text, ":");
    CheckAsciiNumber(text);
    (void)scheduler::TextToInteger(text);
    RunCountdown(input, text);
    return 0;
}
