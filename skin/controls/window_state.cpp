#include "skin/window_state.h"

#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "skin/binding.h"
#include "skin/compose.h"
#include "skin/keys.h"
#include "skin/props.h"
#include "skin/face.h"

namespace skin {

namespace {

using DecodedImages = std::vector<gfx::UniqueGpImage>;

constexpr const char* kEngineKeys[] = {
    key::kType,        key::kWndProc,       key::kChildWndProc, key::kBackType,     key::kCacheBitmap, key::kDrawState,
    key::kNormalImage, key::kOverImage,     key::kDownImage,    key::kDisableImage, key::kBackImage,   key::kBackColor,
    key::kBackAlpha,   key::kOrderColor,    key::kOrderAlpha,   key::kTextColor,    key::kToolTips,    key::kIsFocus,
    key::kTime,        key::kDecodedImages, key::kSurface,
};

}  // namespace

void KeepDecodedImage(HWND window, gfx::UniqueGpImage& image) {
    if (!image || !sys::IsWindow(window))
        return;
    auto* kept = GetSkinPointer<DecodedImages>(window, key::kDecodedImages);
    if (!kept) {
        kept = new (std::nothrow) DecodedImages();
        if (!kept)
            return;
        SetSkinProp(window, key::kDecodedImages, reinterpret_cast<intptr_t>(kept));
    }
    kept->push_back(std::move(image));
    SubclassForRelease(window);
}

HBITMAP ReplaceCacheBitmap(HWND window, HDC dc, int x, int y, int width, int height) {
    if (auto old = GetSkinPointer<std::remove_pointer_t<HBITMAP>>(window, key::kCacheBitmap))
        sys::DeleteObject(old);
    SetSkinProp(window, key::kCacheBitmap, 0);
    gfx::UniqueMemoryDC memory(sys::CreateCompatibleDC(dc));
    gfx::UniqueBitmap copy(sys::CreateCompatibleBitmap(dc, width, height));
    if (!memory || !copy)
        return nullptr;
    {
        gfx::ScopedSelect selected(memory.get(), copy.get());
        sys::BitBlt(memory.get(), 0, 0, width, height, dc, x, y, SRCCOPY);
    }
    HBITMAP kept = copy.release();
    SetSkinProp(window, key::kCacheBitmap, reinterpret_cast<intptr_t>(kept));
    return kept;
}

void ReleaseWindowState(HWND window) {
    // A child that goes leaves the parent's face (marked at WM_DESTROY too, where the system may not have
    // detached it yet); its images go with it.
    MarkChild(window);
    FocusCaretState& focus = FocusCaret();
    if (window == focus.focusChild)
        focus.focusChild = nullptr;
    if (window == focus.focusParent) {
        focus.focusParent = nullptr;
        focus.focusChild = nullptr;
    }
    if (auto cache = GetSkinPointer<std::remove_pointer_t<HBITMAP>>(window, key::kCacheBitmap))
        sys::DeleteObject(cache);
    // The images go after the window that drew them; nothing reads them again.
    delete GetSkinPointer<DecodedImages>(window, key::kDecodedImages);
    ReleaseFace(window);
    for (const char* name : kEngineKeys)
        sys::RemovePropA(window, name);
}

}  // namespace skin
