#pragma once
// Window-property keys of the skin engine and the codes stored in them, spelled exactly as the engine has
// always stored them (IsFoucs, OverlImage and Order for border included). Portable: no windows.h.

#include <cstdint>

namespace skin {

namespace key {
inline constexpr const char kType[] = "PngControl_Type";
inline constexpr const char kWndProc[] = "PngControl_WndProc";
inline constexpr const char kChildWndProc[] = "PngControl_ChildWndProc";
inline constexpr const char kBackType[] = "PngControl_BackType";
inline constexpr const char kCacheBitmap[] = "PngControl_CacheBitmap";
inline constexpr const char kDrawState[] = "Lumen_DrawState";
inline constexpr const char kNormalImage[] = "PngControl_NormalImage";
inline constexpr const char kOverImage[] = "PngControl_OverlImage";
inline constexpr const char kDownImage[] = "PngControl_DownImage";
inline constexpr const char kDisableImage[] = "PngControl_DisableImage";
inline constexpr const char kBackImage[] = "PngControl_BackImage";
inline constexpr const char kBackColor[] = "PngControl_BackColor";
inline constexpr const char kBackAlpha[] = "PngControl_BackAlpha";
inline constexpr const char kOrderColor[] = "PngControl_OrderColor";
inline constexpr const char kOrderAlpha[] = "PngControl_OrderAlpha";
inline constexpr const char kTextColor[] = "PngControl_TextColor";
inline constexpr const char kToolTips[] = "Lumen_ToolTips";
inline constexpr const char kIsFocus[] = "PngControl_IsFoucs";
inline constexpr const char kTime[] = "PngControl_Time";
// The engine's own addition: the images it decoded for this window, disposed with the window.
inline constexpr const char kDecodedImages[] = "OffClock_DecodedImages";
// The engine's own addition: what a layered window keeps for presenting its face.
inline constexpr const char kSurface[] = "OffClock_Surface";
}  // namespace key

// PngControl_Type
enum SkinType : int32_t {
    kSkinNone = 0,
    kSkinLayeredWindow = 1,
    kSkinImage = 2,
    kSkinButton = 3,
    kSkinPngControl = 4,
};

// Lumen_DrawState
enum DrawState : int32_t {
    kStateNormal = 0,
    kStateHover = 1,
    kStateDown = 2,
    kStateDisabled = 3,
};

// PngControl_BackType
enum BackType : int32_t {
    kBackNaturalSize = 0,
    kBackStretch = 1,
    kBackFit = 2,
};

// 0xFFFFFFFF in a colour key means "draw nothing".
inline constexpr uint32_t kNoColor = 0xFFFFFFFFu;

}  // namespace skin
