#include "skin/floor/codes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "skin/floor/keys.h"

namespace skin {

const char* StateImageKey(int32_t state) {
    switch (state) {
        case kStateHover:
            return key::kOverImage;
        case kStateDown:
            return key::kDownImage;
        case kStateDisabled:
            return key::kDisableImage;
        default:
            return key::kNormalImage;
    }
}

int32_t ClampAlpha(int32_t alpha) {
    return alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
}

uint32_t ToolTipFlags(bool atCursor) {
    return atCursor ? kTtfSubclass : (kTtfSubclass | kTtfCenterTip);
}

bool EditCodeNeedsRepaint(uint32_t notificationCode) {
    return notificationCode == kEnChange || notificationCode == kEnHScroll || notificationCode == kEnVScroll;
}

bool MouseMoveEntersButton(int32_t state) {
    return state != kStateHover && state != kStateDown;
}

int32_t StateAfterButtonUp(int32_t state, bool pointerOver) {
    if (state == kStateDisabled)
        return state;
    return state == kStateDown && pointerOver ? kStateHover : kStateNormal;
}

int32_t StateAfterLeave(int32_t state) {
    return state == kStateDisabled ? state : kStateNormal;
}

int32_t StateAfterEnable(bool enabled) {
    return enabled ? kStateNormal : kStateDisabled;
}

KeyEffect EffectOfKey(const char* name) {
    if (!name)
        return KeyEffect::kUnknown;
    // What the engine keeps for itself: procedures, caches, tooltips, focus, timers, owned images and surfaces.
    static constexpr const char* kBookkeeping[] = {key::kWndProc,       key::kChildWndProc, key::kCacheBitmap,
                                                   key::kToolTips,      key::kIsFocus,      key::kTime,
                                                   key::kDecodedImages, key::kSurface};
    static constexpr const char* kImages[] = {key::kNormalImage, key::kOverImage, key::kDownImage, key::kDisableImage,
                                              key::kBackImage};
    static constexpr const char* kValues[] = {key::kType,      key::kBackType,   key::kDrawState,  key::kBackColor,
                                              key::kBackAlpha, key::kOrderColor, key::kOrderAlpha, key::kTextColor};
    const auto named = [name](const auto& keys) {
        return std::any_of(std::begin(keys), std::end(keys),
                           [name](const char* k) { return std::strcmp(k, name) == 0; });
    };
    if (named(kBookkeeping))
        return KeyEffect::kNone;
    if (named(kImages))
        return KeyEffect::kAlways;
    if (named(kValues))
        return KeyEffect::kWhenChanged;
    return KeyEffect::kUnknown;
}

}  // namespace skin
