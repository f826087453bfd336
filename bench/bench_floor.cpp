// The floor of the program's idle cost under a given system: a bare layered 128x128 window that presents one
// kept frame a second with UpdateLayeredWindow (the DIB section made once, nothing composed), in a message
// loop that sleeps between its timer ticks as the program's does. scripts/bench measures its CPU beside
// offclock.exe's. Runs for the number of seconds given (default 60), then ends.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kSide = 128;

struct Frame {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

Frame g_frame;

void Present(HWND window) {
    POINT origin{0, 0};
    SIZE size{kSide, kSide};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, nullptr, &size, g_frame.dc, &origin, 0, &blend, ULW_ALPHA);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        Present(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OcBenchFloor";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "OcBenchFloor", "", WS_POPUP, 10,
                                  10, kSide, kSide, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window)
        return 1;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSide;
    info.bmiHeader.biHeight = kSide;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    g_frame.dc = CreateCompatibleDC(nullptr);
    g_frame.bitmap = CreateDIBSection(g_frame.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!g_frame.bitmap || !bits)
        return 1;
    std::fill_n(static_cast<uint32_t*>(bits), kSide * kSide, 0xC0303030u);  // premultiplied translucent grey
    g_frame.previous = SelectObject(g_frame.dc, g_frame.bitmap);

    Present(window);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, 1000, nullptr);
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    MSG msg;
    while (GetTickCount64() < end && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);

    DestroyWindow(window);
    SelectObject(g_frame.dc, g_frame.previous);
    DeleteObject(g_frame.bitmap);
    DeleteDC(g_frame.dc);
    return 0;
}
