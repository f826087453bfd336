#pragma once
// Real windows for the control-binding tests: a parent whose own procedure records what reaches it, edit
// and custom children, and 32-bit DIB surfaces whose pixels are read back.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "compose_fixture.h"

namespace controltest {

// Answer of the recording procedure to colour requests, so that a forwarded request can be told apart.
inline constexpr LRESULT kForwardedBrush = 0x5151;

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT positionFlags;  // of WM_WINDOWPOSCHANGING, whose record is gone after the call
};

inline std::vector<Received>& ParentLog() {
    static std::vector<Received> log;
    return log;
}

inline int CountReceived(HWND window, UINT message) {
    int n = 0;
    for (const Received& r : ParentLog())
        n += (r.window == window && r.message == message) ? 1 : 0;
    return n;
}

inline LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UINT flags = message == WM_WINDOWPOSCHANGING ? reinterpret_cast<WINDOWPOS*>(lParam)->flags : 0;
    ParentLog().push_back({window, message, wParam, lParam, flags});
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return kForwardedBrush;
    if (message == WM_ERASEBKGND) {  // a plain light grey background
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline const char* RecordingClass() {
    static const char* const name = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "OcSkinTestRecording";
        RegisterClassExA(&wc);
        return "OcSkinTestRecording";
    }();
    return name;
}

// A hidden borderless popup at (100, 100) recording its messages, or a visible child with `parent`.
class Window {
  public:
    explicit Window(int width = 300,
                    int height = 200,
                    HWND parent = nullptr,
                    int x = 100,
                    int y = 100,
                    DWORD style = 0,
                    DWORD exStyle = 0) {
        composetest::StartGdiplusOnce();
        hwnd_ = CreateWindowExA(exStyle, RecordingClass(), "", (parent ? WS_CHILD | WS_VISIBLE : WS_POPUP) | style, x,
                                y, width, height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        // As in composetest::TopWindow: a layered window keeps a face only when it runs the engine's procedure.
        if (exStyle & WS_EX_LAYERED)
            skin::SubclassForRelease(hwnd_);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    HWND get() const { return hwnd_; }
    // Shown without activation: activating a popup makes Wine wait for the X server for seconds.
    void Show() const { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }

  private:
    HWND hwnd_ = nullptr;
};

inline HWND
MakeEdit(HWND parent, int x, int y, int width, int height, DWORD exStyle = 0, const char* text = "", int id = 0) {
    return CreateWindowExA(exStyle, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

inline WNDPROC WindowProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

inline LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE);
}

inline LONG_PTR ExStyleOf(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

// A 32-bit top-down DIB selected into a memory DC; pixels read as 0x00RRGGBB.
class Surface {
  public:
    Surface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    void Fill(uint32_t rgb) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = rgb;
    }
    uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0x00FFFFFF;
    }

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// A device-dependent bitmap filled with one colour (0x00RRGGBB), as the engine's cache bitmaps are.
inline HBITMAP SolidBitmap(int width, int height, uint32_t rgb) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    RECT r{0, 0, width, height};
    FillRect(memory, &r, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Pixel (x, y) of a bitmap as 0x00RRGGBB.
inline uint32_t BitmapPixel(HBITMAP bitmap, int x, int y) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    std::vector<uint32_t> rows(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, rows.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows[static_cast<size_t>(y) * info.bmWidth + x] & 0x00FFFFFF;
}

inline SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// RGB as a GDI COLORREF (0x00BBGGRR) from 0x00RRGGBB.
inline COLORREF Colorref(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace controltest
