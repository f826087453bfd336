// Median cost of composing and presenting a layered skin window, for the two window shapes the program
// shows: the 128x128 main window with five skinned children (two with text) and the 295x56 countdown strip
// with one two-line text child; then the program's own dressed windows during a countdown, beside a bare
// UpdateLayeredWindow of a bitmap of the same size, the floor no composition can go below. Prints; judges
// nothing.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"
#include "program_in_process.h"

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
        Gdiplus::DllExports::GdipGraphicsClear(g.get(), argb);
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

// A text written anew, as the clock writes its second: two texts in turn, each composed by the write itself
// when the child runs the layered procedure, marked and composed here otherwise.
double TextSecondMicroseconds(HWND window, HWND text) {
    const std::string first = skin::ReadWindowText(text);
    const std::string second = first + " ";
    int n = 0;
    const double us = MedianMicroseconds([&] {
        SetWindowTextA(text, (++n & 1) ? second.c_str() : first.c_str());
        skin::MarkChild(text, skin::ChildChange::kText);
        skin::ComposeWindow(window);
    });
    SetWindowTextA(text, first.c_str());
    return us;
}

void Report(const char* name, HWND window, HWND text) {
    const double whole = MedianMicroseconds([&] {
        skin::MarkWholeFace(window);
        skin::ComposeWindow(window);
    });
    const double second = TextSecondMicroseconds(window, text);
    const double build = MedianMicroseconds([&] { gfx::UniqueGpImage image = skin::ComposeToBitmap(window); });
    gfx::UniqueGpImage face = skin::ComposeToBitmap(window);
    const double present = MedianMicroseconds([&] { skin::PresentLayered(window, face.get(), 0); });
    std::printf("%-34s whole face %8.1f us   one text %8.1f us   (from scratch %8.1f us, present only %8.1f us)\n",
                name, whole, second, build, present);
}

// A bare UpdateLayeredWindow of a prepared premultiplied 32-bit bitmap of the window's size.
double FloorMicroseconds(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bits)
        std::fill_n(static_cast<uint32_t*>(bits), width * height, 0x80402010u);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT origin{0, 0};
    POINT at{r.left, r.top};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const double floor = MedianMicroseconds(
        [&] { UpdateLayeredWindow(window, screen, &at, &size, memory, &origin, 0, &blend, ULW_ALPHA); });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return floor;
}

// The whole face drawn and presented against the floor, a second of the clock (or of the strip's message):
// its text box drawn over the kept face and presented, and a composition that finds nothing changed.
void ReportProgramWindow(const char* name, HWND window, HWND text) {
    const double whole = MedianMicroseconds([&] {
        skin::MarkWholeFace(window);
        skin::ComposeWindow(window);
    });
    const double floor = FloorMicroseconds(window);
    const double second = TextSecondMicroseconds(window, text);
    const double unchanged = MedianMicroseconds([&] { skin::ComposeWindow(window); });
    skin::MarkWholeFace(window);
    skin::ComposeWindow(window);  // leave the window's own face on it
    std::printf("%-34s whole face %8.1f us   one text second %8.1f us   bare UpdateLayeredWindow %8.1f us\n", name,
                whole, second, floor);
    std::printf("%-34s   text second against the floor %.2f; nothing changed: %.1f us\n", "",
                floor > 0 ? second / floor : 0.0, unchanged);
}

struct Tally {
    int mainComposed = 0;
    int countdownComposed = 0;
    int mainPresented = 0;
    int countdownPresented = 0;
};
Tally g_tally;
HWND g_mainWindow = nullptr;

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// What the program's own timers make it do in `seconds` of running its message loop: compositions and
// presentations of each window per second, and this process's CPU time as a share of one core.
void ReportSteadyState(const char* name, int seconds) {
    g_tally = {};
    skin::SetCompositionObserver({[](HWND window, Gdiplus::GpBitmap*) {
                                      ++(window == g_mainWindow ? g_tally.mainComposed : g_tally.countdownComposed);
                                  },
                                  [](HWND window, const uint32_t*, int, int, int) {
                                      ++(window == g_mainWindow ? g_tally.mainPresented : g_tally.countdownPresented);
                                  }});
    const double cpu = ProcessCpuSeconds();
    const double start = Now();
    // Sleeps until a message comes, as the program's own loop does (a polling pump would cost more than the
    // program).
    MSG msg;
    while (Now() - start < seconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    const double wall = Now() - start;
    const double used = ProcessCpuSeconds() - cpu;
    skin::SetCompositionObserver({});
    std::printf(
        "%-34s per second: MainWindow %4.1f composed %4.1f presented, CountdownWindow %4.1f composed %4.1f "
        "presented; CPU %.2f %% of a core\n",
        name, g_tally.mainComposed / wall, g_tally.mainPresented / wall, g_tally.countdownComposed / wall,
        g_tally.countdownPresented / wall, 100.0 * used / wall);
}

// The dressed program in this process, counting down to a time an hour ahead (the switch-off is only counted).
void BenchProgramWindows() {
    using namespace app::ids;
    if (!testsupport::StartProgramInProcess()) {
        std::printf("the program's windows could not be created\n");
        return;
    }
    g_mainWindow = testsupport::ProgramWindow(kMainWindow);
    testsupport::PumpMessages(500);
    ReportSteadyState("idle, 10 s", 10);
    const std::time_t later = std::time(nullptr) + 3600;
    std::tm t{};
    localtime_s(&t, &later);
    char entry[16];
    std::snprintf(entry, sizeof entry, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    app::SetControlProperty(kMainWindow, kTimeEntryEdit, app::kEditContent, entry);
    SendMessageA(app::GetControlHandle(kMainWindow, kStartButton, app::ControlKind::Button), BM_CLICK, 0, 0);
    testsupport::PumpUntil([] { return scheduler::CurrentState().secondsLeft > 0; }, 3000);
    testsupport::PumpMessages(200);  // the copy timer has put the message on CountdownWindow
    std::printf("the program's dressed windows, counting down (%d s left)\n", scheduler::CurrentState().secondsLeft);
    ReportSteadyState("counting down, 10 s", 10);
    ReportProgramWindow("MainWindow 128x128", testsupport::ProgramWindow(kMainWindow),
                        app::GetControlHandle(kMainWindow, kClockEdit, app::ControlKind::EditBox));
    ReportProgramWindow("CountdownWindow 295x56", testsupport::ProgramWindow(kCountdownWindow),
                        app::GetControlHandle(kCountdownWindow, kCountdownText, app::ControlKind::EditBox));
    testsupport::StopProgramInProcess();
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
    HWND clock = TextChild(main, 8, 10, 112, 20, "Now-12:34:56", font);
    TextChild(main, 8, 40, 112, 20, "时间格式00:00:00", font);
    ButtonChild(main, 8, 80, 34, 24, face.get());
    ButtonChild(main, 47, 80, 34, 24, face.get());
    ButtonChild(main, 86, 80, 34, 24, face.get());

    HWND strip = LayeredWindow(295, 56);
    HWND message = TextChild(strip, 0, 0, 295, 56, "离关机还有\r\n1小时:2分钟:3秒", font);

    std::printf("median of %d runs each\n", kRuns);
    Report("128x128, 5 children, 2 with text", main, clock);
    Report("295x56, 1 text child", strip, message);

    DestroyWindow(strip);
    DestroyWindow(main);
    DeleteObject(font);

    BenchProgramWindows();
    return 0;
}
