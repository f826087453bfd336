// Loads GdiPlus.dll by its plain name, as a program that leaves the choice of file to the search order
// would. Beside a planted library of that name, under the same overrides, it must load the planted file:
// test_planted_library.py runs it to show that its set-up would catch such a program.

#include <windows.h>

int main(void) {
    return LoadLibraryA("GdiPlus.dll") ? 0 : 1;
}
