#pragma once
// The geometry of the skin engine, which needs no window: sizes and rectangles, the fitting and place of an
// image in a box, the rectangles of a face that must be drawn again, the plan of a move, a control's frame.
// Portable: no windows.h.

#include <cstdint>
#include <optional>

namespace skin {

struct IntSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const IntSize&) const = default;
};

// Shrinks (never enlarges) an image to fit a box, keeping its aspect ratio; truncates toward zero.
// Degenerate sizes (zero or negative) never divide by zero: they come back unchanged or clamped to the box.
IntSize FitSize(int32_t imageWidth, int32_t imageHeight, int32_t boxWidth, int32_t boxHeight);

// Where an image of (imageWidth, imageHeight) lands in a box of (boxWidth, boxHeight) for a BackType code.
struct ImagePlace {
    int32_t x = 0;
    int32_t y = 0;
    double width = 0;
    double height = 0;
    // NaturalSize image larger than the box: only its top-left box-sized part is to be drawn.
    bool cropped = false;
    bool operator==(const ImagePlace&) const = default;
};
ImagePlace PlaceImage(int32_t backType, double imageWidth, double imageHeight, int32_t boxWidth, int32_t boxHeight);

// SetWindowPos flags for a move where only some of the placement is given.
inline constexpr uint32_t kSwpNoSize = 0x0001;
inline constexpr uint32_t kSwpNoMove = 0x0002;
inline constexpr uint32_t kSwpNoZOrder = 0x0004;
inline constexpr uint32_t kSwpNoRedraw = 0x0008;

struct MoveRequest {
    std::optional<int32_t> left = std::nullopt;
    std::optional<int32_t> top = std::nullopt;
    std::optional<int32_t> width = std::nullopt;
    std::optional<int32_t> height = std::nullopt;
    std::optional<bool> noRedraw = std::nullopt;
};

struct IntRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const IntRect&) const = default;
};

struct MovePlan {
    IntRect rect;
    uint32_t flags = 0;
    bool operator==(const MovePlan&) const = default;
};

// The smallest rectangle holding both; an empty one (no width or height) adds nothing.
IntRect UniteRects(const IntRect& a, const IntRect& b);

// `r` clipped to a face of `width`×`height` at (0, 0); empty when nothing of it lies on the face.
IntRect ClipToFace(const IntRect& r, int32_t width, int32_t height);

inline bool IsEmptyRect(const IntRect& r) {
    return r.width <= 0 || r.height <= 0;
}

inline bool RectsMeet(const IntRect& a, const IntRect& b) {
    return !IsEmptyRect(a) && !IsEmptyRect(b) && a.left < b.left + b.width && b.left < a.left + a.width &&
           a.top < b.top + b.height && b.top < a.top + a.height;
}

// Whether `outer` holds all of `inner` (an empty `inner` is held by anything).
inline bool RectHolds(const IntRect& outer, const IntRect& inner) {
    return IsEmptyRect(inner) || (!IsEmptyRect(outer) && inner.left >= outer.left && inner.top >= outer.top &&
                                  int64_t{inner.left} + inner.width <= int64_t{outer.left} + outer.width &&
                                  int64_t{inner.top} + inner.height <= int64_t{outer.top} + outer.height);
}

// The pixels a child's face may cover for its box: a border drawn with a one-pixel pen along the box's edges
// lies one pixel right of and below it. A box of the largest width or height keeps it.
IntRect FaceExtent(const IntRect& box);

// Fills what the request omits from the current placement (`current`: position in the parent's client
// coordinates, size of the window rectangle) and chooses the flags.
MovePlan PlanMove(const MoveRequest& request, const IntRect& current);

// The frame of a control is taken to be equally thick on opposite sides.
IntSize FrameOffset(int32_t windowWidth, int32_t windowHeight, int32_t clientWidth, int32_t clientHeight);

}  // namespace skin
