#include "base/fatal.h"

#include <windows.h>

#include <cstdlib>
#include <new>

namespace base {

namespace {

// Appends to a fixed buffer, cutting what does not fit; it never allocates.
class FixedText {
  public:
    FixedText(char* buffer, size_t size) : buffer_(buffer), size_(size) { buffer_[0] = '\0'; }

    FixedText& operator<<(const char* text) {
        while (*text && length_ + 1 < size_)
            buffer_[length_++] = *text++;
        buffer_[length_] = '\0';
        return *this;
    }

    FixedText& operator<<(int64_t value) {
        char digits[24];
        char* p = digits + sizeof digits;
        *--p = '\0';
        // Worked on as unsigned, so the most negative value is written too.
        uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        do {
            *--p = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0)
            *--p = '-';
        return *this << p;
    }

  private:
    char* buffer_;
    size_t size_;
    size_t length_ = 0;
};

void WriteFatalRunErrorText(FixedText& out, const char* message, std::optional<int64_t> errorCode) {
    out << "运行时出错!\r\n\r\n";
    if (errorCode)
        out << "错误代码：" << *errorCode << "\r\n\r\n";
    if (message[0] != '\0')
        out << "错误信息：" << message << "\r\n";
}

CleanupFn g_cleanup = nullptr;
volatile LONG g_fatalEntered = 0;

}  // namespace

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

bool FatalErrorShown() {
    return g_fatalEntered != 0;
}

std::string FatalRunErrorText(const std::string& message, std::optional<int64_t> errorCode) {
    char buffer[2048];
    FixedText text(buffer, sizeof buffer);
    WriteFatalRunErrorText(text, message.c_str(), errorCode);
    return buffer;
}

void FatalRunError(const char* message, std::optional<int64_t> errorCode) {
    if (InterlockedExchange(&g_fatalEntered, 1) != 0)
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(-1));
    char buffer[2048];
    FixedText text(buffer, sizeof buffer);
    WriteFatalRunErrorText(text, message, errorCode);
    MessageBoxA(nullptr, buffer, "错误", MB_OK | MB_ICONERROR);
    EndProgram(-1);
}

void FatalRunError(const std::string& message, std::optional<int64_t> errorCode) {
    FatalRunError(message.c_str(), errorCode);
}

}  // namespace base

// A failed allocation is a fatal run error that names the size asked for.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1))
        return p;
    char message[64];
    base::FixedText(message, sizeof message) << "分配 " << static_cast<int64_t>(size) << " 字节内存失败!";
    base::FatalRunError(message);
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

// The nothrow forms answer null, as their callers expect.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
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

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
