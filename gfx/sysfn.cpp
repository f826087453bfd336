#include "gfx/sysfn.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/fatal.h"

namespace sysfn {

namespace {

const char* const kStandardLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                          "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

FARPROC Lookup(HMODULE module, const char* function) {
    if (function[0] == '#')
        return GetProcAddress(module, MAKEINTRESOURCEA(std::strtoul(function + 1, nullptr, 10)));
    return GetProcAddress(module, function);
}

// A bare name is tried in the program's own folder first, then through the system's library search;
// a name with a drive or path is loaded from there alone.
HMODULE LoadNamedLibrary(const char* library) {
    if (std::string(library).find(':') != std::string::npos)
        return LoadLibraryA(library);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::string own(path, n);
        own = own.substr(0, own.find_last_of("\\/") + 1) + library;
        if (GetFileAttributesA(own.c_str()) != INVALID_FILE_ATTRIBUTES) {
            if (HMODULE m = LoadLibraryA(own.c_str()))
                return m;
        }
    }
    return LoadLibraryA(library);
}

}  // namespace

const char* MissingFunctionFormat(bool withLibrary) {
    return withLibrary ? "无法找到指定DLL库文件“%s”中的输出命令“%s”" : "无法找到指定DLL库文件中的输出命令“%s”";
}

void* Resolve(Binding& b) {
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
            module = LoadLibraryA(name);
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

}  // namespace sysfn
