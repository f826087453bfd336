#pragma once
// The scheduler's text helpers. Texts are GBK byte strings that end at their first NUL; an absent text is
// the empty string. Portable: no windows.h.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace scheduler {

// Negative, 0 or positive: bytes compared as unsigned up to the first difference or the end.
int CompareText(const std::string& a, const std::string& b);

// The texts one after another.
std::string ConcatTexts(std::initializer_list<std::string_view> texts);

// Splits at every `delimiter`, stepping over GBK double-byte characters whole, so a delimiter byte inside
// one is never taken. A leading or doubled delimiter gives an empty piece, a trailing one does not; an empty
// text gives no piece and an empty delimiter gives the whole text as one piece.
std::vector<std::string> SplitText(const std::string& text, const std::string& delimiter);

// Full-width forms that people type with a Chinese input method in place of the ASCII ones, folded to ASCII:
// GBK A3A1 to A3FE (digits, signs, colons, letters) and the full-width blank, tilde and asterisk.
std::string FoldFullWidth(std::string_view text);

// Folds full-width digits, signs and blanks to ASCII, then reads a leading decimal number as atoi does.
// A number beyond the 32-bit range saturates to INT32_MIN or INT32_MAX.
int32_t TextToInteger(const std::string& text);

// `text` when it fits, else its longest start (whole characters, no trailing blank) that fits followed by "…";
// empty when no start does. No `fits`: everything fits.
std::string ShortenText(const std::string& text, const std::function<bool(const std::string& text)>& fits);

}  // namespace scheduler
