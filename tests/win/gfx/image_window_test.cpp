// The image window class with real windows, a real worker thread, a real GDI+ image and a real global
// memory block. The release order is observed by spying on the table entries the procedure calls (each
// spy records the call and passes it on to the real function).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/graphics.h"
#include "gfx/image_window.h"
#include "gfx_test_support.h"

namespace {

std::vector<std::string> g_calls;

template <typename Fn>
struct Spied {
    sys::BoundFunction* binding = nullptr;
    void* real = nullptr;
};
Spied<decltype(&::TerminateThread)> g_terminate;
Spied<decltype(&::CloseHandle)> g_close;
Spied<decltype(&Gdiplus::DllExports::GdipDisposeImage)> g_dispose;
Spied<decltype(&::GlobalFree)> g_globalFree;

BOOL WINAPI SpyTerminateThread(HANDLE h, DWORD code) {
    g_calls.push_back("TerminateThread");
    return reinterpret_cast<decltype(&::TerminateThread)>(g_terminate.real)(h, code);
}
BOOL WINAPI SpyCloseHandle(HANDLE h) {
    g_calls.push_back("CloseHandle");
    return reinterpret_cast<decltype(&::CloseHandle)>(g_close.real)(h);
}
Gdiplus::GpStatus WINGDIPAPI SpyDisposeImage(Gdiplus::GpImage* image) {
    g_calls.push_back("GdipDisposeImage");
    return reinterpret_cast<decltype(&Gdiplus::DllExports::GdipDisposeImage)>(g_dispose.real)(image);
}
HGLOBAL WINAPI SpyGlobalFree(HGLOBAL h) {
    g_calls.push_back("GlobalFree");
    return reinterpret_cast<decltype(&::GlobalFree)>(g_globalFree.real)(h);
}

// Puts the spies into the table for the life of the object.
class ReleaseSpy {
  public:
    ReleaseSpy() {
        Install(g_terminate, sys::TerminateThread.bound(), reinterpret_cast<void*>(&SpyTerminateThread));
        Install(g_close, sys::CloseHandle.bound(), reinterpret_cast<void*>(&SpyCloseHandle));
        Install(g_dispose, sys::GdipDisposeImage.bound(), reinterpret_cast<void*>(&SpyDisposeImage));
        Install(g_globalFree, sys::GlobalFree.bound(), reinterpret_cast<void*>(&SpyGlobalFree));
        g_calls.clear();
    }
    ~ReleaseSpy() {
        g_terminate.binding->address = g_terminate.real;
        g_close.binding->address = g_close.real;
        g_dispose.binding->address = g_dispose.real;
        g_globalFree.binding->address = g_globalFree.real;
    }
    ReleaseSpy(const ReleaseSpy&) = delete;
    ReleaseSpy& operator=(const ReleaseSpy&) = delete;

  private:
    template <typename S>
    static void Install(S& spied, sys::BoundFunction& binding, void* spy) {
        spied.binding = &binding;
        spied.real = sys::Resolve(binding);
        binding.address = spy;
    }
};

// Property values seen right after the procedure has handled WM_DESTROY.
HWND g_watched = nullptr;
int g_propsLeftAfterDestroy = -1;

LRESULT CALLBACK AfterProcedure(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->hwnd == g_watched && msg->message == WM_DESTROY) {
        g_propsLeftAfterDestroy = 0;
        for (const char* key :
             {gfx::imagekey::kThread, gfx::imagekey::kImage, gfx::imagekey::kStream, gfx::imagekey::kHitMove})
            g_propsLeftAfterDestroy += GetPropA(msg->hwnd, key) != nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Caption-drag requests sent to the watched window.
std::vector<WPARAM> g_ncPresses;

LRESULT CALLBACK BeforeProcedure(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->hwnd == g_watched && msg->message == WM_NCLBUTTONDOWN)
        g_ncPresses.push_back(msg->wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI SleepForever(LPVOID) {
    for (;;)
        Sleep(1000);
}

class ImageWindow : public testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureGraphicsSession();
        gfx::RegisterImageWindowClass();  // a second registration fails harmlessly
    }
    static HWND NewWindow() {
        return CreateWindowExA(0, gfx::kImageWindowClass, "image", WS_POPUP, 10, 10, 64, 64, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
};

TEST_F(ImageWindow, ClassIsRegisteredWithItsProcedureCursorAndBrush) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "LumenLoadDialog", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW));
    EXPECT_EQ(wc.lpfnWndProc, &gfx::ImageWindowProc);
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(16));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hIcon, nullptr);
}

