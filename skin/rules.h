#pragma once
// The arithmetic and choices of the skin engine that need no window: image fitting and placement, the
// flags of a move, alpha clamping, the key of a state's face, the frame thickness of a control, which
// property writes change a face, and the rectangles of a face that must be drawn again.
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
struct Placement {
    int32_t x = 0;
    int32_t y = 0;
    double width = 0;
    double height = 0;
    // NaturalSize image larger than the box: only its top-left box-sized part is to be drawn.
    bool cropped = false;
    bool operator==(const Placement&) const = default;
};
Placement PlaceImage(int32_t backType, double imageWidth, double imageHeight, int32_t boxWidth, int32_t boxHeight);

// Key of the face image that belongs to a DrawState code; any unknown state reads the normal face.
const char* StateImageKey(int32_t state);

// Alpha values are stored as 0..255.
int32_t ClampAlpha(int32_t alpha);

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

// What a write of a window property means for the face it is drawn into: nothing (the engine's own
// bookkeeping), a change when the value changes (codes and colours), always a change (an image handle: one
// freed and another made at the same address must be drawn again), or unknown (a key the engine does not
// know, which counts as a change).
enum class KeyEffect { kNone, kWhenChanged, kAlways, kUnknown };
KeyEffect EffectOfKey(const char* key);

// Fills what the request omits from the current placement (`current`: position in the parent's client
// coordinates, size of the window rectangle) and chooses the flags.
MovePlan PlanMove(const MoveRequest& request, const IntRect& current);

// Tooltip registration flags: always TTF_SUBCLASS, plus TTF_CENTERTIP unless the tip follows the cursor.
inline constexpr uint32_t kTtfCenterTip = 0x0002;
inline constexpr uint32_t kTtfSubclass = 0x0010;
uint32_t ToolTipFlags(bool atCursor);

// The frame of a control is taken to be equally thick on opposite sides.
IntSize FrameOffset(int32_t windowWidth, int32_t windowHeight, int32_t clientWidth, int32_t clientHeight);

// Edit notifications after which a skinned edit box must be erased and repainted.
inline constexpr uint32_t kEnChange = 0x0300;
inline constexpr uint32_t kEnHScroll = 0x0601;
inline constexpr uint32_t kEnVScroll = 0x0602;
bool EditCodeNeedsRepaint(uint32_t notificationCode);

// The next DrawState of a button for the events both button procedures share. A leave or a release leaves a
// disabled button Disabled.
bool MouseMoveEntersButton(int32_t state);  // the move that needs leave tracking and a repaint
// A release ends a press in Hover while the pointer is over the button; released elsewhere, or with no press
// before it, the button is Normal.
int32_t StateAfterButtonUp(int32_t state, bool pointerOver);
int32_t StateAfterLeave(int32_t state);
int32_t StateAfterEnable(bool enabled);

}  // namespace skin
