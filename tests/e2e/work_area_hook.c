// Sets the work area from inside the program, for test_work_area.py: Wine keeps the work area per process, so
// SystemParametersInfo(SPI_SETWORKAREA) in another process changes nothing the program sees. ocprobe hooks
// this library into the program's user-interface thread and posts it the rectangle; the hook sets the work
// area there, which announces WM_SETTINGCHANGE to every top-level window, and signals that it is done.

#include <windows.h>

#define WORK_AREA_MESSAGE "OffClockTestWorkArea"
#define WORK_AREA_DONE "OffClockTestWorkAreaDone"

__declspec(dllexport) LRESULT CALLBACK WorkAreaHook(int code, WPARAM removed, LPARAM lParam) {
    const MSG* msg = (const MSG*)lParam;
    if (code == HC_ACTION && removed == PM_REMOVE && msg->hwnd == NULL &&
        msg->message == RegisterWindowMessageA(WORK_AREA_MESSAGE)) {
        // left and top in wParam, right and bottom in lParam, 16 bits each
        RECT area = {LOWORD(msg->wParam), HIWORD(msg->wParam), LOWORD(msg->lParam), HIWORD(msg->lParam)};
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, WORK_AREA_DONE);
        if (done) {
            SetEvent(done);
            CloseHandle(done);
        }
    }
    return CallNextHookEx(NULL, code, removed, lParam);
}
