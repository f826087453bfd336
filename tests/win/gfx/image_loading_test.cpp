// Decoding images from memory with the real GDI+ of the system: sizes, pixels, failures, animation, and
// that a decoded image depends on no memory of the loader.

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "assets/embedded_images.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx_test_support.h"

namespace {

using gfxtest::ImageSize;
using gfxtest::PixelAt;
using gfxtest::SizeOf;

// A pattern with every channel varying and partly transparent pixels, so that a wrong row, a lost alpha or
// a premultiplication round trip all show.
Gdiplus::ARGB Pattern(int x, int y) {
    const uint32_t a = 0x20u + static_cast<uint32_t>((x * 7 + y) % 0xE0);
    return (a << 24) | (static_cast<uint32_t>(x * 8) << 16) | (static_cast<uint32_t>(y * 8) << 8) |
           static_cast<uint32_t>((x ^ y) * 5);
}

// GIF89a, 1 x 1, two frames of 100 ms: frame 0 red (palette index 0), frame 1 green (index 1).
const uint8_t kTwoFrameGif[] = {
    'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,  // screen, 2-colour table
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,                                            // red, green
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                                // frame 0 control
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,                    // frame 0 descriptor
    0x02, 0x02, 0x44, 0x01, 0x00,                                                  // LZW: clear, 0, end
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                                // frame 1 control
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,                    // frame 1 descriptor
    0x02, 0x02, 0x4C, 0x01, 0x00,                                                  // LZW: clear, 1, end
    0x3B,
};
constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kGreen = 0xFF00FF00;

class ImageLoading : public testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureGraphicsSession(); }
};

