// Median cost of composing and presenting a layered skin window, for the two window shapes the program
// shows: the 128x128 main window with five skinned children (two with text) and the 295x56 countdown strip
// with one two-line text child. Prints; judges nothing.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/compose.h"
#include "skin/keys.h"
#include "skin/props.h"

namespace {

constexpr int kRuns = 200;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double MedianMicroseconds(const std::function<void()>& run) {
    run();  // binds the system functions and warms the caches
    std::vector<double> times;
    times.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        const double start = Now();
        run();
        times.push_back((Now() - start) * 1e6);
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

gfx::UniqueGpImage SolidImage(int width, int height, uint32_t argb) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    sys::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    gfx::UniqueGpImage image(bitmap);
    gfx::UniqueGpGraphics g;
    if (image)
        sys::GdipGetImageGraphicsContext(image.get(), g.put());
    if (g)
        sys::GdipGraphicsClear(g.get(), argb);
    return image;
}

void SetProp32(HWND window, const char* key, uint32_t value) {
    skin::SetSkinProp(window, key, static_cast<intptr_t>(value));
}

HWND TextChild(HWND parent, int x, int y, int w, int h, const char* text, HFONT font) {
    HWND child = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_MULTILINE, x, y, w, h, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetProp32(child, skin::key::kType, skin::kSkinPngControl);
    SetProp32(child, skin::key::kBackColor, skin::kNoColor);
    SetProp32(child, skin::key::kBackAlpha, 255);
    SetProp32(child, skin::key::kOrderColor, 0x007B8084);
    SetProp32(child, skin::key::kOrderAlpha, 255);
    SetProp32(child, skin::key::kTextColor, 0x00FFFFFF);
    return child;
}

HWND ButtonChild(HWND parent, int x, int y, int w, int h, Gdiplus::GpImage* face) {
    HWND child = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetProp32(child, skin::key::kType, skin::kSkinButton);
    skin::SetSkinProp(child, skin::key::kNormalImage, reinterpret_cast<intptr_t>(face));
    return child;
}

HWND LayeredWindow(int width, int height) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OcBenchCompose";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(WS_EX_LAYERED, "OcBenchCompose", "", WS_POPUP, 100, 100, width, height, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void Report(const char* name, HWND window) {
    const double compose = MedianMicroseconds([&] { skin::ComposeWindow(window); });
    const double build = MedianMicroseconds([&] { gfx::UniqueGpImage image(skin::ComposeToBitmap(window)); });
    gfx::UniqueGpImage face(skin::ComposeToBitmap(window));
    const double present = MedianMicroseconds([&] { skin::PresentLayered(window, face.get(), 0); });
    std::printf("%-34s ComposeWindow %8.1f us   (compose only %8.1f us, present only %8.1f us)\n", name, compose, build,
                present);
}

}  // namespace

int main() {
    gfx::StartGraphicsSession();
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");

    gfx::UniqueGpImage mainBack = SolidImage(128, 128, 0xC0303030);
    gfx::UniqueGpImage face = SolidImage(40, 24, 0xFF2080C0);
    HWND main = LayeredWindow(128, 128);
    skin::SetSkinProp(main, skin::key::kBackImage, reinterpret_cast<intptr_t>(mainBack.get()));
    TextChild(main, 8, 10, 112, 20, "Now-12:34:56", font);
    TextChild(main, 8, 40, 112, 20, "时间格式00:00:00", font);
    ButtonChild(main, 8, 80, 34, 24, face.get());
    ButtonChild(main, 47, 80, 34, 24, face.get());
    ButtonChild(main, 86, 80, 34, 24, face.get());

    HWND strip = LayeredWindow(295, 56);
    TextChild(strip, 0, 0, 295, 56, "离关机还有\r\n1小时:2分钟:3秒", font);

    std::printf("median of %d runs each\n", kRuns);
    Report("128x128, 5 children, 2 with text", main);
    Report("295x56, 1 text child", strip);

    DestroyWindow(strip);
    DestroyWindow(main);
    DeleteObject(font);
    return 0;
}
