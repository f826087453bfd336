#include "skin/rules.h"

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
    return state == kStateDown && pointerOver ? kStateHover : kStateNormal;
}

int32_t StateAfterEnable(bool enabled) {
    return enabled ? kStateNormal : kStateDisabled;
}

}  // namespace skin
