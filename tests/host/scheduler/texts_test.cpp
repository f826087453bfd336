#include "scheduler/texts.h"

#include <gtest/gtest.h>

#include <climits>

namespace scheduler {
namespace {

using Pieces = std::vector<std::string>;

TEST(CompareText, OrdersBytesAsUnsignedAndTreatsEmptyAsEqual) {
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_EQ(CompareText("12:00:00", "12:00:00"), 0);
    EXPECT_LT(CompareText("12", "12:"), 0);
    EXPECT_GT(CompareText("\xB8\xF1", "z"), 0);  // a GBK lead byte sorts after ASCII
    EXPECT_LT(CompareText("", "a"), 0);
}

TEST(CompareText, StopsAtTheFirstNul) {
    EXPECT_EQ(CompareText(std::string("ab\0cd", 5), "ab"), 0);
}

TEST(ConcatTexts, JoinsInOrderAndEmptyPartsAddNothing) {
    EXPECT_EQ(ConcatTexts({"Now-", "", "09", ":", "05"}), "Now-09:05");
    EXPECT_EQ(ConcatTexts({}), "");
}

TEST(SplitText, ThreePartTimeSplitsAtEachColon) {
    EXPECT_EQ(SplitText("08:30:00", ":"), (Pieces{"08", "30", "00"}));
}

TEST(SplitText, TrailingDelimiterAddsNoEmptyPiece) {
    EXPECT_EQ(SplitText("08:30:00:", ":"), (Pieces{"08", "30", "00"}));
}

TEST(SplitText, LeadingAndDoubledDelimitersGiveEmptyPieces) {
    EXPECT_EQ(SplitText(":08:30", ":"), (Pieces{"", "08", "30"}));
    EXPECT_EQ(SplitText("08::00", ":"), (Pieces{"08", "", "00"}));
    EXPECT_EQ(SplitText(":", ":"), (Pieces{""}));
}

TEST(SplitText, EmptyTextGivesNoPieceAndEmptyDelimiterGivesWholeText) {
    EXPECT_TRUE(SplitText("", ":").empty());
    EXPECT_EQ(SplitText("12:30", ""), (Pieces{"12:30"}));
}

TEST(SplitText, ColonInsideDoubleByteCharacterIsNotADelimiter) {
    // 0x81 and 0xFE start a double-byte character, so the colon after them is its second byte; 0x80 and 0xFF
    // stand alone.
    EXPECT_EQ(SplitText("\x81:12:30:00", ":"), (Pieces{"\x81:12", "30", "00"}));
    EXPECT_EQ(SplitText("\xFE:12:30", ":"), (Pieces{"\xFE:12", "30"}));
    EXPECT_EQ(SplitText("\x80:12:30", ":"), (Pieces{"\x80", "12", "30"}));
    EXPECT_EQ(SplitText("\xFF:12:30", ":"), (Pieces{"\xFF", "12", "30"}));
}

TEST(SplitText, FullWidthColonsDoNotSeparate) {
    const std::string entry =
        "12\xA3\xBA"
        "30\xA3\xBA"
        "00";  // 12：30：00
    EXPECT_EQ(SplitText(entry, ":"), (Pieces{entry}));
}

TEST(FoldFullWidth, GivesTheAsciiFormsAndLeavesOtherCharactersWhole) {
    EXPECT_EQ(FoldFullWidth("\xA3\xB2\xA3\xB2\xA3\xBA"
                            "30\xA3\xBA"
                            "00"),
              "22:30:00");  // ２２：30：00
    EXPECT_EQ(FoldFullWidth("\xA1\xA1\xA1\xAB\xA1\xEE"), " ~*");
    EXPECT_EQ(FoldFullWidth("\xCA\xB1\xA3\xBA"), "\xCA\xB1:");  // 时：
    // A3 as the second byte of a character starts no full-width form.
    EXPECT_EQ(FoldFullWidth("\xCA\xA3\xBA"), "\xCA\xA3\xBA");
    EXPECT_EQ(FoldFullWidth("\x80\xA3\xBA\xFF\xA3\xBA"), "\x80:\xFF:");  // 0x80 and 0xFF stand alone
    EXPECT_EQ(FoldFullWidth("7\xA3"), "7\xA3");                          // a lead byte cut off by the end
}

TEST(SplitText, LeadByteAtTheEndEndsTheScanAndStaysInTheLastPiece) {
    EXPECT_EQ(SplitText("12:3\xB0", ":"), (Pieces{"12", "3\xB0"}));
    EXPECT_EQ(SplitText("\xB0", ":"), (Pieces{"\xB0"}));
}

TEST(SplitText, MultiByteDelimiterAndDoubleByteTextAreHandled) {
    EXPECT_EQ(SplitText("a--b--", "--"), (Pieces{"a", "b"}));
    EXPECT_EQ(SplitText("\xCA\xB1:\xBC\xE4", ":"), (Pieces{"\xCA\xB1", "\xBC\xE4"}));
}

TEST(SplitText, TextEndsAtItsFirstNul) {
    EXPECT_EQ(SplitText(std::string("1:2\0:3", 6), ":"), (Pieces{"1", "2"}));
}

TEST(TextToInteger, ReadsLeadingNumberAsAtoiDoes) {
    EXPECT_EQ(TextToInteger("08"), 8);
    EXPECT_EQ(TextToInteger(" \t+17abc"), 17);
    EXPECT_EQ(TextToInteger("-3"), -3);
    EXPECT_EQ(TextToInteger("ab"), 0);
    EXPECT_EQ(TextToInteger(""), 0);
    EXPECT_EQ(TextToInteger("- 5"), 0);
    EXPECT_EQ(TextToInteger("12 34"), 12);
}

TEST(TextToInteger, FoldsFullWidthDigitsSignsAndBlank) {
    EXPECT_EQ(TextToInteger("\xA3\xB2\xA3\xB3"), 23);  // ２３
    EXPECT_EQ(TextToInteger("\xA1\xA1"
                            "\xA3\xB5"),
              5);  // full-width blank, ５
    EXPECT_EQ(TextToInteger("\xA3\xAD\xA3\xB1"
                            "2"),
              -12);  // －１ then ASCII 2
    EXPECT_EQ(TextToInteger("\xA3\xAB"
                            "7"),
              7);  // ＋7
}

TEST(TextToInteger, OtherDoubleByteCharactersStopTheNumber) {
    EXPECT_EQ(TextToInteger("\xCA\xB1"
                            "12"),
              0);
    EXPECT_EQ(TextToInteger("12\xCA\xB1"
                            "34"),
              12);
    EXPECT_EQ(TextToInteger("7\xA3"), 7);  // lead byte cut off by the end
}

TEST(TextToInteger, SaturatesBeyondThe32BitRange) {
    EXPECT_EQ(TextToInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(TextToInteger("2147483648"), INT32_MAX);
    EXPECT_EQ(TextToInteger("99999999999"), INT32_MAX);
    EXPECT_EQ(TextToInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(TextToInteger("-2147483649"), INT32_MIN);
    EXPECT_EQ(TextToInteger(std::string(400, '9')), INT32_MAX);
    EXPECT_EQ(TextToInteger("-" + std::string(400, '9')), INT32_MIN);
}

// Shortening never splits a double-byte character and leaves no blank before the "…" (\xA1\xAD).
TEST(ShortenText, CutsWholeCharactersToWhatFitsAndEndsWithAnEllipsis) {
    struct Case {
        std::string text;
        size_t fitBytes;
        std::string shortened;
    };
    const Case cases[] = {
        {"abcdef", 6, "abcdef"},
        {"abcdef", 5, "abc\xA1\xAD"},
        {"ab cdef", 5, "ab\xA1\xAD"},
        {"\xB9\xD8\xBB\xFA\xCA\xA7", 5, "\xB9\xD8\xA1\xAD"},  // 关机失 → 关…
        {"\xB9\xD8\xBB\xFA\xCA\xA7", 3, ""},
        {"abc", 2, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        auto fits = [&c](const std::string& t) { return t.size() <= c.fitBytes; };
        EXPECT_EQ(ShortenText(c.text, fits), c.shortened) << c.text << " in " << c.fitBytes;
    }
    EXPECT_EQ(ShortenText("abcdef", {}), "abcdef");
}

}  // namespace
}  // namespace scheduler
