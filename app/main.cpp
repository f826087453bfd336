#include <windows.h>

#include "app/lifecycle.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int result = app::StartUp();
    app::RunEndOfRun();
    return result;
}
