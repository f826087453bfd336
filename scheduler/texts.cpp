#include "scheduler/texts.h"

#include <cstring>
#include <limits>

namespace scheduler {

namespace {

// Texts end at their first NUL, as they do when they come from a window.
std::string_view TextBytes(const std::string& text) {
    return std::string_view(text.c_str(), std::strlen(text.c_str()));
}

// GBK's first bytes of a double-byte character; 0x80 and 0xFF stand alone.
bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string FoldFullWidth(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(lead) || i + 1 >= text.size()) {
            folded.push_back(text[i]);
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            folded.push_back(static_cast<char>(trail - 0x80));
        else if (lead == 0xA1 && trail == 0xA1)
            folded.push_back(' ');
        else if (lead == 0xA1 && trail == 0xAB)
            folded.push_back('~');
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            folded.push_back('*');
        else
            folded.append(text.substr(i, 2));
        i += 2;
    }
    return folded;
}

int CompareText(const std::string& a, const std::string& b) {
    return std::strcmp(a.c_str(), b.c_str());
}

std::string ConcatTexts(std::initializer_list<std::string_view> texts) {
    size_t size = 0;
    for (std::string_view t : texts)
        size += t.size();
    std::string joined;
    joined.reserve(size);
    for (std::string_view t : texts)
        joined.append(t);
    return joined;
}

std::vector<std::string> SplitText(const std::string& text, const std::string& delimiter) {
    const std::string_view bytes = TextBytes(text);
    const std::string_view delim = TextBytes(delimiter);
    std::vector<std::string> pieces;
    if (bytes.empty())
        return pieces;
    if (delim.empty()) {
        pieces.emplace_back(bytes);
        return pieces;
    }
    size_t pieceStart = 0;
    size_t cursor = 0;
    while (bytes.size() - cursor >= delim.size()) {
        if (bytes.compare(cursor, delim.size(), delim) == 0) {
            pieces.emplace_back(bytes.substr(pieceStart, cursor - pieceStart));
            cursor += delim.size();
            pieceStart = cursor;
        } else if (IsLeadByte(static_cast<unsigned char>(bytes[cursor]))) {
            if (cursor + 1 >= bytes.size())
                break;  // a lead byte cut off by the end of the text
            cursor += 2;
        } else {
            ++cursor;
        }
    }
    if (pieceStart < bytes.size())
        pieces.emplace_back(bytes.substr(pieceStart));
    return pieces;
}

int32_t TextToInteger(const std::string& text) {
    const std::string folded = FoldFullWidth(TextBytes(text));
    size_t i = 0;
    while (i < folded.size() && IsCSpace(folded[i]))
        ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Counted in 64 bits and capped just past the 32-bit range, so long digit runs cannot overflow.
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (folded[i] - '0');
        if (magnitude > kCap)
            magnitude = kCap;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);  // -kCap is INT32_MIN itself
}

std::string ShortenText(const std::string& text, const std::function<bool(const std::string& text)>& fits) {
    if (!fits || fits(text))
        return text;
    constexpr char kEllipsis[] = "\xA1\xAD";  // …
    // Where each whole character ends.
    std::vector<size_t> ends;
    for (size_t at = 0; at < text.size();) {
        at += IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
        ends.push_back(at);
    }
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        std::string start = text.substr(0, *end);
        while (!start.empty() && start.back() == ' ')
            start.pop_back();
        if (start.empty())
            break;
        const std::string shortened = start + kEllipsis;
        if (fits(shortened))
            return shortened;
    }
    return std::string();
}

}  // namespace scheduler
