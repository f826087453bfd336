#include "skin/compositor/marks.h"

#include <algorithm>

#include "gfx/sysapi.h"
#include "skin/compositor/compose.h"
#include "skin/compositor/face.h"
#include "skin/compositor/look.h"
#include "skin/floor/codes.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

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

void MarkWholeFace(HWND window) {
    if (KeptFace* face = FindFace(window))
        AddDamage(window, face, {0, 0, face->width, face->height});
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

void SetSkinProp(HWND window, const char* key, intptr_t value) {
    // Each property read is a round trip to the system: the old value is read only where it decides.
    const KeyEffect effect = EffectOfKey(key);
    const intptr_t before = effect == KeyEffect::kWhenChanged ? GetSkinProp(window, key) : 0;
    sys::SetPropA(window, key, reinterpret_cast<HANDLE>(value));
    // Codes and colours are read from their low 32 bits only.
    if (effect == KeyEffect::kNone ||
        (effect == KeyEffect::kWhenChanged && static_cast<uint32_t>(before) == static_cast<uint32_t>(value)))
        return;
    if (FindFace(window))
        MarkWholeFace(window);
    else
        MarkChild(window);
}

}  // namespace skin
