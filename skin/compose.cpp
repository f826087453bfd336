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

// A window draws its texts in one or two fonts; a bound keeps a window that keeps changing fonts from
// growing the list.
constexpr size_t kMaxKeptFonts = 8;

FocusCaretState g_focusCaret;
CompositionObserver g_observer;

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

// Reads what composing `child` on `parent` needs; false for a child that draws nothing (no skin type that is
// drawn, or no longer a window).
bool ReadChildLook(HWND parent, HWND child, ChildLook& look) {
    look.type = GetSkinCode(child, key::kType);
    if (look.type != kSkinImage && look.type != kSkinButton && look.type != kSkinPngControl)
        return false;
    if (!ChildBoxInParent(parent, child, look.box))
        return false;
    look.child = child;
    look.backType = GetSkinCode(child, key::kBackType);
    if (look.type == kSkinButton) {
        look.image = GetStateImage(child, GetSkinCode(child, key::kDrawState));
        return true;
    }
    look.image = GetSkinPointer<GpImage>(child, key::kBackImage);
    if (look.type != kSkinPngControl)
        return true;
    look.backColor = GetSkinColor(child, key::kBackColor);
    look.backAlpha = static_cast<uint32_t>(GetSkinCode(child, key::kBackAlpha));
    look.orderColor = GetSkinColor(child, key::kOrderColor);
    look.orderAlpha = static_cast<uint32_t>(GetSkinCode(child, key::kOrderAlpha));
    look.textColor = GetSkinColor(child, key::kTextColor);
    look.font = reinterpret_cast<HFONT>(sys::SendMessageA(child, WM_GETFONT, 0, 0));
    look.text = ReadWindowText(child);
    return true;
}

// Everything composing `window` at `width`×`height` reads, each property once.
void ReadFaceLook(HWND window, int width, int height, FaceLook& look) {
    look.width = width;
    look.height = height;
    look.back = GetSkinPointer<GpImage>(window, key::kBackImage);
    look.children.clear();
    ChildLook child;
    for (HWND c = sys::GetWindow(window, GW_CHILD); c; c = sys::GetWindow(c, GW_HWNDNEXT)) {
        child = {};
        if (ReadChildLook(window, c, child))
            look.children.push_back(std::move(child));
    }
}

// Places the image in the child's box by its back type. A NaturalSize image larger than the box shows only
// its top-left box-sized part. That part is drawn pixel for pixel through an explicit source rectangle
// clipped to the image, so neither the image's own resolution nor a source reaching past its edge changes
// what appears.
bool DrawPlacedImage(GpGraphics* g, GpImage* image, int32_t backType, const ChildBox& box) {
    REAL iw = 0, ih = 0;
    sys::GdipGetImageDimension(image, &iw, &ih);
    const Placement p = PlaceImage(backType, iw, ih, box.width, box.height);
    const REAL x = static_cast<REAL>(box.x + p.x);
    const REAL y = static_cast<REAL>(box.y + p.y);
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
    GpSolidFill* fill = nullptr;
    sys::GdipCreateSolidFill(argb, &fill);
    return UniqueGpBrush(fill);
}

bool FillBox(GpGraphics* g, uint32_t argb, const ChildBox& box) {
    UniqueGpBrush brush = SolidBrush(argb);
    return brush && sys::GdipFillRectangleI(g, brush.get(), box.x, box.y, box.width, box.height) == Gdiplus::Ok;
}

