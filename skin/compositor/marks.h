#pragma once
// What marks a layered window's kept face (skin/compositor/face.h) where a change happens: a property write, a
// child's move, font, text, state or end, the window's resize. Each mark adds the changed part to the face's
// damage and has the window composed soon (RequestComposition, skin/compositor/compose.h).

#include <windows.h>

#include <cstdint>

namespace skin {

// The whole face of `window` must be drawn again.
void MarkWholeFace(HWND window);

// What changed of a child: its place, font, z-order or visibility, its end, or (kText) perhaps its text.
enum class ChildChange { kPlace, kText };

// The place of `child` in its parent's face, where it was drawn and where it is now, must be drawn again;
// for kText only when its text is not the one it was drawn with. True when anything was marked.
bool MarkChild(HWND child, ChildChange change = ChildChange::kPlace);

// Writes a property of `window` and marks what the write changes (EffectOfKey): the window's own face (whole), or
// its place in its parent's face. Every property the engine writes goes through here, so that none is missed.
void SetSkinProp(HWND window, const char* key, intptr_t value);

// Codes (SkinType, DrawState, BackType, alphas) use the low 32 bits only.
inline void SetSkinCode(HWND window, const char* key, int32_t value) {
    SetSkinProp(window, key, static_cast<intptr_t>(static_cast<uint32_t>(value)));
}

}  // namespace skin
