#pragma once
// Shared by the graphics tests: a started GDI+ session, PNG bytes made with GDI+ itself, pixel reads and
// the growth of the private bytes. GDI+ is reached through table entries like the program's own code, so no
// test links GdiPlus.dll either.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include <cstdint>
#include <functional>

#include "gfx/byteblock.h"
#include "gfx/graphics.h"
#include "gfx/memory_stream.h"
#include "gfx/sysapi.h"
#include "win_test_support.h"

namespace gfxtest {

// GDI+ functions only the tests need.
inline sys::Entry<decltype(&Gdiplus::DllExports::GdipSaveImageToStream)> SaveImageToStream{"GdiPlus.dll",
                                                                                           "GdipSaveImageToStream"};
inline sys::Entry<decltype(&Gdiplus::DllExports::GdipBitmapSetPixel)> BitmapSetPixel{"GdiPlus.dll",
                                                                                     "GdipBitmapSetPixel"};

inline void EnsureGraphicsSession() {
    static bool started = false;
    if (!started) {
        gfx::StartGraphicsSession();
        started = true;
    }
}

// PNG bytes (a counted byte block) of a w x h ARGB picture whose pixel (x, y) is colour(x, y).
inline gfx::ByteBlock MakePng(int w, int h, const std::function<Gdiplus::ARGB(int, int)>& colour) {
    EnsureGraphicsSession();
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (sys::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok)
        return {};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            BitmapSetPixel(bitmap, x, y, colour(x, y));
    // image/png encoder of GDI+.
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    gfx::MemoryStream out;
    IStream* stream = out.Open(nullptr, false);
    gfx::ByteBlock bytes;
    if (stream && SaveImageToStream(bitmap, stream, &png, nullptr) == Gdiplus::Ok)
        bytes = out.ToBytes();
    sys::GdipDisposeImage(bitmap);
    return bytes;
}

struct ImageSize {
    UINT width = 0;
    UINT height = 0;
    bool operator==(const ImageSize&) const = default;
};

inline ImageSize SizeOf(Gdiplus::GpImage* image) {
    ImageSize s;
    sys::GdipGetImageWidth(image, &s.width);
    sys::GdipGetImageHeight(image, &s.height);
    return s;
}

// Non-premultiplied ARGB of one pixel, 0 when it cannot be read.
inline Gdiplus::ARGB PixelAt(Gdiplus::GpImage* image, int x, int y) {
    Gdiplus::ARGB argb = 0;
    if (Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), x, y, &argb) != Gdiplus::Ok)
        return 0;
    return argb;
}

// How much the private bytes grew over body(), for a check that growth below `limit` is no leak. A counter
// that does not move would pass any such check: so it must read something, and `limit` bytes leaked on
// purpose right after body() must show in it.
inline long long PrivateBytesGrowth(size_t limit, const std::function<void()>& body) {
    const auto now = [] { return static_cast<long long>(testsupport::PrivateBytes()); };
    const long long before = now();
    EXPECT_GT(before, 0) << "the private bytes read 0";
    body();
    const long long growth = now() - before;
    const long long beforeLeak = now();
    void* leak = VirtualAlloc(nullptr, limit, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (leak)
        std::memset(leak, 1, limit);  // written, as a leaked block is: untouched pages are not counted by Wine
    EXPECT_GE(now() - beforeLeak, static_cast<long long>(limit)) << "a leak of " << limit << " bytes did not show";
    VirtualFree(leak, 0, MEM_RELEASE);
    return growth;
}

// A counted byte block made from raw bytes, for hand-written test data.
inline gfx::ByteBlock BlockOf(const uint8_t* bytes, size_t n) {
    return gfx::ByteBlock::CopyOf(bytes, static_cast<uint32_t>(n));
}

}  // namespace gfxtest
