#include "base/text.h"

#include <climits>

namespace base {

namespace {

template <typename To, typename From, typename Fn>
std::basic_string<To> Convert(std::basic_string_view<From> text, Fn convert) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX))
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = convert(text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::basic_string<To> out(static_cast<size_t>(needed), To{});
    const int written = convert(text.data(), length, out.data(), needed);
    out.resize(written > 0 && written <= needed ? static_cast<size_t>(written) : 0);
    return out;
}

}  // namespace

std::wstring Widen(std::string_view text, WideningFn convert) {
    return Convert<wchar_t>(text, convert);
}

std::string Narrow(std::wstring_view text, NarrowingFn convert) {
    return Convert<char>(text, convert);
}

}  // namespace base
