#include "skin/floor/props.h"

#include <algorithm>
#include <climits>

namespace skin {

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
