// The arithmetic around the system's converters, with stand-in converters: Latin-1 both ways, one that fails
// and one that writes less than it asked for.
#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

namespace base {
namespace {

int g_calls = 0;

int Latin1Widen(const char* bytes, int count, wchar_t* out, int outCount) {
    ++g_calls;
    if (!out)
        return count;
    if (outCount < count)
        return 0;
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>(bytes[i]);
    return count;
}

int Latin1Narrow(const wchar_t* units, int count, char* out, int outCount) {
    if (!out)
        return count;
    if (outCount < count)
        return 0;
    for (int i = 0; i < count; ++i)
        out[i] = units[i] < 0x100 ? static_cast<char>(units[i]) : '?';
    return count;
}

int Failing(const char*, int, wchar_t*, int) {
    return 0;
}

// Asks for room for every byte but writes only half of them, as a converter folding pairs would.
int WritesHalf(const char* bytes, int count, wchar_t* out, int) {
    if (!out)
        return count;
    for (int i = 0; i < count / 2; ++i)
        out[i] = static_cast<unsigned char>(bytes[i]);
    return count / 2;
}

TEST(Widen, ConvertsEveryByteAndAddsNoTerminator) {
    const std::wstring wide = Widen(std::string_view("a\xE9z\0b", 5), Latin1Widen);
    EXPECT_EQ(wide, std::wstring(L"a\u00E9z\0b", 5)) << "a NUL inside the view is converted too";
}

TEST(Widen, EmptyTextIsEmptyWithoutAskingTheConverter) {
    g_calls = 0;
    EXPECT_EQ(Widen("", Latin1Widen), L"");
    EXPECT_EQ(g_calls, 0);
}

TEST(Widen, AFailingConverterGivesEmptyAndAShortOneIsTrimmedToWhatItWrote) {
    EXPECT_EQ(Widen("abc", Failing), L"");
    EXPECT_EQ(Widen("abcdef", WritesHalf), L"abc");
}

TEST(Narrow, RoundTripsThroughTheConverter) {
    EXPECT_EQ(Narrow(L"12:30:00", Latin1Narrow), "12:30:00");
    EXPECT_EQ(Narrow(L"x\u4E2Dy", Latin1Narrow), "x?y");
    EXPECT_EQ(Narrow(L"", Latin1Narrow), "");
}

}  // namespace
}  // namespace base
