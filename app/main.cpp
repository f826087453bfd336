#include <windows.h>

#include <cstdlib>
#include <new>

#include "app/lifecycle.h"
#include "app/startup.h"

// A failed allocation is a fatal run error that names the size asked for.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1))
        return p;
    app::FatalRunError(app::AllocationFailedMessage(static_cast<int64_t>(size)));
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int result = app::StartUp();
    app::RunEndOfRun();
    return result;
}
