#include "gfx/image_window.h"

#include <initializer_list>

#include "gfx/sysapi.h"

namespace gfx {

namespace {

void ReleaseOwnedObjects(HWND window) {
    // The worker may still be using the image, and the image may still read the memory under its stream:
    // stop the thread, then dispose the image, then free the block.
    if (auto thread = static_cast<HANDLE>(sys::GetPropA(window, imagekey::kThread))) {
        sys::TerminateThread(thread, 0);
        sys::CloseHandle(thread);
    }
    if (auto image = static_cast<Gdiplus::GpImage*>(sys::GetPropA(window, imagekey::kImage)))
        sys::GdipDisposeImage(image);
    if (auto block = static_cast<HGLOBAL>(sys::GetPropA(window, imagekey::kStream)))
        sys::GlobalFree(block);
    // Released handles must not be read again from the window.
    for (const char* key : {imagekey::kThread, imagekey::kImage, imagekey::kStream, imagekey::kHitMove})
        sys::RemovePropA(window, key);
}

}  // namespace

void RegisterImageWindowClass() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = ImageWindowProc;
    wc.hInstance = sys::GetModuleHandleA(nullptr);
    wc.hCursor = sys::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kImageWindowClass;
    sys::RegisterClassExA(&wc);
}

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            ReleaseOwnedObjects(window);
            return sys::DefWindowProcA(window, message, wParam, lParam);
        case WM_LBUTTONDOWN: {
            const LRESULT result = sys::DefWindowProcA(window, message, wParam, lParam);
            // Hand the press to the system's caption drag: the window follows the mouse until release.
            if (reinterpret_cast<INT_PTR>(sys::GetPropA(window, imagekey::kHitMove)) == kHitMoveOn) {
                sys::ReleaseCapture();
                sys::SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            }
            return result;
        }
        default:
            return sys::DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace gfx
