#include "skin/compositor/look.h"

#include <algorithm>
#include <utility>

#include "gfx/sysapi.h"
#include "skin/floor/codes.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

Gdiplus::GpImage* GetStateImage(HWND window, int32_t state) {
    auto* face = GetSkinPointer<Gdiplus::GpImage>(window, StateImageKey(state));
    return face ? face : GetSkinPointer<Gdiplus::GpImage>(window, key::kNormalImage);
}

bool ChildBoxInParent(HWND parent, HWND child, IntRect& box) {
    RECT r{};
    if (!sys::GetWindowRect(child, &r))
        return false;
    POINT p{r.left, r.top};
    sys::ScreenToClient(parent, &p);
    box = {p.x, p.y, r.right - r.left, r.bottom - r.top};
    return true;
}

bool ReadChildLook(HWND parent, HWND child, ChildLook& look) {
    look.type = GetSkinCode(child, key::kType);
    if (look.type != kSkinImage && look.type != kSkinButton && look.type != kSkinPngControl)
        return false;
    if (!ChildBoxInParent(parent, child, look.box))
        return false;
    look.child = child;
    look.backType = GetSkinCode(child, key::kBackType);
    if (look.type == kSkinButton) {
        look.image = GetStateImage(child, GetSkinCode(child, key::kDrawState));
        return true;
    }
    look.image = GetSkinPointer<Gdiplus::GpImage>(child, key::kBackImage);
    if (look.type != kSkinPngControl)
        return true;
    look.backColor = GetSkinColor(child, key::kBackColor);
    look.backAlpha = static_cast<uint32_t>(GetSkinCode(child, key::kBackAlpha));
    look.orderColor = GetSkinColor(child, key::kOrderColor);
    look.orderAlpha = static_cast<uint32_t>(GetSkinCode(child, key::kOrderAlpha));
    look.textColor = GetSkinColor(child, key::kTextColor);
    look.font = reinterpret_cast<HFONT>(sys::SendMessageA(child, WM_GETFONT, 0, 0));
    look.text = ReadWindowText(child);
    return true;
}

void ReadFaceLook(HWND window, int width, int height, FaceLook& look, const FaceLook* kept, const IntRect& area) {
    look.width = width;
    look.height = height;
    look.back = GetSkinPointer<Gdiplus::GpImage>(window, key::kBackImage);
    look.children.clear();
    ChildLook child;
    for (HWND c = sys::GetWindow(window, GW_CHILD); c; c = sys::GetWindow(c, GW_HWNDNEXT)) {
        // Each property read is a round trip to the system (the wineserver under Wine): a second of the clock
        // reads the clock's look alone.
        if (kept) {
            const auto was = std::find_if(kept->children.begin(), kept->children.end(),
                                          [c](const ChildLook& look) { return look.child == c; });
            IntRect box;
            if (was != kept->children.end() && ChildBoxInParent(window, c, box) && box == was->box &&
                !RectsMeet(FaceExtent(box), area)) {
                look.children.push_back(*was);
                continue;
            }
        }
        child = {};
        if (ReadChildLook(window, c, child))
            look.children.push_back(std::move(child));
    }
}

}  // namespace skin