bool FrameBox(GpGraphics* g, uint32_t argb, const ChildBox& box) {
    UniqueGpPen pen;
    sys::GdipCreatePen1(argb, 1.0f, Gdiplus::UnitWorld, pen.put());
    return pen && sys::GdipDrawRectangleI(g, pen.get(), box.x, box.y, box.width, box.height) == Gdiplus::Ok;
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

// The GDI+ font for `font` (a window's HFONT), made on first use and kept on `surface`; null when there is no
// font or GDI+ cannot make it.
Gdiplus::GpFont* SurfaceFont(LayeredSurface& surface, HFONT font) {
    if (!font)
        return nullptr;
    const LOGFONTA key = FontKey(font);
    for (const auto& [kept, object] : surface.fonts) {
        if (std::memcmp(&kept, &key, sizeof key) == 0)
            return object->GetHandle();
    }
    auto object = std::make_unique<gfx::FontObject>();
    if (!object->CreateFromHFONT(font))
        return nullptr;
    if (surface.fonts.size() >= kMaxKeptFonts)
        surface.fonts.erase(surface.fonts.begin());
    surface.fonts.emplace_back(key, std::move(object));
    return surface.fonts.back().second->GetHandle();
}

// The child's text in its own font, on one line at the left, centred vertically, 2 pixels inside the box. A CR
// LF pair is one line break: Windows' GDI+ breaks there, Wine's draws the CR as a box, so the CR is left out
// of what is drawn (the window's text itself stays as it is). The font and the layout come from the parent's
// surface when it has one, so that they are made once and not for every composition. False when the text
// could not be drawn (GDI+ could not make the font, or failed to draw).
bool DrawChildText(GpGraphics* g, const ChildLook& look, LayeredSurface* surface) {
    std::wstring text = gfx::AnsiToWide(look.text);
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at))
        text.erase(at, 1);
    // A box with no room inside the inset would give GDI+ an empty or inverted layout, which it reads as
    // "no limit": such a child shows no text.
    const ChildBox& box = look.box;
    // A box with no font of its own shows no text either: that is its face, not a failure.
    if (text.empty() || !look.font || box.width <= 4 || box.height <= 4)
        return true;
    gfx::FontObject ownFont;
    Gdiplus::GpFont* font = surface ? SurfaceFont(*surface, look.font) : ownFont.CreateFromHFONT(look.font);
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
    UniqueGpBrush brush = SolidBrush(ToArgb(look.textColor, 255));
    const Gdiplus::RectF layout(static_cast<REAL>(box.x + 2), static_cast<REAL>(box.y + 2),
                                static_cast<REAL>(box.width - 4), static_cast<REAL>(box.height - 4));
    return font && brush &&
           sys::GdipDrawString(g, text.c_str(), static_cast<INT>(text.size()), font, &layout, format->GetHandle(),
                               brush.get()) == Gdiplus::Ok;
}

// One child's face: a text box's back colour, then the face image placed by its back type, then a text box's
// border and text. False when any part could not be drawn.
bool DrawChildLook(GpGraphics* g, const ChildLook& look, LayeredSurface* surface) {
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
    return DrawChildText(g, look, surface) && drawn;
}

// A composed face, and whether everything in it was drawn.
struct ComposedFace {
    UniqueGpImage image;
    bool complete = false;
};

