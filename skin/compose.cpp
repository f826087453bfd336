#include "skin/compose.h"

#include <utility>

#include "gfx/sysapi.h"
#include "skin/draw.h"
#include "skin/face.h"
#include "skin/look.h"
#include "skin/present.h"

namespace skin {

namespace {

FocusCaretState g_focusCaret;
CompositionObserver g_observer;

bool WindowSize(HWND window, int& width, int& height) {
    RECT r{};
    if (!window || !sys::GetWindowRect(window, &r))
        return false;
    width = r.right - r.left;
    height = r.bottom - r.top;
    return width > 0 && height > 0;
}

// Copies `area` of the frame (none: nothing) to the face's surface and presents it, of which `dirty` changed.
// A face that could not be copied or that the system refused is drawn whole by the next composition. Handlers
// run by the system may destroy the window, and the face with it: `face` is then not touched again.
void Present(HWND window, KeptFace* face, const IntRect& area, const IntRect& dirty, int withCaret,
             Gdiplus::GpBitmap* frame) {
    const bool shown = ShowSurface(window, face->surface, frame, area, dirty);
    if (FindFace(window) != face)
        return;
    if (!shown) {
        face->damage = {0, 0, face->width, face->height};
        return;
    }
    if (frame && g_observer.composed)
        g_observer.composed(window, frame);
    if (g_observer.presented && FindFace(window) == face)
        g_observer.presented(window, face->surface.bits, face->surface.width, face->surface.height, withCaret);
}

}  // namespace

FocusCaretState& FocusCaret() {
    return g_focusCaret;
}

void SetCompositionObserver(const CompositionObserver& observer) {
    g_observer = observer;
}

void ComposeWindow(HWND window) {
    int width = 0, height = 0;
    if (!WindowSize(window, width, height))
        return;
    KeptFace* face = FaceAtSize(window, width, height);
    if (!face || IsEmptyRect(face->damage))
        return;
    const IntRect area = face->damage;
    face->damage = {};
    face->lastArea = area;
    const IntRect whole{0, 0, width, height};
    FaceLook look;
    ReadFaceLook(window, width, height, look, area == whole ? nullptr : &face->drawn, area);
    auto* frame = static_cast<Gdiplus::GpBitmap*>(face->frame.get());
    const bool drawn = DrawFace(frame, look, area, &face->text);
    face->drawn = std::move(look);
    // The caret line goes with the part it lies on: the copy from the frame takes it off.
    const IntRect dirty = UniteRects(area, face->caretLine);
    face->caretLine = {};
    // What could be drawn is shown; the next composition draws the whole face again.
    if (!drawn)
        face->damage = whole;
    Present(window, face, dirty, dirty == whole ? IntRect{} : dirty, 0, frame);
}

gfx::UniqueGpImage ComposeToBitmap(HWND window) {
    int width = 0, height = 0;
    if (!WindowSize(window, width, height))
        return {};
    FaceLook look;
    ReadFaceLook(window, width, height, look);
    Gdiplus::GpBitmap* bitmap = nullptr;
    sys::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    gfx::UniqueGpImage image(bitmap);
    if (!image)
        return {};
    KeptFace* face = FindFace(window);
    DrawFace(bitmap, look, {0, 0, width, height}, face ? &face->text : nullptr);
    return image;
}

void DrawChildFace(HWND parent, HWND child, Gdiplus::GpGraphics* graphics) {
    ChildLook look;
    KeptFace* face = FindFace(parent);
    if (graphics && ReadChildLook(parent, child, look))
        DrawChildLook(graphics, look, face ? &face->text : nullptr);
}

void PresentLayered(HWND window, Gdiplus::GpImage* image, int withCaret) {
    int width = 0, height = 0;
    if (!image || !sys::IsWindow(window) || !WindowSize(window, width, height))
        return;
    KeptFace* face = FaceAtSize(window, width, height);
    if (!face)
        return;
    // The window no longer shows its face.
    face->damage = {0, 0, width, height};
    face->caretLine = {};
    CopyWholeImage(image, face->surface);
    POINT top{};
    if (withCaret && g_focusCaret.focusChild && CaretLineAt(window, g_focusCaret.focusChild, top))
        DrawCaretLine(face->surface.dc.get(), top.x, top.y);
    Present(window, face, {}, {}, withCaret, nullptr);
}

void PresentCaret(HWND window, int visible) {
    KeptFace* face = FindFace(window);
    if (!face || !face->frame || (!visible && IsEmptyRect(face->caretLine)))
        return;
    // The old line is taken off by copying its part of the frame; the new one is drawn over the copy.
    const IntRect old = face->caretLine;
    face->caretLine = {};
    if (!CopyImagePart(face->frame.get(), face->surface, old)) {
        face->damage = {0, 0, face->width, face->height};
        return;
    }
    POINT top{};
    if (visible && g_focusCaret.focusChild && CaretLineAt(window, g_focusCaret.focusChild, top))
        face->caretLine = ClipToFace(DrawCaretLine(face->surface.dc.get(), top.x, top.y), face->width, face->height);
    const IntRect dirty = UniteRects(old, face->caretLine);
    if (!IsEmptyRect(dirty))
        Present(window, face, {}, dirty, visible, nullptr);
}

bool CaretLineAt(HWND parent, HWND child, POINT& top) {
    IntRect box;
    if (!ChildBoxInParent(parent, child, box))
        return false;
    POINT caret{};
    sys::GetCaretPos(&caret);
    top.x = box.left + caret.x + 5;
    top.y = static_cast<int>(box.top + (box.height - kCaretHeight) / 2.0);
    return true;
}

}  // namespace skin
