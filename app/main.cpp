#include <windows.h>

#include "app/startup.h"
#include "base/fatal.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int result = app::StartUp();
    base::RunEndOfRun();
    return result;
}
