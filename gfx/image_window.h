#pragma once
// The program's own window class for plain top-level windows that show a GDI+ image. A window of the class
// keeps what it owns as window properties and releases them when it is destroyed; with LumenHitMove 1 a
// left press anywhere on it drags it.

#include <windows.h>

namespace gfx {

inline constexpr char kImageWindowClass[] = "LumenLoadDialog";

namespace imagekey {
inline constexpr char kThread[] = "Lumen_Thread";   // worker thread handle owned by the window
inline constexpr char kImage[] = "Lumen_Image";     // GDI+ image shown
inline constexpr char kStream[] = "Lumen_Stream";   // global memory block under the image's stream
inline constexpr char kHitMove[] = "LumenHitMove";  // 1: a left press drags the window
}  // namespace imagekey

// The LumenHitMove value that turns dragging on; any other value leaves it off.
inline constexpr INT_PTR kHitMoveOn = 1;

// Registers the class once at start-up, after StartGraphicsSession.
void RegisterImageWindowClass();

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace gfx
