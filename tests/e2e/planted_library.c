// A library an attacker would plant beside the program under a system library's name. Loading it leaves a
// mark: the file "planted-library-loaded" in its own folder.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\' && path[n - 1] != '/')
        --n;
    static const char kMark[] = "planted-library-loaded";
    if (n == 0 || n + sizeof kMark > MAX_PATH)
        return TRUE;
    lstrcpyA(path + n, kMark);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}
