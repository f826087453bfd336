#include "skin/props.h"

#include <algorithm>
#include <climits>

#include "skin/face.h"
#include "skin/rules.h"

namespace skin {

void SetSkinProp(HWND window, const char* key, intptr_t value) {
    // Each property read is a round trip to the system: the old value is read only where it decides.
    const KeyEffect effect = EffectOfKey(key);
    const intptr_t before = effect == KeyEffect::kWhenChanged ? GetSkinProp(window, key) : 0;
    sys::SetPropA(window, key, reinterpret_cast<HANDLE>(value));
    if (effect != KeyEffect::kNone)
        MarkPropertyWrite(window, effect, before, value);
}

std::string ReadWindowText(HWND window) {
    const int length = sys::GetWindowTextLengthA(window);
    if (length <= 0 || length == INT_MAX)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = sys::GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(std::min(copied, length)) : 0);
    return text;
}

}  // namespace skin