TEST_F(ImageLoading, PngDecodesToItsSizeWithEveryPixelExact) {
    gfx::ByteBlock png = gfxtest::MakePng(32, 32, Pattern);
    ASSERT_GT(png.size(), 8u);
    gfx::UniqueGpImage image = gfx::LoadImageFromMemory(png.data());
    ASSERT_TRUE(image);
    EXPECT_EQ(SizeOf(image.get()), (ImageSize{32, 32}));
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            wrong += PixelAt(image.get(), x, y) != Pattern(x, y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(ImageLoading, EmbeddedImagesAToFDecodeToTheirSizesAndGToNoImage) {
    struct Case {
        const char* name;
        const uint8_t* block;
        ImageSize size;
    };
    const Case cases[] = {
        {"A", assets::kStartPicture, {32, 32}}, {"B", assets::kStartLitPicture, {32, 32}},
        {"C", assets::kStopPicture, {32, 32}},  {"D", assets::kStopLitPicture, {32, 32}},
        {"E", assets::kClosePicture, {16, 16}}, {"F", assets::kMainWindowPicture, {128, 128}},
    };
    for (const Case& c : cases) {
        gfx::UniqueGpImage image = gfx::LoadImageFromMemory(c.block);
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(SizeOf(image.get()), c.size) << c.name;
    }
    EXPECT_EQ(gfx::BlockByteCount(assets::kNoPicture), 0u);
    EXPECT_FALSE(gfx::LoadImageFromMemory(assets::kNoPicture));
}

TEST_F(ImageLoading, EmptyAbsentRandomAndTruncatedBytesGiveNoImage) {
    EXPECT_FALSE(gfx::LoadImageFromMemory(nullptr));
    gfx::ByteBlock empty = gfx::ByteBlock::Zeroed(0);
    EXPECT_FALSE(gfx::LoadImageFromMemory(empty.data()));

    gfx::ByteBlock noise = gfx::ByteBlock::Zeroed(4096);
    uint32_t state = 12345;
    for (uint32_t i = 0; i < noise.size(); ++i) {
        state = state * 1103515245u + 12345u;
        noise.bytes()[i] = static_cast<uint8_t>(state >> 16);
    }
    EXPECT_FALSE(gfx::LoadImageFromMemory(noise.data()));

    gfx::ByteBlock png = gfxtest::MakePng(32, 32, Pattern);
    ASSERT_GT(png.size(), 100u);
    for (uint32_t keep : {8u, 33u, png.size() / 2}) {
        gfx::ByteBlock cut = gfx::ByteBlock::CopyOf(png.bytes(), keep);
        EXPECT_FALSE(gfx::LoadImageFromMemory(cut.data())) << keep << " of " << png.size() << " bytes";
    }
}

TEST_F(ImageLoading, MetafileBytesGiveNoImage) {
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    Rectangle(recorder, 0, 0, 40, 30);
    HENHMETAFILE emf = CloseEnhMetaFile(recorder);
    const UINT n = GetEnhMetaFileBits(emf, 0, nullptr);
    std::vector<uint8_t> bytes(n);
    GetEnhMetaFileBits(emf, n, bytes.data());
    DeleteEnhMetaFile(emf);
    gfx::ByteBlock block = gfxtest::BlockOf(bytes.data(), bytes.size());

    // GDI+ reads them as a metafile, which has no pixels of its own to copy.
    gfx::MemoryStream raw;
    gfx::UniqueGpImage metafile;
    ASSERT_EQ(sys::GdipLoadImageFromStream(raw.Open(block.data(), true), metafile.put()), Gdiplus::Ok);
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    sys::GdipGetImageType(metafile.get(), &type);
    ASSERT_EQ(type, Gdiplus::ImageTypeMetafile);

    EXPECT_FALSE(gfx::LoadImageFromMemory(block.data()));
}

TEST_F(ImageLoading, AnimatedGifIsShownAtItsFirstFrame) {
    gfx::ByteBlock gif = gfxtest::BlockOf(kTwoFrameGif, sizeof kTwoFrameGif);

    // The bytes really animate: decoded as they are, they hold two frames of different colours.
    gfx::MemoryStream raw;
    IStream* stream = raw.Open(gif.data(), true);
    ASSERT_NE(stream, nullptr);
    gfx::UniqueGpImage animated;
    ASSERT_EQ(sys::GdipLoadImageFromStream(stream, animated.put()), Gdiplus::Ok);
    UINT frames = 0;
    Gdiplus::DllExports::GdipImageGetFrameCount(animated.get(), gfx::FrameDimensionTime(), &frames);
    ASSERT_EQ(frames, 2u);
    ASSERT_EQ(sys::GdipImageSelectActiveFrame(animated.get(), gfx::FrameDimensionTime(), 1), Gdiplus::Ok);
    ASSERT_EQ(PixelAt(animated.get(), 0, 0), kGreen);

    gfx::UniqueGpImage image = gfx::LoadImageFromMemory(gif.data());
    ASSERT_TRUE(image);
    EXPECT_EQ(SizeOf(image.get()), (ImageSize{1, 1}));
    EXPECT_EQ(PixelAt(image.get(), 0, 0), kRed);
}

TEST_F(ImageLoading, DecodedImageOutlivesItsSourceBytesAndTheLoadersMemory) {
    gfx::UniqueGpImage image;
    {
        gfx::ByteBlock png = gfxtest::MakePng(32, 32, Pattern);
        image = gfx::LoadImageFromMemory(png.data());
        std::memset(png.bytes(), 0xCD, png.size());
    }
    ASSERT_TRUE(image);
    // Churn global memory so that anything the image still pointed into would be overwritten.
    std::vector<HGLOBAL> blocks;
    for (int i = 0; i < 64; ++i) {
        HGLOBAL b = GlobalAlloc(GMEM_FIXED, 4096);
        std::memset(static_cast<void*>(b), 0xAB, 4096);
        blocks.push_back(b);
    }
    for (HGLOBAL b : blocks)
        GlobalFree(b);

    int wrong = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            wrong += PixelAt(image.get(), x, y) != Pattern(x, y);
    EXPECT_EQ(wrong, 0);

    // And it draws: into an ARGB bitmap, a pixel arrives with its colour.
    Gdiplus::GpBitmap* target = nullptr;
    ASSERT_EQ(sys::GdipCreateBitmapFromScan0(32, 32, 0, PixelFormat32bppARGB, nullptr, &target), Gdiplus::Ok);
    gfx::UniqueGpImage targetHolder(target);
    gfx::UniqueGpGraphics g;
    ASSERT_EQ(sys::GdipGetImageGraphicsContext(target, g.put()), Gdiplus::Ok);
    ASSERT_EQ(Gdiplus::DllExports::GdipDrawImageRectI(g.get(), image.get(), 0, 0, 32, 32), Gdiplus::Ok);
    g.reset();
    const Gdiplus::ARGB drawn = PixelAt(target, 31, 31);
    EXPECT_EQ(drawn >> 24, Pattern(31, 31) >> 24);
}

TEST_F(ImageLoading, TenThousandDecodesAndDisposalsLeavePrivateBytesFlat) {
    // Image A: the start button's face, 32 x 32 with large private chunks.
    const uint8_t* png = assets::kStartPicture;
    auto decodeAndDispose = [&](int times) {
        int decoded = 0;
        for (int i = 0; i < times; ++i) {
            decoded += static_cast<bool>(gfx::LoadImageFromMemory(png));
        }
        return decoded;
    };
    ASSERT_EQ(decodeAndDispose(500), 500);  // warm-up: codec caches, heap growth
    const DWORD start = GetTickCount();
    const long long growth = gfxtest::PrivateBytesGrowth(1 << 20, [&] { EXPECT_EQ(decodeAndDispose(10000), 10000); });
    const DWORD elapsed = GetTickCount() - start;
    std::printf("[ figures  ] 10000 decodes of a %u-byte PNG: private bytes %+lld, %lu ms\n", gfx::BlockByteCount(png),
                growth, static_cast<unsigned long>(elapsed));
    // One leaked block per decode would be 10000 x the PNG's size plus the pixels.
    EXPECT_LT(growth, 1 << 20);
}

}  // namespace
