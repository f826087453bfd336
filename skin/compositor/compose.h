#pragma once
// Composition of layered skin windows. Such a window and its children paint nothing themselves: the whole
// face (back image, every skinned child, the simulated caret) is drawn into one 32-bit ARGB frame that the
// window keeps (skin/compositor/face.h), and what changed of it is handed to UpdateLayeredWindowIndirect in one call.
// One way down: the face's damage, the look read from the windows (skin/compositor/look.h), drawn
// (skin/compositor/draw.h) and presented (skin/compositor/present.h).

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

#include "gfx/holders.h"

namespace skin {

// Draws over the kept frame of `window` what changed of its face since it was drawn (its damage: the back
// image and every child that meets it, clipped; a child whose look changed is drawn whole), copies that part
// to the surface and presents it, with the caret line where it shows. Nothing is drawn or presented when
// nothing changed. A window's first composition, the first after a resize, and the one after the system
// refused a presentation draw and present the whole face. A drawing that fails presents nothing: its part
// stays damaged and is tried again by a request, a few times in a row at most. A window destroyed while it
// is presented is not touched again. True when a face was presented.
bool ComposeWindow(HWND window);

// Has `window` composed soon: nothing when a composition is due at the end of the current message or a request
// is already posted; else one request is posted, which SkinParentProc answers by composing.
void RequestComposition(HWND window);

// The message of that request (registered once).
UINT CompositionRequestMessage();

// Composes `window` as it ends (the end of a message that changes how a child looks), once for all the marks
// made while it lives, which post no request meanwhile.
class ComposeAtEnd {
  public:
    explicit ComposeAtEnd(HWND window);
    ComposeAtEnd(const ComposeAtEnd&) = delete;
    ComposeAtEnd& operator=(const ComposeAtEnd&) = delete;
    ~ComposeAtEnd();
    // Composes now rather than at the end; true when a face was presented.
    bool Finish();

  private:
    HWND window_;
    bool open_ = true;
};

// Whether a ComposeAtEnd for `window` is alive.
bool ComposesAtEnd(HWND window);

// The whole face of `window` drawn from scratch into a new bitmap (its window rectangle, fully transparent
// where nothing is drawn), the window's kept face and screen left alone; none when the window has no area or
// GDI+ fails. A composition's frame equals it, byte for byte.
gfx::UniqueGpImage ComposeToBitmap(HWND window);

// Draws one skinned child of `parent` into the parent's image through `graphics`.
void DrawChildFace(HWND parent, HWND child, Gdiplus::GpGraphics* graphics);

// Shows `image` on the layered `window` with per-pixel alpha, at its top-left corner and transparent where it
// does not reach; with `withCaret` the caret line of the focused child is drawn over it. Does nothing for a
// destroyed window or a null image. What the window shows is then not its face: its next composition draws
// the whole face.
void PresentLayered(HWND window, Gdiplus::GpImage* image, int withCaret);

// Re-presents the kept face of `window` with the caret line of the focused child (`visible`) or without it,
// drawing nothing of the face again; only the pixels of the old and new line are presented. A face that is
// due to be drawn, or no longer has the window's size, is composed instead: a blink never shows a stale face
// nor gives the window back its old size.
void PresentCaret(HWND window, int visible);

// Observation points for tests and measurements; both null unless set, and both called only once the system
// has taken the face. `composed` sees the frame of each composition that presented; `presented` sees the
// 32-bit premultiplied BGRA pixels the window shows, bottom row first, `width` pixels per row.
struct CompositionObserver {
    void (*composed)(HWND window, Gdiplus::GpBitmap* image) = nullptr;
    void (*presented)(HWND window, const uint32_t* pixels, int width, int height, int withCaret) = nullptr;
};
void SetCompositionObserver(const CompositionObserver& observer);

}  // namespace skin
