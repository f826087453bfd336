#include "skin/compose.h"

#include <algorithm>
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
// of what is drawn (the window's text itself stays as it is).
void DrawChildText(GpGraphics* g, HWND child, const ChildBox& box) {
    std::wstring text = gfx::AnsiToWide(ReadWindowText(child));
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at))
        text.erase(at, 1);
    // A box with no room inside the inset would give GDI+ an empty or inverted layout, which it reads as
    // "no limit": such a child shows no text.
    if (text.empty() || box.width <= 4 || box.height <= 4)
        return;
    gfx::FontObject font;
    font.CreateFromWindow(child);
    gfx::StringFormatObject format;
    format.Create(gfx::kTextLayoutFlags, 0);
    format.SetAlignments(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    UniqueGpBrush brush;
    GpSolidFill* fill = nullptr;
    sys::GdipCreateSolidFill(ToArgb(GetSkinColor(child, key::kTextColor), 255), &fill);
    brush.reset(fill);
    const Gdiplus::RectF layout(static_cast<REAL>(box.x + 2), static_cast<REAL>(box.y + 2),
                                static_cast<REAL>(box.width - 4), static_cast<REAL>(box.height - 4));
    sys::GdipDrawString(g, text.c_str(), static_cast<INT>(text.size()), font.GetHandle(), &layout, format.GetHandle(),
                        brush.get());
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

UniqueGpImage ComposeToBitmap(HWND window) {
    RECT r{};
    if (!sys::GetWindowRect(window, &r))
        return {};
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return {};

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
            DrawChildFace(window, child, g.get());
    }
    return image;
}

void ComposeWindow(HWND window) {
    UniqueGpImage image = ComposeToBitmap(window);
    if (g_observer.composed)
        g_observer.composed(window, static_cast<GpBitmap*>(image.get()));
    PresentLayered(window, image.get(), 0);
    // The focus parent's face is kept for the caret blink; any other face has served its purpose.
    if (window && window == g_focusCaret.focusParent)
        ReplaceFocusImage(std::move(image));
}

void DrawChildFace(HWND parent, HWND child, GpGraphics* graphics) {
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
    DrawChildText(graphics, child, box);
}

void PresentLayered(HWND window, GpImage* image, int withCaret) {
    if (!image || !sys::IsWindow(window))
        return;
    RECT r{};
    sys::GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;

    gfx::WindowDc windowDC(window);
    gfx::UniqueMemoryDC memDC(sys::CreateCompatibleDC(windowDC.get()));
    if (!memDC)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* bits = nullptr;
    gfx::UniqueBitmap dib(sys::CreateDIBSection(memDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib)
        return;
    gfx::ScopedSelect select(memDC.get(), dib.get());
    {
        UniqueGpGraphics g;
        sys::GdipCreateFromHDC(memDC.get(), g.put());
        if (g) {
            UINT iw = 0, ih = 0;
            sys::GdipGetImageWidth(image, &iw);
            sys::GdipGetImageHeight(image, &ih);
            sys::GdipDrawImageRect(g.get(), image, 0, 0, static_cast<REAL>(iw), static_cast<REAL>(ih));
            if (withCaret && g_focusCaret.focusChild)
                DrawCaretLine(window, g_focusCaret.focusChild, g.get());
        }
    }
    sys::GdiFlush();
    if (g_observer.presented)
        g_observer.presented(window, static_cast<const uint32_t*>(bits), width, height, withCaret);

    POINT source{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    sys::UpdateLayeredWindow(window, windowDC.get(), nullptr, &size, memDC.get(), &source, 0, &blend, ULW_ALPHA);
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
