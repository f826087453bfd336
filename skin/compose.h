#pragma once
// Composition of layered skin windows. Such a window and its children paint nothing themselves: the whole
// face (back image, every skinned child, the simulated caret) is drawn into one 32-bit ARGB image and
// handed to UpdateLayeredWindow in one call.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

#include "gfx/holders.h"

namespace skin {

// Height in pixels of the simulated caret line (and of the caret created for a layered window).
inline constexpr int kCaretHeight = 12;

// The one focused text child across all layered windows, and the last face composed for its parent, which
// the caret blink re-presents with and without the caret line instead of composing again.
struct FocusCaretState {
    int caretVisible = 0;
    HWND focusParent = nullptr;
    HWND focusChild = nullptr;
    gfx::UniqueGpImage focusImage;
};

// The process-wide record; GUI thread only.
FocusCaretState& FocusCaret();

// Disposes of the kept image, if any, and keeps `image` (may be none) in its place.
void ReplaceFocusImage(gfx::UniqueGpImage image);

// Builds the whole face of `window` (its window rectangle, fully transparent where nothing is drawn): the
// back image at its own size, then every child with a skin type, in z-order. Returns a new bitmap, or none
// when the window has no area or GDI+ fails.
gfx::UniqueGpImage ComposeToBitmap(HWND window);

// ComposeToBitmap, shown on the window; the image becomes the kept focus image when `window` is the focus
// parent, otherwise it is disposed of. The window keeps what presenting needs (skin/surface.h) and, once a
// complete face has been taken by the system, the look it was composed from.
void ComposeWindow(HWND window);

// ComposeWindow, unless the face on screen was presented by ComposeWindow from exactly what a composition
// would read now (size, back image, every skinned child's place, faces, colours, font and text): then nothing
// is composed or presented. The focus parent is always composed. This is what a change of a child's look
// calls; an explicit request (a new back image, a binding) composes unconditionally.
void ComposeWindowIfChanged(HWND window);

// ComposeWindowIfChanged after a write of `child`'s text and nothing else: when the face on screen is known
// (every other change of look makes the parent forget it), the face is composed from that look with the
// child's new text, without reading the rest of the window again.
void ComposeWindowForText(HWND window, HWND child);

// The face on screen of `window` is no longer known to be its composition, so the next ComposeWindowIfChanged
// composes. Whatever changes a child's look without composing (an image, colour, font or property set, a
// move) calls this for the parent: an image or font freed and another made at its address would compare equal.
void ForgetShownFace(HWND window);

// True when what `parent` shows is ComposeWindow's composition of it (nothing else presented since, and not
// the focus parent, whose face the caret blink re-presents) and that composition drew `text` (null: none)
// as the text of `child`.
bool FaceShowsText(HWND parent, HWND child, const char* text);

// Draws one skinned child of `parent` into the parent's image through `graphics`.
void DrawChildFace(HWND parent, HWND child, Gdiplus::GpGraphics* graphics);

// Shows `image` on the layered `window` with per-pixel alpha, at its top-left corner and transparent where it
// does not reach; with `withCaret` the caret line of the focused child is drawn over it. Does nothing for a
// destroyed window or a null image. The next ComposeWindowIfChanged of the window composes.
void PresentLayered(HWND window, Gdiplus::GpImage* image, int withCaret);

// The caret line: 12 pixels of opaque black, 5 pixels right of the caret's position in `child` and centred
// vertically in it (the caret's own height and vertical position play no part).
void DrawCaretLine(HWND parent, HWND child, Gdiplus::GpGraphics* graphics);

// Observation points for tests and measurements; both null unless set, and both called only once
// UpdateLayeredWindow has taken the face. `composed` sees each image ComposeWindow built and showed;
// `presented` sees the 32-bit premultiplied BGRA pixels the window was given, bottom row first, `width` pixels
// per row.
struct CompositionObserver {
    void (*composed)(HWND window, Gdiplus::GpBitmap* image) = nullptr;
    void (*presented)(HWND window, const uint32_t* pixels, int width, int height, int withCaret) = nullptr;
};
void SetCompositionObserver(const CompositionObserver& observer);

}  // namespace skin
