// Checks the committed picture files themselves: the formats the program's decoders and Windows expect, and
// enough of each picture (transparent ground, opaque face, soft edges) that a regenerated set stays usable.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAsset(const std::string& name) {
    std::ifstream in(std::string(OC_ASSETS_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Be32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
uint32_t Le16(const Bytes& b, size_t at) {
    return b[at] | uint32_t(b[at + 1]) << 8;
}
uint32_t Le32(const Bytes& b, size_t at) {
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

struct Rgba {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> px;  // 4 bytes a pixel, rows top-down
    const uint8_t* At(uint32_t x, uint32_t y) const { return &px[(size_t(y) * width + x) * 4]; }
    int AlphaAt(uint32_t x, uint32_t y) const { return At(x, y)[3]; }
};

// Walks the chunks (with CRCs), checks IHDR is 8-bit RGBA non-interlaced, inflates and unfilters the pixels.
// Fails the calling test and returns an empty image on any fault.
Rgba DecodeRgbaPng(const std::string& name) {
    const Bytes b = ReadAsset(name);
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 8 || !std::equal(kSignature, kSignature + 8, b.begin())) {
        ADD_FAILURE() << name << ": no PNG signature";
        return {};
    }
    Rgba img;
    Bytes idat;
    bool ended = false;
    for (size_t at = 8; !ended;) {
        if (at + 12 > b.size() || Be32(b, at) > b.size() - at - 12) {
            ADD_FAILURE() << name << ": truncated chunk at " << at;
            return {};
        }
        const uint32_t len = Be32(b, at);
        const std::string type(b.begin() + at + 4, b.begin() + at + 8);
        const uint8_t* data = &b[at + 8];
        EXPECT_EQ(crc32(0, &b[at + 4], len + 4), Be32(b, at + 8 + len)) << name << " " << type;
        if (type == "IHDR") {
            img.width = Be32(b, at + 8);
            img.height = Be32(b, at + 12);
            EXPECT_EQ(len, 13u);
            EXPECT_EQ(data[8], 8) << name << ": bit depth";
            EXPECT_EQ(data[9], 6) << name << ": colour type";
            EXPECT_EQ(data[12], 0) << name << ": interlace";
            if (data[8] != 8 || data[9] != 6 || data[12] != 0 || img.width > 4096 || img.height > 4096)
                return {};
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + len);
        }
        ended = type == "IEND";
        at += 12 + len;
        EXPECT_TRUE(!ended || at == b.size()) << name << ": bytes after IEND";
    }
    const size_t stride = size_t(img.width) * 4;
    Bytes raw((stride + 1) * img.height);
    uLongf rawLen = raw.size();
    if (uncompress(raw.data(), &rawLen, idat.data(), idat.size()) != Z_OK || rawLen != raw.size()) {
        ADD_FAILURE() << name << ": pixel data does not inflate to " << raw.size() << " bytes";
        return {};
    }
    img.px.resize(stride * img.height);
    for (size_t y = 0; y < img.height; ++y) {
        const uint8_t filter = raw[y * (stride + 1)];
        const uint8_t* src = &raw[y * (stride + 1) + 1];
        uint8_t* row = &img.px[y * stride];
        const uint8_t* up = y ? row - stride : nullptr;
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 4 ? row[i - 4] : 0, u = up ? up[i] : 0, c = (i >= 4 && up) ? up[i - 4] : 0;
            const int p = a + u - c, pa = std::abs(p - a), pb = std::abs(p - u), pc = std::abs(p - c);
            const int predictors[5] = {0, a, u, (a + u) / 2, (pa <= pb && pa <= pc) ? a : (pb <= pc ? u : c)};
            if (filter > 4) {
                ADD_FAILURE() << name << ": filter " << int(filter);
                return {};
            }
            row[i] = uint8_t(src[i] + predictors[filter]);
        }
    }
    return img;
}

struct AlphaCounts {
    int clear = 0, partial = 0, opaque = 0;
};

