#include "gfx/sys_binder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fatal.h"

namespace sys {

namespace {

const char* const kStandardLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                          "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

FARPROC Lookup(HMODULE module, const char* function) {
    if (function[0] == '#')
        return GetProcAddress(module, MAKEINTRESOURCEA(std::strtoul(function + 1, nullptr, 10)));
    return GetProcAddress(module, function);
}

// A bare name is loaded from the system folder alone, never from the program's folder or the current one, so
// a file of the same name planted beside the program is never run. Windows 7 without update KB2533623 does
// not know LOAD_LIBRARY_SEARCH_SYSTEM32 (ERROR_INVALID_PARAMETER); there the full system path is used. A name
// with a drive or path is loaded from there alone.
HMODULE LoadNamedLibrary(const char* library) {
    if (std::strpbrk(library, ":\\/"))
        return LoadLibraryA(library);
    if (HMODULE m = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return m;
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    int written = std::snprintf(path + n, MAX_PATH - n, "\\%s", library);
    if (written < 0 || static_cast<UINT>(written) >= MAX_PATH - n)
        return nullptr;
    return LoadLibraryA(path);
}

}  // namespace

const char* MissingFunctionFormat(bool withLibrary) {
    return withLibrary ? "无法找到指定DLL库文件“%s”中的输出命令“%s”" : "无法找到指定DLL库文件中的输出命令“%s”";
}

void* Resolve(BoundFunction& b) {
    if (b.address)
        return b.address;
    FARPROC found = nullptr;
    HMODULE module = nullptr;
    if (b.library[0] != '\0') {
        module = LoadNamedLibrary(b.library);
        if (module)
            found = Lookup(module, b.function);
    } else {
        for (const char* name : kStandardLibraries) {
            module = LoadNamedLibrary(name);
            if (!module)
                continue;
            found = Lookup(module, b.function);
            if (found)
                break;
            FreeLibrary(module);
            module = nullptr;
        }
    }
    if (!found) {
        if (module)
            FreeLibrary(module);
        char message[512];
        if (b.library[0] != '\0')
            std::snprintf(message, sizeof message, MissingFunctionFormat(true), b.library, b.function);
        else
            std::snprintf(message, sizeof message, MissingFunctionFormat(false), b.function);
        base::FatalRunError(message);
    }
    b.module = module;
    b.address = reinterpret_cast<void*>(found);
    return b.address;
}

}  // namespace sys
