#include "skin/compositor/draw.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/floor/argb.h"
#include "skin/floor/keys.h"

namespace skin {

using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::REAL;
using gfx::UniqueGpBrush;
using gfx::UniqueGpGraphics;
using gfx::UniqueGpPen;

namespace {

// A window draws its texts in one or two fonts; a bound keeps a window that keeps changing fonts from
// growing the list.
constexpr size_t kMaxKeptFonts = 8;

// Places the image in the child's box by its back type. A NaturalSize image larger than the box shows only
// its top-left box-sized part. That part is drawn pixel for pixel through an explicit source rectangle
// clipped to the image, so neither the image's own resolution nor a source reaching past its edge changes
// what appears.
bool DrawPlacedImage(GpGraphics* g, GpImage* image, int32_t backType, const IntRect& box) {
    REAL iw = 0, ih = 0;
    sys::GdipGetImageDimension(image, &iw, &ih);
    const ImagePlace p = PlaceImage(backType, iw, ih, box.width, box.height);
    const REAL x = static_cast<REAL>(box.left + p.x);
    const REAL y = static_cast<REAL>(box.top + p.y);
    if (p.cropped) {
        const REAL sw = std::min(iw, static_cast<REAL>(box.width));
        const REAL sh = std::min(ih, static_cast<REAL>(box.height));
        return sw <= 0 || sh <= 0 ||
               sys::GdipDrawImageRectRect(g, image, x, y, sw, sh, 0, 0, sw, sh, Gdiplus::UnitPixel, nullptr, nullptr,
                                          nullptr) == Gdiplus::Ok;
    }
    return sys::GdipDrawImageRect(g, image, x, y, static_cast<REAL>(p.width), static_cast<REAL>(p.height)) ==
           Gdiplus::Ok;
}

UniqueGpBrush SolidBrush(uint32_t argb) {
    Gdiplus::GpSolidFill* fill = nullptr;
    sys::GdipCreateSolidFill(argb, &fill);
    return UniqueGpBrush(fill);
}

bool FillBox(GpGraphics* g, uint32_t argb, const IntRect& box) {
    UniqueGpBrush brush = SolidBrush(argb);
    return brush && sys::GdipFillRectangleI(g, brush.get(), box.left, box.top, box.width, box.height) == Gdiplus::Ok;
}

bool FrameBox(GpGraphics* g, uint32_t argb, const IntRect& box) {
    UniqueGpPen pen;
    sys::GdipCreatePen1(argb, 1.0f, Gdiplus::UnitWorld, pen.put());
    return pen && sys::GdipDrawRectangleI(g, pen.get(), box.left, box.top, box.width, box.height) == Gdiplus::Ok;
}

// What defines a font: its LOGFONT up to the end of the face name. The bytes after the name's terminator are
// not defined (GetObject leaves whatever was there), so they are cleared before fonts are compared.
LOGFONTA FontKey(HFONT font) {
    LOGFONTA lf{};
    if (sys::GetObjectA(font, sizeof lf, &lf) == 0)
        return LOGFONTA{};
    const size_t n = strnlen(lf.lfFaceName, LF_FACESIZE);
    std::memset(lf.lfFaceName + n, 0, LF_FACESIZE - n);
    return lf;
}

// The GDI+ font for `font` (a window's HFONT), made on first use and kept in `tools`; null when there is no
// font or GDI+ cannot make it.
Gdiplus::GpFont* KeptFont(TextTools& tools, HFONT font) {
    if (!font)
        return nullptr;
    const LOGFONTA key = FontKey(font);
    for (const auto& [kept, object] : tools.fonts) {
        if (std::memcmp(&kept, &key, sizeof key) == 0)
            return object->GetHandle();
    }
    auto object = std::make_unique<gfx::FontObject>();
    if (!object->CreateFromHFONT(font))
        return nullptr;
    if (tools.fonts.size() >= kMaxKeptFonts)
        tools.fonts.erase(tools.fonts.begin());
    tools.fonts.emplace_back(key, std::move(object));
    return tools.fonts.back().second->GetHandle();
}

// The child's text in its own font, on one line at the left, centred vertically, 2 pixels inside the box. A CR
// LF pair is one line break: Windows' GDI+ breaks there, Wine's draws the CR as a box, so the CR is left out
// of what is drawn (the window's text itself stays as it is). False when the text could not be drawn (GDI+
// could not make the font, or failed to draw).
bool DrawChildText(GpGraphics* g, const ChildLook& look, TextTools* tools) {
    std::wstring text = gfx::AnsiToWide(look.text);
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at))
        text.erase(at, 1);
    // A box with no room inside the inset would give GDI+ an empty or inverted layout, which it reads as
    // "no limit": such a child shows no text. A box with no font of its own shows no text either: that is its
    // face, not a failure.
    const IntRect& box = look.box;
    if (text.empty() || !look.font || box.width <= 4 || box.height <= 4)
        return true;
    gfx::FontObject ownFont;
    Gdiplus::GpFont* font = tools ? KeptFont(*tools, look.font) : ownFont.CreateFromHFONT(look.font);
    gfx::StringFormatObject ownFormat;
    gfx::StringFormatObject* format = &ownFormat;
    if (tools) {
        if (!tools->format)
            tools->format = std::make_unique<gfx::StringFormatObject>();
        format = tools->format.get();
    }
    if (!format->GetHandle()) {
        format->Create(gfx::kTextLayoutFlags, 0);
        format->SetAlignments(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    }
    UniqueGpBrush brush = SolidBrush(ToArgb(look.textColor, 255));
    const Gdiplus::RectF layout(static_cast<REAL>(box.left + 2), static_cast<REAL>(box.top + 2),
                                static_cast<REAL>(box.width - 4), static_cast<REAL>(box.height - 4));
    return font && brush &&
           sys::GdipDrawString(g, text.c_str(), static_cast<INT>(text.size()), font, &layout, format->GetHandle(),
                               brush.get()) == Gdiplus::Ok;
}

}  // namespace

