#pragma once
// What the engine's and the system's codes mean, decided without a window: the face of a button's state and
// its next state, alpha values, which property writes change a face, tooltip flags, and the edit
// notifications that need a repaint. Portable: no windows.h.

#include <cstdint>

namespace skin {

// Key of the face image that belongs to a DrawState code; any unknown state reads the normal face.
const char* StateImageKey(int32_t state);

// Alpha values are stored as 0..255.
int32_t ClampAlpha(int32_t alpha);

// What a write of a window property means for the face it is drawn into: nothing (the engine's own
// bookkeeping), a change when the value changes (codes and colours), always a change (an image handle: one
// freed and another made at the same address must be drawn again), or unknown (a key the engine does not
// know, which counts as a change).
enum class KeyEffect { kNone, kWhenChanged, kAlways, kUnknown };
KeyEffect EffectOfKey(const char* key);

// Tooltip registration flags: always TTF_SUBCLASS, plus TTF_CENTERTIP unless the tip follows the cursor.
inline constexpr uint32_t kTtfCenterTip = 0x0002;
inline constexpr uint32_t kTtfSubclass = 0x0010;
uint32_t ToolTipFlags(bool atCursor);

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