// The face described by `look`: the back image at its own size (never stretched: what it does not cover stays
// transparent), then every child in z-order, top first, so later siblings paint over earlier ones. Hidden
// children are drawn too: the system never shows a layered window's children, so visibility says nothing
// about the face. Texts take their fonts from `surface` when there is one.
ComposedFace ComposeLook(const FaceLook& look, LayeredSurface* surface) {
    // No pixel buffer given: GDI+ allocates one cleared to transparent black.
    GpBitmap* bitmap = nullptr;
    sys::GdipCreateBitmapFromScan0(look.width, look.height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    ComposedFace face{UniqueGpImage(bitmap)};
    if (!face.image)
        return face;
    UniqueGpGraphics g;
    sys::GdipGetImageGraphicsContext(face.image.get(), g.put());
    if (!g)
        return face;
    face.complete = true;
    if (look.back) {
        REAL iw = 0, ih = 0;
        sys::GdipGetImageDimension(look.back, &iw, &ih);
        face.complete = sys::GdipDrawImageRect(g.get(), look.back, 0, 0, iw, ih) == Gdiplus::Ok;
    }
    for (const ChildLook& child : look.children)
        face.complete &= DrawChildLook(g.get(), child, surface);
    return face;
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
    const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
    if (cw < w || ch < h)
        std::memset(surface.bits, 0, bytes);
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
    std::memset(surface.bits, 0, bytes);
    UniqueGpGraphics g;
    sys::GdipCreateFromHDC(surface.dc.get(), g.put());
    if (g)
        sys::GdipDrawImageRect(g.get(), image, 0, 0, static_cast<REAL>(iw), static_cast<REAL>(ih));
}

// Shows `image` on `window` through `surface`, the window's surface at its size; false when the system did not
// take it (a window that is not layered, or no longer a window).
bool PresentOnSurface(HWND window, LayeredSurface* surface, GpImage* image, int withCaret) {
    CopyToSurface(image, *surface);
    if (withCaret && g_focusCaret.focusChild) {
        UniqueGpGraphics g;
        sys::GdipCreateFromHDC(surface->dc.get(), g.put());
        if (g)
            DrawCaretLine(window, g_focusCaret.focusChild, g.get());
    }
    sys::GdiFlush();
    POINT source{0, 0};
    SIZE size{surface->width, surface->height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (!sys::UpdateLayeredWindow(window, nullptr, nullptr, &size, surface->dc.get(), &source, 0, &blend, ULW_ALPHA))
        return false;
    // Handlers run by the call may have destroyed the window, and its surface with it.
    if (g_observer.presented && FindSurface(window) == surface)
        g_observer.presented(window, surface->bits, surface->width, surface->height, withCaret);
    return true;
}

void ComposeLookAndPresent(HWND window, LayeredSurface* surface, FaceLook look);

// Composes and presents `window`; with `onlyWhenChanged`, not when the face on screen was composed from the
// look the window has now. The focus parent is always composed: that also renews the face the caret blinks on
// and takes the caret off.
void Compose(HWND window, bool onlyWhenChanged) {
    RECT r{};
    if (!sys::GetWindowRect(window, &r))
        return;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;
    FaceLook look;
    ReadFaceLook(window, width, height, look);
    LayeredSurface* surface = SurfaceAtSize(window, width, height);
    if (onlyWhenChanged && surface && surface->shownKnown && window != g_focusCaret.focusParent &&
        surface->shown == look)
        return;
    ComposeLookAndPresent(window, surface, std::move(look));
}

// Composes `look` and presents it on `window` through `surface` (may be null: composed, not presented).
void ComposeLookAndPresent(HWND window, LayeredSurface* surface, FaceLook look) {
    ComposedFace face = ComposeLook(look, surface);
    if (surface && face.image) {
        // Known again only once a complete face has reached the screen: a blank or partial face, or one the
        // system refused, is composed again by the next trigger.
        surface->shownKnown = false;
        if (PresentOnSurface(window, surface, face.image.get(), 0)) {
            if (g_observer.composed)
                g_observer.composed(window, static_cast<GpBitmap*>(face.image.get()));
            // The surface is looked up again: presenting may have destroyed the window.
            LayeredSurface* still = FindSurface(window);
            if (still && face.complete) {
                still->shown = std::move(look);
                still->shownKnown = true;
            }
        }
    }
    // The focus parent's face is kept for the caret blink; any other face has served its purpose.
    if (window == g_focusCaret.focusParent)
        ReplaceFocusImage(std::move(face.image));
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
    FaceLook look;
    ReadFaceLook(window, width, height, look);
    return std::move(ComposeLook(look, FindSurface(window)).image);
}

void ComposeWindow(HWND window) {
    Compose(window, false);
}

void ComposeWindowIfChanged(HWND window) {
    Compose(window, true);
}

void ComposeWindowForText(HWND window, HWND child) {
    LayeredSurface* surface = window ? FindSurface(window) : nullptr;
    RECT r{};
    if (!surface || !surface->shownKnown || window == g_focusCaret.focusParent || !sys::GetWindowRect(window, &r) ||
        r.right - r.left != surface->width || r.bottom - r.top != surface->height) {
        ComposeWindowIfChanged(window);
        return;
    }
    const auto shown = std::find_if(surface->shown.children.begin(), surface->shown.children.end(),
                                    [child](const ChildLook& look) { return look.child == child; });
    if (shown == surface->shown.children.end()) {
        ComposeWindowIfChanged(window);
        return;
    }
    std::string text = ReadWindowText(child);
    if (text == shown->text)
        return;
    FaceLook look = surface->shown;
    look.children[static_cast<size_t>(shown - surface->shown.children.begin())].text = std::move(text);
    ComposeLookAndPresent(window, surface, std::move(look));
}

void ForgetShownFace(HWND window) {
    if (LayeredSurface* surface = window ? FindSurface(window) : nullptr)
        surface->shownKnown = false;
}

bool FaceShowsText(HWND parent, HWND child, const char* text) {
    if (!parent || parent == g_focusCaret.focusParent)
        return false;
    const LayeredSurface* surface = FindSurface(parent);
    if (!surface || !surface->shownKnown)
        return false;
    for (const ChildLook& look : surface->shown.children) {
        if (look.child == child)
            return look.text == (text ? text : "");
    }
    return false;
}

void DrawChildFace(HWND parent, HWND child, GpGraphics* graphics) {
    ChildLook look;
    if (graphics && ReadChildLook(parent, child, look))
        DrawChildLook(graphics, look, FindSurface(parent));
}

void PresentLayered(HWND window, GpImage* image, int withCaret) {
    if (!image || !sys::IsWindow(window))
        return;
    RECT r{};
    sys::GetWindowRect(window, &r);
    LayeredSurface* surface = SurfaceAtSize(window, r.right - r.left, r.bottom - r.top);
    if (!surface)
        return;
    // What is on screen now is not known to be a composition of the window.
    surface->shownKnown = false;
    PresentOnSurface(window, surface, image, withCaret);
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