AlphaCounts CountAlpha(const Rgba& img) {
    AlphaCounts n;
    for (size_t i = 3; i < img.px.size(); i += 4)
        (img.px[i] == 0 ? n.clear : img.px[i] == 255 ? n.opaque : n.partial)++;
    return n;
}

TEST(AssetFiles, ButtonFacesAre32x32RoundDiscsWithAntialiasedEdges) {
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
        SCOPED_TRACE(name);
        const Rgba img = DecodeRgbaPng(name);
        ASSERT_EQ(img.width, 32u);
        ASSERT_EQ(img.height, 32u);
        EXPECT_EQ(img.AlphaAt(0, 0), 0);
        EXPECT_EQ(img.AlphaAt(31, 31), 0);
        EXPECT_EQ(img.AlphaAt(16, 16), 255);
        EXPECT_GT(CountAlpha(img).partial, 0);
    }
}

TEST(AssetFiles, ButtonFacesHaveTheirColoursAndHoverFacesArePaler) {
    // (16, 28) lies on the disc below the power symbol.
    auto disc = [](const char* name) {
        const Rgba img = DecodeRgbaPng(name);
        if (img.width != 32 || img.height != 32) {
            ADD_FAILURE() << name << " is not 32 x 32";
            return std::vector<int>{0, 0, 0};
        }
        return std::vector<int>(img.At(16, 28), img.At(16, 28) + 3);
    };
    const auto a = disc("a.png"), b = disc("b.png"), c = disc("c.png"), d = disc("d.png");
    EXPECT_LT(std::abs(a[0] - a[2]), 24) << "start face is grey";
    EXPECT_GT(c[0], 2 * c[1]) << "stop face is red";
    EXPECT_GT(b[0] + b[1] + b[2], a[0] + a[1] + a[2] + 60);
    EXPECT_GT(d[1], c[1] + 60);
    EXPECT_GT(d[0], d[1]) << "hover stop face stays pink";
}

TEST(AssetFiles, CloseMarkIs16x16OnTransparentGround) {
    const Rgba img = DecodeRgbaPng("e.png");
    ASSERT_EQ(img.width, 16u);
    ASSERT_EQ(img.height, 16u);
    const AlphaCounts n = CountAlpha(img);
    EXPECT_GT(n.clear, n.opaque + n.partial);
    EXPECT_GT(n.opaque, 0);
    const uint8_t* middle = img.At(8, 8);
    EXPECT_EQ(middle[3], 255);
    EXPECT_LT(middle[0], 128) << "dark mark";
}

TEST(AssetFiles, MainFaceIsOpaqueWhiteWithSoftEdgesClearCornersAndBlueOrnament) {
    const Rgba img = DecodeRgbaPng("f.png");
    ASSERT_EQ(img.width, 128u);
    ASSERT_EQ(img.height, 128u);
    for (auto [x, y] : {std::pair{0u, 0u}, {127u, 0u}, {0u, 127u}, {127u, 127u}})
        EXPECT_EQ(img.AlphaAt(x, y), 0) << x << "," << y;
    for (auto [x, y] : {std::pair{0u, 64u}, {127u, 64u}, {64u, 0u}, {64u, 127u}}) {
        EXPECT_GT(img.AlphaAt(x, y), 0) << x << "," << y;
        EXPECT_LT(img.AlphaAt(x, y), 255) << x << "," << y;
    }
    const uint8_t* middle = img.At(64, 64);
    EXPECT_EQ(middle[3], 255);
    EXPECT_GE(std::min({middle[0], middle[1], middle[2]}), 240);
    int blue = 0;
    for (uint32_t y = 80; y < 128; ++y)
        for (uint32_t x = 80; x < 128; ++x)
            blue += img.AlphaAt(x, y) == 255 && img.At(x, y)[2] > img.At(x, y)[0] + 100;
    EXPECT_GT(blue, 50) << "ornament in the lower right corner";
}

