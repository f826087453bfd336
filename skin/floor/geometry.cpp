#include "skin/floor/geometry.h"

#include <algorithm>
#include <cstdint>

#include "base/saturate.h"
#include "skin/floor/keys.h"

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

ImagePlace PlaceImage(int32_t backType, double imageWidth, double imageHeight, int32_t boxWidth, int32_t boxHeight) {
    ImagePlace p{0, 0, imageWidth, imageHeight, false};
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

IntSize FrameOffset(int32_t windowWidth, int32_t windowHeight, int32_t clientWidth, int32_t clientHeight) {
    return {TruncateToInt32((static_cast<double>(windowWidth) - clientWidth) / 2.0),
            TruncateToInt32((static_cast<double>(windowHeight) - clientHeight) / 2.0)};
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

}  // namespace skin
