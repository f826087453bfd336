// Counted byte blocks: header layout, absent blocks, ownership.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gfx/byteblock.h"

namespace {

TEST(ByteBlocks, CopyOfLaysOutDimensionCountByteCountAndBytes) {
    const uint8_t raw[] = {0xDE, 0xAD, 0xBE};
    gfx::ByteBlock b = gfx::ByteBlock::CopyOf(raw, sizeof raw);
    ASSERT_NE(b.data(), nullptr);
    EXPECT_EQ(std::vector<uint8_t>(b.data(), b.data() + 11),
              (std::vector<uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 0xDE, 0xAD, 0xBE}));
    EXPECT_EQ(b.size(), 3u);
    EXPECT_EQ(gfx::BlockByteCount(b.data()), 3u);
    EXPECT_EQ(gfx::BlockBytes(b.data()), b.bytes());
}

TEST(ByteBlocks, ZeroedBlockIsAllZeroAndAnEmptyOneHasAHeader) {
    gfx::ByteBlock b = gfx::ByteBlock::Zeroed(5);
    EXPECT_EQ(std::vector<uint8_t>(b.bytes(), b.bytes() + 5), std::vector<uint8_t>(5, 0));
    gfx::ByteBlock empty = gfx::ByteBlock::Zeroed(0);
    ASSERT_NE(empty.data(), nullptr);
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_EQ(gfx::BlockByteCount(empty.data()), 0u);
}

TEST(ByteBlocks, AbsentBlockCountsAsEmpty) {
    gfx::ByteBlock none;
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.bytes(), nullptr);
    EXPECT_EQ(none.size(), 0u);
    EXPECT_EQ(gfx::BlockByteCount(nullptr), 0u);
    EXPECT_EQ(gfx::BlockBytes(nullptr), nullptr);
}

TEST(ByteBlocks, MovingHandsTheBlockOver) {
    const uint8_t raw[] = {1, 2};
    gfx::ByteBlock a = gfx::ByteBlock::CopyOf(raw, 2);
    const uint8_t* where = a.data();
    gfx::ByteBlock b = std::move(a);
    EXPECT_EQ(b.data(), where);
    EXPECT_EQ(a.data(), nullptr);  // NOLINT(bugprone-use-after-move): the moved-from block is empty
    a = std::move(b);
    EXPECT_EQ(a.data(), where);
    EXPECT_EQ(a.size(), 2u);
}

}  // namespace