TEST(AssetFiles, IconHolds48_32And16PixelImagesOf32BitsEachAsBitmaps) {
    const Bytes b = ReadAsset("offclock.ico");
    ASSERT_GE(b.size(), 6u + 3 * 16);
    EXPECT_EQ(Le16(b, 0), 0u);
    EXPECT_EQ(Le16(b, 2), 1u) << "icon, not cursor";
    ASSERT_EQ(Le16(b, 4), 3u);
    const uint32_t sizes[3] = {48, 32, 16};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(sizes[i]);
        const size_t e = 6 + 16 * i;
        EXPECT_EQ(b[e], sizes[i]);
        EXPECT_EQ(b[e + 1], sizes[i]);
        EXPECT_EQ(Le16(b, e + 6), 32u) << "bits per pixel";
        const uint32_t bytes = Le32(b, e + 8), offset = Le32(b, e + 12);
        ASSERT_LE(offset, b.size());
        ASSERT_LE(bytes, b.size() - offset);
        ASSERT_GE(bytes, 40u);
        // A bitmap entry (not PNG): header height counts colour rows plus mask rows.
        EXPECT_EQ(Le32(b, offset), 40u);
        EXPECT_EQ(Le32(b, offset + 4), sizes[i]);
        EXPECT_EQ(Le32(b, offset + 8), 2 * sizes[i]);
        EXPECT_EQ(Le16(b, offset + 14), 32u);
        EXPECT_EQ(Le32(b, offset + 16), 0u) << "uncompressed";
        const uint32_t maskStride = (sizes[i] + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + sizes[i] * sizes[i] * 4 + maskStride * sizes[i]);
    }
}

// Decodes the single image's LZW stream into palette indices; empty on any fault.
Bytes DecodeGifIndices(const Bytes& b, size_t at, size_t expected) {
    if (at >= b.size() || b[at] != 8)
        return {};
    Bytes data;
    for (++at; at < b.size() && b[at] != 0; at += b[at] + 1) {
        if (b[at] > b.size() - at - 1)
            return {};
        data.insert(data.end(), b.begin() + at + 1, b.begin() + at + 1 + b[at]);
    }
    constexpr int kClear = 256, kEnd = 257;
    std::vector<Bytes> table;
    Bytes out, prev;
    int size = 9;
    size_t bit = 0;
    while (bit + size <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < size; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == kClear) {
            table.assign(258, {});
            for (int i = 0; i < 256; ++i)
                table[i] = {uint8_t(i)};
            size = 9;
            prev.clear();
            continue;
        }
        if (code == kEnd)
            return out.size() == expected ? out : Bytes{};
        if (table.empty() || size_t(code) > table.size() || (size_t(code) == table.size() && prev.empty()))
            return {};
        Bytes entry = size_t(code) < table.size() ? table[code] : prev;
        if (size_t(code) == table.size())
            entry.push_back(prev[0]);
        if (!prev.empty() && table.size() < 4096) {
            prev.push_back(entry[0]);
            table.push_back(prev);
            if (table.size() == (1u << size) && size < 12)
                ++size;
        }
        out.insert(out.end(), entry.begin(), entry.end());
        prev = entry;
    }
    return {};  // no end code
}

TEST(AssetFiles, PanelPictureIsOneFrameGif89aOf129x306With256ColoursThatDecodesWhole) {
    const Bytes b = ReadAsset("panel.gif");
    ASSERT_GE(b.size(), 13u + 768 + 10);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
    EXPECT_EQ(Le16(b, 6), 129u);
    EXPECT_EQ(Le16(b, 8), 306u);
    ASSERT_EQ(b[10] & 0x87, 0x87) << "global colour table of 2^(7+1) entries";
    const size_t image = 13 + 768;
    ASSERT_EQ(b[image], 0x2C);
    EXPECT_EQ(Le16(b, image + 5), 129u);
    EXPECT_EQ(Le16(b, image + 7), 306u);
    EXPECT_EQ(b[image + 9], 0) << "no local table, not interlaced";
    EXPECT_EQ(DecodeGifIndices(b, image + 10, 129 * 306).size(), 129u * 306);
    EXPECT_EQ(b.back(), 0x3B) << "ends with the trailer";
}

}  // namespace
