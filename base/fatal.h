#pragma once
// How a run of the program ends: the one end-of-run clean-up, normal ends and the fatal-error box. Every
// folder may end the run through here; nothing here knows what the clean-up releases.

#include <cstdint>
#include <optional>
#include <string>

namespace base {

using CleanupFn = void (*)();

// Registers the routine that the end of the run calls once, whichever way the run ends.
void SetEndOfRunCleanup(CleanupFn cleanup);

// Runs the registered clean-up (once; a second end finds it already cleared).
void RunEndOfRun();

// Ends the run at once with `exitCode`, after RunEndOfRun.
[[noreturn]] void EndProgram(int exitCode);

// Shows the fatal-error box (caption "错误", no owner, error icon) with the run-error text and ends the run
// with exit code -1. It allocates nothing, so it also serves a failed allocation. It is entered once: a second
// entry (another thread while the box is up, or a failure inside the end of the run) ends the process at once
// with exit code -1.
[[noreturn]] void FatalRunError(const char* message, std::optional<int64_t> errorCode = std::nullopt);
[[noreturn]] void FatalRunError(const std::string& message, std::optional<int64_t> errorCode = std::nullopt);

// Whether the fatal-error box has been entered: from then on the run only ends.
bool FatalErrorShown();

// The fatal box's text: "运行时出错!\r\n\r\n", then "错误代码：" code "\r\n\r\n" when a code is known, then
// "错误信息：" message "\r\n" when a message is known. GBK bytes.
std::string FatalRunErrorText(const std::string& message, std::optional<int64_t> errorCode);

}  // namespace base
