#include "gfx/graphics.h"

#include "base/text.h"
#include "gfx/memory_stream.h"
#include "gfx/sysapi.h"

namespace gfx {

namespace {

ULONG_PTR g_gdiplusToken = 0;
GUID* g_frameDimension = nullptr;

constexpr char kFrameDimensionTime[] = "{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}";

// GDI+ keeps reading the stream of a decoded image whenever it likes (lazy decoding, the frames of an
// animation), so an image straight from GdipLoadImageFromStream would tie the stream and the memory under
// it to the image's life. Copying the pixels of the active frame into a bitmap that GDI+ allocated itself
// cuts that tie: the stream and its block are released right after the copy, and every owner can dispose
// the image with plain GdipDisposeImage. Returns none for images that are not bitmaps (metafiles).
UniqueGpImage CopyToOwnedBitmap(Gdiplus::GpImage* source) {
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    if (sys::GdipGetImageType(source, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeBitmap)
        return {};
    UINT width = 0;
    UINT height = 0;
    if (sys::GdipGetImageWidth(source, &width) != Gdiplus::Ok ||
        sys::GdipGetImageHeight(source, &height) != Gdiplus::Ok || width == 0 || height == 0 || width > INT32_MAX ||
        height > INT32_MAX)
        return {};
    auto* sourceBitmap = static_cast<Gdiplus::GpBitmap*>(source);
    const Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));

    Gdiplus::BitmapData from = {};
    if (sys::GdipBitmapLockBits(sourceBitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) !=
        Gdiplus::Ok)
        return {};

    Gdiplus::GpBitmap* copy = nullptr;
    if (sys::GdipCreateBitmapFromScan0(all.Width, all.Height, 0, PixelFormat32bppARGB, nullptr, &copy) != Gdiplus::Ok)
        copy = nullptr;
    UniqueGpImage owned(copy);
    bool copied = false;
    Gdiplus::BitmapData to = {};
    if (copy &&
        sys::GdipBitmapLockBits(copy, &all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) == Gdiplus::Ok) {
        const auto* src = static_cast<const uint8_t*>(from.Scan0);
        auto* dst = static_cast<uint8_t*>(to.Scan0);
        for (UINT y = 0; y < height; ++y)
            std::memcpy(dst + static_cast<ptrdiff_t>(y) * to.Stride, src + static_cast<ptrdiff_t>(y) * from.Stride,
                        size_t{width} * 4);
        sys::GdipBitmapUnlockBits(copy, &to);
        copied = true;
    }
    sys::GdipBitmapUnlockBits(sourceBitmap, &from);
    if (!copied)
        owned.reset();
    return owned;
}

}  // namespace

int StartGraphicsSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread and external codecs on
    const Gdiplus::Status status = sys::GdiplusStartup(&g_gdiplusToken, &input, nullptr);

    ReleaseFrameDimension();
    g_frameDimension = new (std::nothrow) GUID{};
    if (g_frameDimension) {
        ByteBlock text = ToUtf16(kFrameDimensionTime);
        sys::CLSIDFromString(const_cast<LPOLESTR>(WideText(text)), g_frameDimension);
    }
    return static_cast<int>(status);
}

void ReleaseFrameDimension() {
    delete g_frameDimension;
    g_frameDimension = nullptr;
}

const GUID* FrameDimensionTime() {
    return g_frameDimension;
}

std::wstring AnsiToWide(std::string_view text) {
    return base::Widen(text, [](const char* bytes, int byteCount, wchar_t* out, int outCount) {
        return sys::MultiByteToWideChar(CP_ACP, 0, bytes, byteCount, out, outCount);
    });
}

ByteBlock ToUtf16(const char* text) {
    const std::string_view bytes = text ? text : "";
    const std::wstring wide = AnsiToWide(bytes);
    if ((wide.empty() && !bytes.empty()) || wide.size() >= INT32_MAX / 2)
        return ByteBlock::Zeroed(0);
    // Zero-filled, so the terminator is already there.
    ByteBlock block = ByteBlock::Zeroed(static_cast<uint32_t>(wide.size() + 1) * 2);
    if (block.size() > 0 && !wide.empty())
        std::memcpy(block.bytes(), wide.data(), wide.size() * 2);
    return block;
}

UniqueGpImage LoadImageFromMemory(const uint8_t* block) {
    MemoryStream memory;
    IStream* stream = memory.Open(block, true);
    if (!stream)
        return {};
    UniqueGpImage decoded;
    if (sys::GdipLoadImageFromStream(stream, decoded.put()) != Gdiplus::Ok) {
        decoded.release();  // a failed decode hands over no image
        return {};
    }
    // Frame 0 of an animation; still images ignore the call.
    if (g_frameDimension)
        sys::GdipImageSelectActiveFrame(decoded.get(), g_frameDimension, 0);
    // `decoded` is disposed before `memory` releases the stream and frees the block.
    return CopyToOwnedBitmap(decoded.get());
}

}  // namespace gfx
