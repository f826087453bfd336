#include "skin/face.h"

#include <algorithm>
#include <new>

#include "gfx/sysapi.h"
#include "skin/binding.h"
#include "skin/compose.h"
#include "skin/keys.h"
#include "skin/look.h"
#include "skin/props.h"

namespace skin {

namespace {

// The parent whose face holds `window`: only a child window is drawn into another's face (a top-level
// window's GetParent is its owner).
HWND FaceParent(HWND window) {
    if (!window || (GetWindowLongPtrSys(window, GWL_STYLE) & WS_CHILD) == 0)
        return nullptr;
    return sys::GetParent(window);
}

// Adds `part` (clipped first: a union of far-apart rectangles saturates and would lose some) to the damage of
// `window`'s face, and has the window composed soon.
void AddDamage(HWND window, KeptFace* face, const IntRect& part) {
    const IntRect clipped = ClipToFace(part, face->width, face->height);
    if (IsEmptyRect(clipped))
        return;
    face->damage = UniteRects(face->damage, clipped);
    RequestComposition(window);
}

}  // namespace

KeptFace* FindFace(HWND window) {
    return window ? GetSkinPointer<KeptFace>(window, key::kSurface) : nullptr;
}

KeptFace* FaceAtSize(HWND window, int width, int height) {
    if (width <= 0 || height <= 0 || !sys::IsWindow(window))
        return nullptr;
    KeptFace* face = FindFace(window);
    if (!face) {
        face = new (std::nothrow) KeptFace();
        if (!face)
            return nullptr;
        // Bookkeeping, not a change of look: written without marking anything.
        sys::SetPropA(window, key::kSurface, reinterpret_cast<HANDLE>(face));
        SubclassForRelease(window);
    }
    if (face->width == width && face->height == height && face->frame && face->surface.bits)
        return face;
    face->width = face->height = 0;
    face->frame.reset();
    face->caretLine = {};
    Gdiplus::GpBitmap* frame = nullptr;
    // No pixel buffer given: GDI+ allocates one cleared to transparent black.
    sys::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &frame);
    face->frame.reset(frame);
    if (!face->frame || !MakeSurfaceDib(face->surface, width, height)) {
        face->frame.reset();
        return nullptr;
    }
    face->width = width;
    face->height = height;
    face->damage = {0, 0, width, height};
    return face;
}

void ReleaseFace(HWND window) {
    delete FindFace(window);
    sys::RemovePropA(window, key::kSurface);
}

void MarkWholeFace(HWND window) {
    if (KeptFace* face = FindFace(window))
        AddDamage(window, face, {0, 0, face->width, face->height});
}

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

bool MarkChild(HWND child, ChildChange change) {
    HWND parent = FaceParent(child);
    KeptFace* face = FindFace(parent);
    if (!face)
        return false;
    const auto drawn = std::find_if(face->drawn.children.begin(), face->drawn.children.end(),
                                    [child](const ChildLook& look) { return look.child == child; });
    const bool known = drawn != face->drawn.children.end();
    if (change == ChildChange::kText && known && ReadWindowText(child) == drawn->text)
        return false;
    IntRect now;
    if (!ChildBoxInParent(parent, child, now))
        now = {};
    const IntRect was = known ? drawn->box : IntRect{};
    AddDamage(parent, face, FaceExtent(now));
    AddDamage(parent, face, FaceExtent(was));
    return true;
}

void MarkPropertyWrite(HWND window, KeyEffect effect, intptr_t before, intptr_t after) {
    // Codes and colours are read from their low 32 bits only.
    if (effect == KeyEffect::kNone ||
        (effect == KeyEffect::kWhenChanged && static_cast<uint32_t>(before) == static_cast<uint32_t>(after)))
        return;
    if (FindFace(window))
        MarkWholeFace(window);
    else
        MarkChild(window);
}

}  // namespace skin
