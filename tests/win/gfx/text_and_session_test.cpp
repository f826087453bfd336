// ToUtf16 and the GDI+ session's frame-dimension identifier.

#include <gtest/gtest.h>

#include <vector>

#include "gfx/graphics.h"
#include "gfx_test_support.h"

namespace {

std::vector<uint8_t> BytesOf(const gfx::ByteBlock& b) {
    return std::vector<uint8_t>(b.bytes(), b.bytes() + b.size());
}

TEST(Utf16Blocks, AbcBecomesEightBytesInACountedBlock) {
    gfx::ByteBlock b = gfx::ToUtf16("abc");
    ASSERT_NE(b.data(), nullptr);
    EXPECT_EQ(BytesOf(b), (std::vector<uint8_t>{0x61, 0, 0x62, 0, 0x63, 0, 0, 0}));
    // Header: one dimension, eight bytes.
    EXPECT_EQ(std::vector<uint8_t>(b.data(), b.data() + 8), (std::vector<uint8_t>{1, 0, 0, 0, 8, 0, 0, 0}));
    EXPECT_STREQ(gfx::WideText(b), L"abc");
}

TEST(Utf16Blocks, EmptyAndAbsentTextsGiveJustTheTerminator) {
    EXPECT_EQ(BytesOf(gfx::ToUtf16("")), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(BytesOf(gfx::ToUtf16(nullptr)), (std::vector<uint8_t>{0, 0}));
    EXPECT_STREQ(gfx::WideText(gfx::ToUtf16(nullptr)), L"");
    EXPECT_STREQ(gfx::WideText(gfx::ByteBlock{}), L"");
}

TEST(Utf16Blocks, SystemCodePageTextIsConvertedCharacterByCharacter) {
    ASSERT_EQ(GetACP(), 936u) << "the test prefix runs with code page 936";
    // "时间" in GBK: U+65F6 U+95F4.
    gfx::ByteBlock b = gfx::ToUtf16("\xCA\xB1\xBC\xE4");
    EXPECT_EQ(BytesOf(b), (std::vector<uint8_t>{0xF6, 0x65, 0xF4, 0x95, 0, 0}));
}

TEST(GraphicsSession, FrameDimensionIsGdiplusFrameDimensionTimeUntilReleased) {
    gfx::StartGraphicsSession();
    const GUID time = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
    ASSERT_NE(gfx::FrameDimensionTime(), nullptr);
    EXPECT_TRUE(IsEqualGUID(*gfx::FrameDimensionTime(), time));

    gfx::ReleaseFrameDimension();
    EXPECT_EQ(gfx::FrameDimensionTime(), nullptr);
    gfx::ReleaseFrameDimension();  // a second release finds nothing to free
    EXPECT_EQ(gfx::FrameDimensionTime(), nullptr);

    // Images still decode without it; the other tests get it back.
    gfx::ByteBlock png = gfxtest::MakePng(4, 4, [](int, int) { return 0xFF102030u; });
    EXPECT_TRUE(gfx::LoadImageFromMemory(png.data()));
    gfx::StartGraphicsSession();
    ASSERT_NE(gfx::FrameDimensionTime(), nullptr);
    EXPECT_TRUE(IsEqualGUID(*gfx::FrameDimensionTime(), time));
}

}  // namespace