TEST_F(ImageWindow, DestroyStopsTheThreadThenDisposesTheImageThenFreesTheBlock) {
    HWND window = NewWindow();
    ASSERT_NE(window, nullptr);

    HANDLE thread = CreateThread(nullptr, 0, SleepForever, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HANDLE watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watch,
                                SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0));
    gfx::ByteBlock png = gfxtest::MakePng(8, 8, [](int, int) { return 0xFF336699u; });
    Gdiplus::GpImage* image = gfx::LoadImageFromMemory(png.data()).release();  // the window owns it
    ASSERT_NE(image, nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(GlobalFlags(block) & GMEM_INVALID_HANDLE, 0u);

    SetPropA(window, gfx::imagekey::kThread, thread);
    SetPropA(window, gfx::imagekey::kImage, image);
    SetPropA(window, gfx::imagekey::kStream, block);
    SetPropA(window, gfx::imagekey::kHitMove, reinterpret_cast<HANDLE>(1));

    g_watched = window;
    g_propsLeftAfterDestroy = -1;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProcedure, nullptr, GetCurrentThreadId());
    {
        ReleaseSpy spy;
        ASSERT_TRUE(DestroyWindow(window));
        EXPECT_EQ(g_calls,
                  (std::vector<std::string>{"TerminateThread", "CloseHandle", "GdipDisposeImage", "GlobalFree"}));
    }
    UnhookWindowsHookEx(hook);
    g_watched = nullptr;

    EXPECT_EQ(g_propsLeftAfterDestroy, 0);
    ASSERT_EQ(WaitForSingleObject(watch, 5000), WAIT_OBJECT_0) << "the worker thread was stopped";
    DWORD exitCode = 1;
    GetExitCodeThread(watch, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(watch);
    EXPECT_NE(GlobalFlags(block) & GMEM_INVALID_HANDLE, 0u) << "the block was freed";
}

TEST_F(ImageWindow, DestroyingAWindowWithoutPropertiesReleasesNothing) {
    HWND window = NewWindow();
    ASSERT_NE(window, nullptr);
    ReleaseSpy spy;
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(ImageWindow, LeftPressStartsTheCaptionDragOnlyWithHitMoveOne) {
    // A hidden window: the caption drag it asks for ends at once instead of following the real mouse.
    HWND window = NewWindow();
    ASSERT_NE(window, nullptr);
    g_watched = window;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, BeforeProcedure, nullptr, GetCurrentThreadId());

    struct Case {
        bool set;
        INT_PTR value;
        bool drags;
    };
    for (const Case& c : {Case{false, 0, false}, Case{true, 0, false}, Case{true, 2, false}, Case{true, -1, false},
                          Case{true, 1, true}}) {
        if (c.set)
            SetPropA(window, gfx::imagekey::kHitMove, reinterpret_cast<HANDLE>(c.value));
        g_ncPresses.clear();
        SetCapture(window);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        if (c.drags) {
            EXPECT_EQ(g_ncPresses, std::vector<WPARAM>{HTCAPTION}) << c.value;
            EXPECT_NE(GetCapture(), window) << "the capture was released for the system's drag";
        } else {
            EXPECT_TRUE(g_ncPresses.empty()) << c.value;
            EXPECT_EQ(GetCapture(), window) << c.value;
        }
        ReleaseCapture();
    }
    UnhookWindowsHookEx(hook);
    g_watched = nullptr;
    DestroyWindow(window);
}

}  // namespace
