#include "skin/compositor/compose.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "gfx/sysapi.h"
#include "skin/compositor/caret.h"
#include "skin/compositor/draw.h"
#include "skin/compositor/face.h"
#include "skin/compositor/look.h"
#include "skin/compositor/present.h"

namespace skin {

namespace {

CompositionObserver g_observer;

// Drawings or presentations that fail in a row before the face waits for its next change to try again.
constexpr int kRetriesInARow = 3;

std::vector<HWND> g_composedAtEnd;

bool WindowSize(HWND window, int& width, int& height) {
    RECT r{};
    if (!window || !sys::GetWindowRect(window, &r))
        return false;
    width = r.right - r.left;
    height = r.bottom - r.top;
    return width > 0 && height > 0;
}

// A failed drawing or presentation: the face is tried again by a request, a few times in a row at most.
void RetryLater(HWND window, KeptFace* face) {
    if (++face->failures <= kRetriesInARow)
        RequestComposition(window);
}

// Draws the caret line of the focused child on the surface when it shows on `window`, and returns its pixels.
IntRect DrawShownCaret(HWND window, KeptFace* face) {
    return CaretShowsOn(window) ? DrawFocusedCaret(window, face->surface.dc.get(), face->width, face->height)
                                : IntRect{};
}

// Shows the surface, of which `dirty` changed (empty: all of it). A face the system refused is drawn whole
// by the next composition, which `retry` asks for. Handlers run by the system may destroy the window, and the
// face with it: `face` is then not touched again. True when the system took it.
bool Present(HWND window,
             KeptFace* face,
             const IntRect& dirty,
             int withCaret,
             Gdiplus::GpBitmap* frame,
             bool retry = true) {
    const bool shown = ShowSurface(window, face->surface, nullptr, {}, dirty);
    if (FindFace(window) != face)
        return shown;
    if (!shown) {
        face->damage = {0, 0, face->width, face->height};
        face->caretLine = {};
        if (retry)
            RetryLater(window, face);
        return false;
    }
    if (frame && g_observer.composed)
        g_observer.composed(window, frame);
    if (g_observer.presented && FindFace(window) == face)
        g_observer.presented(window, face->surface.bits, face->surface.width, face->surface.height, withCaret);
    return true;
}

const ChildLook* KeptLookOf(const FaceLook& kept, HWND child) {
    for (const ChildLook& look : kept.children) {
        if (look.child == child)
            return &look;
    }
    return nullptr;
}

// The frame must show each child as its record says, all over it. A child whose look changed since it was
// recorded (a change nothing marked yet, or not drawn before), and one that went, are therefore drawn whole,
// where they are and where they were: that joins `area`, and what the larger area meets is read again.
// Returns the area to draw; `look` is read for it.
IntRect AreaWithChangedChildrenWhole(HWND window, const KeptFace& face, FaceLook& look, IntRect area) {
    const auto extent = [&face](const IntRect& box) { return ClipToFace(FaceExtent(box), face.width, face.height); };
    for (bool grown = true; grown;) {
        grown = false;
        const auto include = [&area, &grown](const IntRect& part) {
            if (!RectHolds(area, part)) {
                area = UniteRects(area, part);
                grown = true;
            }
        };
        for (const ChildLook& child : look.children) {
            const ChildLook* kept = KeptLookOf(face.drawn, child.child);
            if (kept && *kept == child)
                continue;
            include(extent(child.box));
            if (kept)
                include(extent(kept->box));
        }
        for (const ChildLook& kept : face.drawn.children) {
            if (!KeptLookOf(look, kept.child))
                include(extent(kept.box));
        }
        if (grown)
            ReadFaceLook(window, face.width, face.height, look, &face.drawn, area);
    }
    return area;
}

}  // namespace

UINT CompositionRequestMessage() {
    static const UINT message = sys::RegisterWindowMessageA("OffClock_Compose");
    return message;
}

void RequestComposition(HWND window) {
    KeptFace* face = FindFace(window);
    if (!face || face->requested || ComposesAtEnd(window))
        return;
    // Posted, the request waits for the message being handled and whatever else it marks: one composition
    // for a burst of moves or property writes. A request that cannot be posted is composed at once.
    const UINT message = CompositionRequestMessage();
    face->requested = message != 0 && sys::PostMessageA(window, message, 0, 0) != FALSE;
    if (!face->requested)
        ComposeWindow(window);
}

void SetCompositionObserver(const CompositionObserver& observer) {
    g_observer = observer;
}

bool ComposeWindow(HWND window) {
    int width = 0, height = 0;
    if (!WindowSize(window, width, height))
        return false;
    KeptFace* face = FaceAtSize(window, width, height);
    if (!face || IsEmptyRect(face->damage))
        return false;
    const IntRect whole{0, 0, width, height};
    FaceLook look;
    IntRect area = face->damage;
    if (area == whole) {
        ReadFaceLook(window, width, height, look);
    } else {
        ReadFaceLook(window, width, height, look, &face->drawn, area);
        area = AreaWithChangedChildrenWhole(window, *face, look, area);
    }
    auto* frame = static_cast<Gdiplus::GpBitmap*>(face->frame.get());
    // A failed drawing shows nothing: its part of the frame is not what the window is, and stays damaged.
    if (!DrawFace(frame, look, area, &face->text)) {
        face->damage = UniteRects(face->damage, area);
        RetryLater(window, face);
        return false;
    }
    face->damage = {};
    face->lastArea = area;
    face->drawn = std::move(look);
    // The copy from the frame takes the old caret line off; the caret is drawn again where it shows now.
    const IntRect copied = UniteRects(area, face->caretLine);
    if (!CopyImagePart(frame, face->surface, copied)) {
        face->damage = whole;
        face->caretLine = {};
        RetryLater(window, face);
        return false;
    }
    face->caretLine = DrawShownCaret(window, face);
    const IntRect dirty = UniteRects(copied, face->caretLine);
    const bool shown =
        Present(window, face, dirty == whole ? IntRect{} : dirty, IsEmptyRect(face->caretLine) ? 0 : 1, frame);
    if (shown && FindFace(window) == face)
        face->failures = 0;
    return shown;
}

ComposeAtEnd::ComposeAtEnd(HWND window) : window_(window) {
    g_composedAtEnd.push_back(window);
}

ComposeAtEnd::~ComposeAtEnd() {
    Finish();
}

bool ComposeAtEnd::Finish() {
    if (!open_)
        return false;
    open_ = false;
    const auto at = std::find(g_composedAtEnd.rbegin(), g_composedAtEnd.rend(), window_);
    if (at != g_composedAtEnd.rend())
        g_composedAtEnd.erase(std::next(at).base());
    return ComposeWindow(window_);
}

bool ComposesAtEnd(HWND window) {
    return std::find(g_composedAtEnd.begin(), g_composedAtEnd.end(), window) != g_composedAtEnd.end();
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
    if (withCaret)
        DrawFocusedCaret(window, face->surface.dc.get(), width, height);
    // Not retried: what failed to show was not the face.
    Present(window, face, {}, withCaret, nullptr, false);
}

void PresentCaret(HWND window, int visible) {
    KeptFace* face = FindFace(window);
    if (!face || !face->frame || (!visible && IsEmptyRect(face->caretLine)))
        return;
    int width = 0, height = 0;
    if (!WindowSize(window, width, height))
        return;
    if (!IsEmptyRect(face->damage) || width != face->width || height != face->height) {
        ComposeWindow(window);
        return;
    }
    // The old line is taken off by copying its part of the frame; the new one is drawn over the copy.
    const IntRect old = face->caretLine;
    face->caretLine = {};
    if (!CopyImagePart(face->frame.get(), face->surface, old)) {
        face->damage = {0, 0, face->width, face->height};
        RetryLater(window, face);
        return;
    }
    if (visible)
        face->caretLine = DrawFocusedCaret(window, face->surface.dc.get(), face->width, face->height);
    const IntRect dirty = UniteRects(old, face->caretLine);
    if (!IsEmptyRect(dirty))
        Present(window, face, dirty, visible, nullptr);
}

}  // namespace skin
