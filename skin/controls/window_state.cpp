#include "skin/controls/window_state.h"

#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "skin/compositor/caret.h"
#include "skin/compositor/face.h"
#include "skin/compositor/marks.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace skin {

namespace {

constexpr const char* kEngineKeys[] = {
    key::kType,        key::kWndProc,       key::kChildWndProc, key::kBackType,     key::kCacheBitmap, key::kDrawState,
    key::kNormalImage, key::kOverImage,     key::kDownImage,    key::kDisableImage, key::kBackImage,   key::kBackColor,
    key::kBackAlpha,   key::kOrderColor,    key::kOrderAlpha,   key::kTextColor,    key::kToolTips,    key::kIsFocus,
    key::kTime,        key::kDecodedImages, key::kSurface,
};

}  // namespace

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
    ForgetCaretWindow(window);
    if (auto cache = GetSkinPointer<std::remove_pointer_t<HBITMAP>>(window, key::kCacheBitmap))
        sys::DeleteObject(cache);
    // The images go after the window that drew them; nothing reads them again.
    delete GetSkinPointer<DecodedImages>(window, key::kDecodedImages);
    ReleaseFace(window);
    for (const char* name : kEngineKeys)
        sys::RemovePropA(window, name);
}

}  // namespace skin
