// MemoryStream over real global memory and real COM streams.

#include <gtest/gtest.h>

#include <vector>

#include "gfx/memory_stream.h"
#include "gfx_test_support.h"

namespace {

std::vector<uint8_t> BytesOf(const gfx::ByteBlock& b) {
    return std::vector<uint8_t>(b.bytes(), b.bytes() + b.size());
}

std::vector<uint8_t> ReadAll(IStream* stream, size_t max) {
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    std::vector<uint8_t> out(max);
    ULONG got = 0;
    stream->Read(out.data(), static_cast<ULONG>(max), &got);
    out.resize(got);
    return out;
}

TEST(MemoryStreams, OpenFromDataGivesAStreamOverACopyOfTheBytes) {
    const uint8_t raw[] = {1, 2, 3, 4, 5, 250};
    gfx::ByteBlock data = gfxtest::BlockOf(raw, sizeof raw);
    gfx::MemoryStream ms;
    IStream* stream = ms.Open(data.data(), true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ms.GetStream(), stream);
    EXPECT_EQ(ms.GetSize(), sizeof raw);
    data.bytes()[0] = 99;  // the block is a copy
    EXPECT_EQ(ReadAll(stream, 64), (std::vector<uint8_t>{1, 2, 3, 4, 5, 250}));
    EXPECT_EQ(BytesOf(ms.ToBytes()), (std::vector<uint8_t>{1, 2, 3, 4, 5, 250}));
}

TEST(MemoryStreams, EmptyOrAbsentDataGivesAnEmptyStream) {
    gfx::MemoryStream ms;
    IStream* stream = ms.Open(nullptr, true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ms.GetSize(), 0u);
    EXPECT_TRUE(ReadAll(stream, 16).empty());
    EXPECT_EQ(ms.ToBytes().size(), 0u);
}

TEST(MemoryStreams, WriteModeGrowsWithWhatIsWritten) {
    gfx::MemoryStream ms;
    IStream* stream = ms.Open(nullptr, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ms.GetSize(), 0u);
    std::vector<uint8_t> payload(10000);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<uint8_t>(i * 31);
    ULONG written = 0;
    ASSERT_EQ(stream->Write(payload.data(), static_cast<ULONG>(payload.size()), &written), S_OK);
    ASSERT_EQ(written, payload.size());
    ASSERT_GE(ms.GetSize(), payload.size());
    std::vector<uint8_t> back = BytesOf(ms.ToBytes());
    back.resize(payload.size());
    EXPECT_EQ(back, payload);
}

TEST(MemoryStreams, FreeReleasesTheStreamAndForgetsBothHandles) {
    const uint8_t raw[] = {7, 7, 7};
    gfx::ByteBlock data = gfxtest::BlockOf(raw, sizeof raw);
    gfx::MemoryStream ms;
    IStream* stream = ms.Open(data.data(), true);
    ASSERT_NE(stream, nullptr);
    stream->AddRef();
    ms.Free();
    EXPECT_EQ(ms.GetStream(), nullptr);
    EXPECT_EQ(ms.GetBlock(), nullptr);
    EXPECT_EQ(ms.GetSize(), 0u);
    EXPECT_EQ(stream->Release(), 0u) << "our extra reference must be the last one";
}

TEST(MemoryStreams, OpeningAgainFreesTheEarlierBlock) {
    // Blocks of 4 MB: fifty leaked ones would be 200 MB of private bytes.
    gfx::ByteBlock big = gfx::ByteBlock::Zeroed(4u << 20);
    ASSERT_EQ(big.size(), 4u << 20);
    gfx::MemoryStream ms;
    ASSERT_NE(ms.Open(big.data(), true), nullptr);
    const long long growth = gfxtest::PrivateBytesGrowth(16 << 20, [&] {
        for (int i = 0; i < 50; ++i)
            ASSERT_NE(ms.Open(big.data(), true), nullptr);
    });
    std::printf("[ figures  ] 50 re-opens with 4 MB blocks: private bytes %+lld\n", growth);
    EXPECT_LT(growth, 16 << 20);
    EXPECT_EQ(ms.GetSize(), 4u << 20);
}

TEST(MemoryStreams, CloneSharesBlockAndStreamUntilBothLetGo) {
    const uint8_t raw[] = {9, 8, 7, 6};
    gfx::ByteBlock data = gfxtest::BlockOf(raw, sizeof raw);
    auto original = std::make_unique<gfx::MemoryStream>();
    IStream* stream = original->Open(data.data(), true);
    ASSERT_NE(stream, nullptr);
    std::unique_ptr<gfx::MemoryStream> copy = original->Clone();
    EXPECT_EQ(copy->GetStream(), stream);
    EXPECT_EQ(copy->GetBlock(), original->GetBlock());

    original->Release();
    original.reset();
    // The copy still reads the bytes: nothing was freed under it.
    EXPECT_EQ(copy->GetSize(), sizeof raw);
    EXPECT_EQ(ReadAll(copy->GetStream(), 16), (std::vector<uint8_t>{9, 8, 7, 6}));
    EXPECT_EQ(BytesOf(copy->ToBytes()), (std::vector<uint8_t>{9, 8, 7, 6}));

    stream->AddRef();
    copy.reset();
    EXPECT_EQ(stream->Release(), 0u) << "the last holder released the stream";
}

}  // namespace
