#include "skin/compose.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "gfx/fonts.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "skin/argb.h"
#include "skin/keys.h"
#include "skin/paint.h"
#include "skin/props.h"
#include "skin/rules.h"
#include "skin/surface.h"

namespace skin {

using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpSolidFill;
using Gdiplus::REAL;
using gfx::UniqueGpBrush;
using gfx::UniqueGpGraphics;
using gfx::UniqueGpImage;
using gfx::UniqueGpPen;

namespace {

FocusCaretState g_focusCaret;
CompositionObserver g_observer;

struct ChildBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The child's window rectangle with its top-left corner in the parent's client coordinates.
bool ChildBoxInParent(HWND parent, HWND child, ChildBox& box) {
    RECT r{};
    if (!sys::GetWindowRect(child, &r))
        return false;
    POINT p{r.left, r.top};
    sys::ScreenToClient(parent, &p);
    box = {p.x, p.y, r.right - r.left, r.bottom - r.top};
    return true;
}

// Places the image in the child's box by its back type. A NaturalSize image larger than the box shows only
// its top-left box-sized part. That part is drawn pixel for pixel through an explicit source rectangle
// clipped to the image, so neither the image's own resolution nor a source reaching past its edge changes
// what appears.
void DrawPlacedImage(GpGraphics* g, GpImage* image, int32_t backType, const ChildBox& box) {
    REAL iw = 0, ih = 0;
    sys::GdipGetImageDimension(image, &iw, &ih);
    const Placement p = PlaceImage(backType, iw, ih, box.width, box.height);
    const REAL x = static_cast<REAL>(box.x + p.x);
    const REAL y = static_cast<REAL>(box.y + p.y);
    if (p.cropped) {
        const REAL sw = std::min(iw, static_cast<REAL>(box.width));
        const REAL sh = std::min(ih, static_cast<REAL>(box.height));
        if (sw > 0 && sh > 0)
            sys::GdipDrawImageRectRect(g, image, x, y, sw, sh, 0, 0, sw, sh, Gdiplus::UnitPixel, nullptr, nullptr,
                                       nullptr);
        return;
    }
    sys::GdipDrawImageRect(g, image, x, y, static_cast<REAL>(p.width), static_cast<REAL>(p.height));
}

void FillBox(GpGraphics* g, uint32_t argb, const ChildBox& box) {
    UniqueGpBrush brush;
    GpSolidFill* fill = nullptr;
    sys::GdipCreateSolidFill(argb, &fill);
    brush.reset(fill);
    if (brush)
        sys::GdipFillRectangleI(g, brush.get(), box.x, box.y, box.width, box.height);
}

void FrameBox(GpGraphics* g, uint32_t argb, const ChildBox& box) {
    UniqueGpPen pen;
    sys::GdipCreatePen1(argb, 1.0f, Gdiplus::UnitWorld, pen.put());
    if (pen)
        sys::GdipDrawRectangleI(g, pen.get(), box.x, box.y, box.width, box.height);
}

// The child's text in its own font, on one line at the left, centred vertically, 2 pixels inside the box. A CR
// LF pair is one line break: Windows' GDI+ breaks there, Wine's draws the CR as a box, so the CR is left out
// of what is drawn (the window's text itself stays as it is). The font and the layout come from the parent's
// surface when it has one, so that they are made once and not for every composition.
void DrawChildText(GpGraphics* g, HWND child, const ChildBox& box, LayeredSurface* surface) {
    std::wstring text = gfx::AnsiToWide(ReadWindowText(child));
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at))
        text.erase(at, 1);
    // A box with no room inside the inset would give GDI+ an empty or inverted layout, which it reads as
    // "no limit": such a child shows no text.
    if (text.empty() || box.width <= 4 || box.height <= 4)
        return;
    const auto hfont = reinterpret_cast<HFONT>(sys::SendMessageA(child, WM_GETFONT, 0, 0));
    gfx::FontObject ownFont;
    Gdiplus::GpFont* font = surface ? SurfaceFont(*surface, hfont) : ownFont.CreateFromHFONT(hfont);
    gfx::StringFormatObject ownFormat;
    gfx::StringFormatObject* format = &ownFormat;
    if (surface) {
        if (!surface->textFormat)
            surface->textFormat = std::make_unique<gfx::StringFormatObject>();
        format = surface->textFormat.get();
    }
    if (!format->GetHandle()) {
        format->Create(gfx::kTextLayoutFlags, 0);
        format->SetAlignments(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    }
    UniqueGpBrush brush;
    GpSolidFill* fill = nullptr;
    sys::GdipCreateSolidFill(ToArgb(GetSkinColor(child, key::kTextColor), 255), &fill);
    brush.reset(fill);
    const Gdiplus::RectF layout(static_cast<REAL>(box.x + 2), static_cast<REAL>(box.y + 2),
                                static_cast<REAL>(box.width - 4), static_cast<REAL>(box.height - 4));
    sys::GdipDrawString(g, text.c_str(), static_cast<INT>(text.size()), font, &layout, format->GetHandle(),
                        brush.get());
}

template <typename T>
void AppendValue(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Everything a composition of `window` at `width`×`height` reads, one child after the other: equal
// signatures compose to equal faces. Images are known by their address, which the engine never draws anew
// under the same address without being told (SetBackImage and BindChildren compose unconditionally).
void AppendFaceSignature(std::string& out, HWND window, int width, int height) {
    AppendValue(out, width);
    AppendValue(out, height);
    AppendValue(out, GetSkinProp(window, key::kBackImage));
    for (HWND child = sys::GetWindow(window, GW_CHILD); child; child = sys::GetWindow(child, GW_HWNDNEXT)) {
        const int32_t type = GetSkinCode(child, key::kType);
        if (type == kSkinNone)
            continue;
        ChildBox box;
        ChildBoxInParent(window, child, box);
        AppendValue(out, child);
        AppendValue(out, type);
        AppendValue(out, box);
        AppendValue(out, GetSkinProp(child, key::kBackType));
        switch (type) {
            case kSkinImage:
                AppendValue(out, GetSkinProp(child, key::kBackImage));
                break;
            case kSkinButton:
                AppendValue(out, GetStateImage(child, GetSkinCode(child, key::kDrawState)));
                break;
            case kSkinPngControl: {
                for (const char* name : {key::kBackColor, key::kBackAlpha, key::kBackImage, key::kOrderColor,
                                         key::kOrderAlpha, key::kTextColor})
                    AppendValue(out, GetSkinProp(child, name));
                AppendValue(out, sys::SendMessageA(child, WM_GETFONT, 0, 0));
                const std::string text = ReadWindowText(child);
                AppendValue(out, text.size());
                out += text;
                break;
            }
            default:
                break;
        }
    }
}

void DrawFace(HWND parent, HWND child, GpGraphics* graphics, LayeredSurface* surface) {
    ChildBox box;
    if (!graphics || !ChildBoxInParent(parent, child, box))
        return;
    const int32_t type = GetSkinCode(child, key::kType);
    const int32_t backType = GetSkinCode(child, key::kBackType);

    GpImage* image = nullptr;
    switch (type) {
        case kSkinImage:
            image = GetSkinPointer<GpImage>(child, key::kBackImage);
            break;
        case kSkinButton:
            image = GetStateImage(child, GetSkinCode(child, key::kDrawState));
            break;
        case kSkinPngControl: {
            const uint32_t back = GetSkinColor(child, key::kBackColor);
            if (back != kNoColor)
                FillBox(graphics, ToArgb(back, static_cast<uint32_t>(GetSkinCode(child, key::kBackAlpha))), box);
            image = GetSkinPointer<GpImage>(child, key::kBackImage);
            break;
        }
        default:
            return;
    }
    if (image)
        DrawPlacedImage(graphics, image, backType, box);

    // Buttons and images carry their labels in their faces. A text box keeps its border and text even
    // when its back image is cropped, so a large background never hides what the user typed.
    if (type != kSkinPngControl)
        return;
    const uint32_t order = GetSkinColor(child, key::kOrderColor);
    if (order != kNoColor)
        FrameBox(graphics, ToArgb(order, static_cast<uint32_t>(GetSkinCode(child, key::kOrderAlpha))), box);
    DrawChildText(graphics, child, box, surface);
}

}  // namespace

FocusCaretState& FocusCaret() {
    return g_focusCaret;
}

void ReplaceFocusImage(UniqueGpImage image) {
    g_focusCaret.focusImage = std::move(image);
}

void SetCompositionObserver(const CompositionObserver& observer) {
    g_observer = observer;
}

namespace {

// The face of `window` at `width`×`height`; texts take their fonts from `surface` when there is one.
UniqueGpImage ComposeFace(HWND window, int width, int height, LayeredSurface* surface) {
    // No pixel buffer given: GDI+ allocates one cleared to transparent black.
    GpBitmap* bitmap = nullptr;
    sys::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    UniqueGpImage image(bitmap);
    if (!image)
        return {};
    UniqueGpGraphics g;
    sys::GdipGetImageGraphicsContext(image.get(), g.put());
    if (!g)
        return image;

    // The window's back image is never stretched: what it does not cover stays transparent.
    if (GpImage* back = GetSkinPointer<GpImage>(window, key::kBackImage)) {
        REAL iw = 0, ih = 0;
        sys::GdipGetImageDimension(back, &iw, &ih);
        sys::GdipDrawImageRect(g.get(), back, 0, 0, iw, ih);
    }
    // Z-order, top first, so later siblings paint over earlier ones. Hidden children are drawn too: the
    // system never shows a layered window's children, so visibility says nothing about the composed face.
    for (HWND child = sys::GetWindow(window, GW_CHILD); child; child = sys::GetWindow(child, GW_HWNDNEXT)) {
        if (GetSkinCode(child, key::kType) != kSkinNone)
            DrawFace(window, child, g.get(), surface);
    }
    return image;
}

// Copies `image` into the surface's DIB, premultiplied, at the top-left corner; what it does not cover is
// transparent. GDI+ converts while it locks; an image it cannot lock is drawn instead.
void CopyToSurface(GpImage* image, LayeredSurface& surface) {
    UINT iw = 0, ih = 0;
    sys::GdipGetImageWidth(image, &iw);
    sys::GdipGetImageHeight(image, &ih);
    const int w = surface.width;
    const int h = surface.height;
    const int cw = std::min(static_cast<int>(iw), w);
    const int ch = std::min(static_cast<int>(ih), h);
    if (cw < w || ch < h)
        std::memset(surface.bits, 0, static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    sys::GdipGetImageType(image, &type);
    const Gdiplus::Rect part(0, 0, cw, ch);
    Gdiplus::BitmapData data{};
    if (cw > 0 && ch > 0 && type == Gdiplus::ImageTypeBitmap &&
        sys::GdipBitmapLockBits(static_cast<GpBitmap*>(image), &part, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                &data) == Gdiplus::Ok) {
        for (int y = 0; y < ch; ++y)
            std::memcpy(surface.bits + static_cast<size_t>(h - 1 - y) * w,
                        static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                        static_cast<size_t>(cw) * 4);
        sys::GdipBitmapUnlockBits(static_cast<GpBitmap*>(image), &data);
        return;
    }
    std::memset(surface.bits, 0, static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    UniqueGpGraphics g;
    sys::GdipCreateFromHDC(surface.dc.get(), g.put());
    if (g)
        sys::GdipDrawImageRect(g.get(), image, 0, 0, static_cast<REAL>(iw), static_cast<REAL>(ih));
}

// Shows `image` on `window` through the window's surface; false when nothing could be shown.
bool PresentOnSurface(HWND window, GpImage* image, int withCaret) {
    if (!image || !sys::IsWindow(window))
        return false;
    RECT r{};
    sys::GetWindowRect(window, &r);
    LayeredSurface* surface = SurfaceAtSize(window, r.right - r.left, r.bottom - r.top);
    if (!surface)
        return false;
    CopyToSurface(image, *surface);
    if (withCaret && g_focusCaret.focusChild) {
        UniqueGpGraphics g;
        sys::GdipCreateFromHDC(surface->dc.get(), g.put());
        if (g)
            DrawCaretLine(window, g_focusCaret.focusChild, g.get());
    }
    sys::GdiFlush();
    if (g_observer.presented)
        g_observer.presented(window, surface->bits, surface->width, surface->height, withCaret);

    POINT source{0, 0};
    SIZE size{surface->width, surface->height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    sys::UpdateLayeredWindow(window, nullptr, nullptr, &size, surface->dc.get(), &source, 0, &blend, ULW_ALPHA);
    return true;
}

// Composes and presents `window`; with `onlyWhenChanged`, not when the face on screen is the one a
// composition would build now. The focus parent is always composed: its composition also renews the face
// the caret blinks on and takes the caret off.
void Compose(HWND window, bool onlyWhenChanged) {
    RECT r{};
    if (!sys::GetWindowRect(window, &r))
        return;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;
    std::string signature;
    AppendFaceSignature(signature, window, width, height);
    LayeredSurface* surface = SurfaceAtSize(window, width, height);
    if (onlyWhenChanged && surface && window != g_focusCaret.focusParent && surface->shownFace == signature)
        return;

    UniqueGpImage image = ComposeFace(window, width, height, surface);
    if (g_observer.composed)
        g_observer.composed(window, static_cast<GpBitmap*>(image.get()));
    const bool shown = PresentOnSurface(window, image.get(), 0);
    if (LayeredSurface* kept = FindSurface(window))
        kept->shownFace = shown ? std::move(signature) : std::string();
    // The focus parent's face is kept for the caret blink; any other face has served its purpose.
    if (window == g_focusCaret.focusParent)
        ReplaceFocusImage(std::move(image));
}

}  // namespace

UniqueGpImage ComposeToBitmap(HWND window) {
    RECT r{};
    if (!sys::GetWindowRect(window, &r))
        return {};
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return {};
    return ComposeFace(window, width, height, FindSurface(window));
}

void ComposeWindow(HWND window) {
    Compose(window, false);
}

void ComposeWindowIfChanged(HWND window) {
    Compose(window, true);
}

void DrawChildFace(HWND parent, HWND child, GpGraphics* graphics) {
    DrawFace(parent, child, graphics, FindSurface(parent));
}

void PresentLayered(HWND window, GpImage* image, int withCaret) {
    if (!PresentOnSurface(window, image, withCaret))
        return;
    // What is on screen now is not known to be a composition of the window.
    if (LayeredSurface* surface = FindSurface(window))
        surface->shownFace.clear();
}

void DrawCaretLine(HWND parent, HWND child, GpGraphics* graphics) {
    ChildBox box;
    if (!graphics || !ChildBoxInParent(parent, child, box))
        return;
    POINT caret{};
    sys::GetCaretPos(&caret);
    // The caret's own height and vertical position are ignored: the line is centred in the child.
    const int cx = box.x + caret.x + 5;
    const int cy = static_cast<int>(box.y + (box.height - kCaretHeight) / 2.0);
    UniqueGpPen pen;
    sys::GdipCreatePen1(ToArgb(0, 255), 1.0f, Gdiplus::UnitWorld, pen.put());
    if (pen)
        sys::GdipDrawLineI(graphics, pen.get(), cx, cy, cx, cy + kCaretHeight);
}

}  // namespace skin
