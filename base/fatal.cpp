#include "base/fatal.h"

#include <windows.h>

#include <cstdlib>
#include <new>

namespace base {

namespace {
CleanupFn g_cleanup = nullptr;
}

void SetEndOfRunCleanup(CleanupFn cleanup) {
    g_cleanup = cleanup;
}

void RunEndOfRun() {
    // Cleared before it runs, so an end reached from inside the clean-up does not run it twice.
    CleanupFn cleanup = g_cleanup;
    g_cleanup = nullptr;
    if (cleanup)
        cleanup();
}

void EndProgram(int exitCode) {
    RunEndOfRun();
    ExitProcess(static_cast<UINT>(exitCode));
}

std::string FatalRunErrorText(const std::string& message, std::optional<int64_t> errorCode) {
    std::string text = "运行时出错!\r\n\r\n";
    if (errorCode)
        text += "错误代码：" + std::to_string(*errorCode) + "\r\n\r\n";
    if (!message.empty())
        text += "错误信息：" + message + "\r\n";
    return text;
}

std::string AllocationFailedMessage(int64_t bytes) {
    return "分配 " + std::to_string(bytes) + " 字节内存失败!";
}

void FatalRunError(const std::string& message, std::optional<int64_t> errorCode) {
    MessageBoxA(nullptr, FatalRunErrorText(message, errorCode).c_str(), "错误", MB_OK | MB_ICONERROR);
    EndProgram(-1);
}

}  // namespace base

// A failed allocation is a fatal run error that names the size asked for.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1))
        return p;
    base::FatalRunError(base::AllocationFailedMessage(static_cast<int64_t>(size)));
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