bool DrawChildLook(GpGraphics* g, const ChildLook& look, TextTools* tools) {
    const bool textBox = look.type == kSkinPngControl;
    bool drawn = true;
    if (textBox && look.backColor != kNoColor)
        drawn &= FillBox(g, ToArgb(look.backColor, look.backAlpha), look.box);
    if (look.image)
        drawn &= DrawPlacedImage(g, look.image, look.backType, look.box);
    // Buttons and images carry their labels in their faces. A text box keeps its border and text even
    // when its back image is cropped, so a large background never hides what the user typed.
    if (!textBox)
        return drawn;
    if (look.orderColor != kNoColor)
        drawn &= FrameBox(g, ToArgb(look.orderColor, look.orderAlpha), look.box);
    return DrawChildText(g, look, tools) && drawn;
}

namespace {

// The back image and every child that meets `area`, drawn through `g` into a transparent picture.
bool DrawLook(GpGraphics* g, const FaceLook& look, const IntRect& area, TextTools* tools) {
    bool drawn = true;
    if (look.back) {
        REAL iw = 0, ih = 0;
        sys::GdipGetImageDimension(look.back, &iw, &ih);
        drawn &= sys::GdipDrawImageRect(g, look.back, 0, 0, iw, ih) == Gdiplus::Ok;
    }
    for (const ChildLook& child : look.children) {
        if (RectsMeet(FaceExtent(child.box), area))
            drawn &= DrawChildLook(g, child, tools);
    }
    return drawn;
}

// Copies `part` (an ARGB picture of `area`'s size) into `frame` at `area`, pixel for pixel.
bool CopyIntoFrame(Gdiplus::GpBitmap* part, Gdiplus::GpBitmap* frame, const IntRect& area) {
    const Gdiplus::Rect source(0, 0, area.width, area.height);
    const Gdiplus::Rect target(area.left, area.top, area.width, area.height);
    Gdiplus::BitmapData from{}, to{};
    if (sys::GdipBitmapLockBits(part, &source, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) != Gdiplus::Ok)
        return false;
    const bool locked =
        sys::GdipBitmapLockBits(frame, &target, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) == Gdiplus::Ok;
    if (locked) {
        for (int y = 0; y < area.height; ++y)
            std::memcpy(static_cast<uint8_t*>(to.Scan0) + static_cast<ptrdiff_t>(y) * to.Stride,
                        static_cast<const uint8_t*>(from.Scan0) + static_cast<ptrdiff_t>(y) * from.Stride,
                        static_cast<size_t>(area.width) * 4);
        sys::GdipBitmapUnlockBits(frame, &to);
    }
    sys::GdipBitmapUnlockBits(part, &from);
    return locked;
}

}  // namespace

bool DrawFace(Gdiplus::GpBitmap* frame, const FaceLook& look, const IntRect& area, TextTools* tools) {
    const IntRect whole{0, 0, look.width, look.height};
    if (area == whole) {
        UniqueGpGraphics g;
        sys::GdipGetImageGraphicsContext(frame, g.put());
        return g && sys::GdipGraphicsClear(g.get(), 0) == Gdiplus::Ok && DrawLook(g.get(), look, area, tools);
    }
    // A part is drawn as the whole face would be there: into a transparent picture of its size, everything
    // moved by whole pixels, then put in the frame's place. (Clipping the frame instead takes GDI+'s slow paths.)
    Gdiplus::GpBitmap* bitmap = nullptr;
    sys::GdipCreateBitmapFromScan0(area.width, area.height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    gfx::UniqueGpImage part(bitmap);
    if (!part)
        return false;
    bool drawn = false;
    {
        UniqueGpGraphics g;
        sys::GdipGetImageGraphicsContext(bitmap, g.put());
        drawn = g &&
                sys::GdipTranslateWorldTransform(g.get(), static_cast<REAL>(-area.left), static_cast<REAL>(-area.top),
                                                 Gdiplus::MatrixOrderPrepend) == Gdiplus::Ok &&
                DrawLook(g.get(), look, area, tools);
    }
    // What failed to draw stays out of the frame.
    return drawn && CopyIntoFrame(bitmap, frame, area);
}

}  // namespace skin
