#include "skin/rules.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "base/saturate.h"
#include "skin/keys.h"

namespace skin {

using base::TruncateToInt32;

IntSize FitSize(int32_t imageWidth, int32_t imageHeight, int32_t boxWidth, int32_t boxHeight) {
    IntSize s{imageWidth, imageHeight};
    if (imageWidth > boxWidth) {
        s.width = boxWidth;
        s.height = TruncateToInt32(static_cast<double>(imageHeight) * boxWidth / imageWidth);
    }
    if (s.height > boxHeight) {
        s.width = TruncateToInt32(static_cast<double>(s.width) * boxHeight / s.height);
        s.height = boxHeight;
    }
    return s;
}

Placement PlaceImage(int32_t backType, double imageWidth, double imageHeight, int32_t boxWidth, int32_t boxHeight) {
    Placement p{0, 0, imageWidth, imageHeight, false};
    if (backType == kBackStretch) {
        p.width = boxWidth;
        p.height = boxHeight;
    } else if (backType == kBackFit) {
        IntSize f = FitSize(TruncateToInt32(imageWidth), TruncateToInt32(imageHeight), boxWidth, boxHeight);
        p.x = TruncateToInt32((static_cast<double>(boxWidth) - f.width) / 2.0);
        p.y = TruncateToInt32((static_cast<double>(boxHeight) - f.height) / 2.0);
        p.width = f.width;
        p.height = f.height;
    }
    p.cropped = p.width - boxWidth > 1e-7 || p.height - boxHeight > 1e-7;
    return p;
}

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

MovePlan PlanMove(const MoveRequest& request, const IntRect& current) {
    MovePlan plan;
    plan.flags = kSwpNoZOrder;
    if (request.noRedraw.value_or(false))
        plan.flags |= kSwpNoRedraw;
    if (!request.left && !request.top)
        plan.flags |= kSwpNoMove;
    if (!request.width && !request.height)
        plan.flags |= kSwpNoSize;
    plan.rect.left = request.left.value_or(current.left);
    plan.rect.top = request.top.value_or(current.top);
    plan.rect.width = request.width.value_or(current.width);
    plan.rect.height = request.height.value_or(current.height);
    return plan;
}

uint32_t ToolTipFlags(bool atCursor) {
    return atCursor ? kTtfSubclass : (kTtfSubclass | kTtfCenterTip);
}

IntSize FrameOffset(int32_t windowWidth, int32_t windowHeight, int32_t clientWidth, int32_t clientHeight) {
    return {TruncateToInt32((static_cast<double>(windowWidth) - clientWidth) / 2.0),
            TruncateToInt32((static_cast<double>(windowHeight) - clientHeight) / 2.0)};
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

IntRect UniteRects(const IntRect& a, const IntRect& b) {
    if (IsEmptyRect(a))
        return IsEmptyRect(b) ? IntRect{} : b;
    if (IsEmptyRect(b))
        return a;
    // In 64 bits: far-apart rectangles of a hostile caller must not overflow.
    const int64_t left = std::min(a.left, b.left);
    const int64_t top = std::min(a.top, b.top);
    const int64_t right = std::max(int64_t{a.left} + a.width, int64_t{b.left} + b.width);
    const int64_t bottom = std::max(int64_t{a.top} + a.height, int64_t{b.top} + b.height);
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), TruncateToInt32(static_cast<double>(right - left)),
            TruncateToInt32(static_cast<double>(bottom - top))};
}

IntRect FaceExtent(const IntRect& box) {
    if (IsEmptyRect(box))
        return {};
    const auto grown = [](int32_t length) { return length < INT32_MAX ? length + 1 : length; };
    return {box.left, box.top, grown(box.width), grown(box.height)};
}

IntRect ClipToFace(const IntRect& r, int32_t width, int32_t height) {
    if (IsEmptyRect(r) || width <= 0 || height <= 0)
        return {};
    const int64_t left = std::max<int64_t>(r.left, 0);
    const int64_t top = std::max<int64_t>(r.top, 0);
    const int64_t right = std::min<int64_t>(int64_t{r.left} + r.width, width);
    const int64_t bottom = std::min<int64_t>(int64_t{r.top} + r.height, height);
    if (right <= left || bottom <= top)
        return {};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
            static_cast<int32_t>(bottom - top)};
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
