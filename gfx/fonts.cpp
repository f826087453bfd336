#include "gfx/fonts.h"

#include <cstring>

#include "gfx/byteblock.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"

namespace gfx {

namespace {

// The 8-bit LOGFONT as GetObjectA writes it.
constexpr int kLogfontASize = 60;
static_assert(sizeof(LOGFONTA) == kLogfontASize);

INT StyleOf(const LOGFONTA& lf) {
    INT style = 0;
    if (lf.lfWeight == 600 || lf.lfWeight == 700)
        style |= kFontStyleBold;
    if (lf.lfItalic == 1)
        style |= kFontStyleItalic;
    if (lf.lfUnderline == 1)
        style |= kFontStyleUnderline;
    if (lf.lfStrikeOut == 1)
        style |= kFontStyleStrikeout;
    return style;
}

// GDI+ finds a family only under its installed name, while GDI maps any face name (a legacy alias such as
// 楷体_GB2312, a missing face) to a face it has. Asking GDI+ for a font from the LOGFONT goes through that
// mapper; the family of that font is what GDI itself would draw with.
Gdiplus::GpFontFamily* FamilyMappedByGdi(const LOGFONTA& lf) {
    UniqueMemoryDC dc(sys::CreateCompatibleDC(nullptr));
    if (!dc)
        return nullptr;
    UniqueGpFont mapped;
    if (sys::GdipCreateFontFromLogfontA(dc.get(), &lf, mapped.put()) != Gdiplus::Ok) {
        mapped.release();
        return nullptr;
    }
    Gdiplus::GpFontFamily* family = nullptr;
    if (sys::GdipGetFamily(mapped.get(), &family) != Gdiplus::Ok)
        return nullptr;
    return family;
}

}  // namespace

FontFamilyObject::~FontFamilyObject() {
    FontFamilyObject::Delete();
}

void FontFamilyObject::Release() {
    Delete();
}

std::unique_ptr<FontFamilyObject> FontFamilyObject::Clone() const {
    auto copy = std::make_unique<FontFamilyObject>();
    Gdiplus::GpFontFamily* h = nullptr;
    if (handle_ && sys::GdipCloneFontFamily(handle_, &h) == Gdiplus::Ok)
        copy->SetHandle(h);
    return copy;
}

void FontFamilyObject::Delete() {
    if (handle_)
        sys::GdipDeleteFontFamily(handle_);
    handle_ = nullptr;
}

Gdiplus::GpStatus FontFamilyObject::Create(const char* name) {
    Gdiplus::GpFontFamily* h = nullptr;
    ByteBlock wide = ToUtf16(name);
    const Gdiplus::GpStatus status = sys::GdipCreateFontFamilyFromName(WideText(wide), nullptr, &h);
    SetHandle(status == Gdiplus::Ok ? h : nullptr);
    return status;
}

Gdiplus::GpFontFamily* FontFamilyObject::GetHandle() const {
    return handle_;
}

void FontFamilyObject::SetHandle(Gdiplus::GpFontFamily* handle) {
    Delete();
    handle_ = handle;
}

FontObject::~FontObject() {
    FontObject::Delete();
}

void FontObject::Release() {
    Delete();
}

std::unique_ptr<FontObject> FontObject::Clone() const {
    auto copy = std::make_unique<FontObject>();
    Gdiplus::GpFont* h = nullptr;
    if (handle_ && sys::GdipCloneFont(handle_, &h) == Gdiplus::Ok)
        copy->SetHandle(h);
    return copy;
}

void FontObject::Delete() {
    if (handle_)
        sys::GdipDeleteFont(handle_);
    handle_ = nullptr;
}

Gdiplus::GpStatus FontObject::Create(const char* familyName, float emSize, INT style, Gdiplus::Unit unit) {
    FontFamilyObject family;
    family.Create(familyName);
    Gdiplus::GpFont* h = nullptr;
    const Gdiplus::GpStatus status = sys::GdipCreateFont(family.GetHandle(), emSize, style, unit, &h);
    SetHandle(status == Gdiplus::Ok ? h : nullptr);
    return status;
}

Gdiplus::GpStatus FontObject::CreateFromDC(HDC dc) {
    Gdiplus::GpFont* h = nullptr;
    const Gdiplus::GpStatus status = sys::GdipCreateFontFromDC(dc, &h);
    SetHandle(status == Gdiplus::Ok ? h : nullptr);
    return status;
}

Gdiplus::GpFont* FontObject::CreateFromWindow(HWND window) {
    auto font = reinterpret_cast<HFONT>(sys::SendMessageA(window, WM_GETFONT, 0, 0));
    return CreateFromHFONT(font);
}

Gdiplus::GpFont* FontObject::CreateFromHFONT(HFONT font) {
    if (!font)
        return nullptr;
    LOGFONTA lf = {};
    sys::GetObjectA(font, kLogfontASize, &lf);
    const INT style = StyleOf(lf);

    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, lf.lfFaceName, LF_FACESIZE);
    FontFamilyObject family;
    family.Create(name);

    const float emSize = static_cast<float>(lf.lfHeight < 0 ? -static_cast<double>(lf.lfHeight) : lf.lfHeight);
    Gdiplus::GpFont* h = nullptr;
    // Not every GDI+ rejects an em size of 0 by itself; a zero height is no font everywhere.
    if (emSize == 0 || sys::GdipCreateFont(family.GetHandle(), emSize, style, kUnitPixel, &h) != Gdiplus::Ok)
        h = nullptr;
    // A face not installed under its own name would draw no text at all; take the face GDI maps it to,
    // with the same size, style and unit. A zero height stays no font.
    if (!h && !family.GetHandle() && emSize != 0) {
        family.SetHandle(FamilyMappedByGdi(lf));
        if (family.GetHandle() && sys::GdipCreateFont(family.GetHandle(), emSize, style, kUnitPixel, &h) != Gdiplus::Ok)
            h = nullptr;
    }
    SetHandle(h);
    return h;
}

Gdiplus::GpFont* FontObject::GetHandle() const {
    return handle_;
}

void FontObject::SetHandle(Gdiplus::GpFont* handle) {
    Delete();
    handle_ = handle;
}

Gdiplus::GpStatus FontObject::GetStyle(INT* style) const {
    return sys::GdipGetFontStyle(handle_, style);
}

Gdiplus::GpStatus FontObject::GetSize(Gdiplus::REAL* size) const {
    return sys::GdipGetFontSize(handle_, size);
}

Gdiplus::GpStatus FontObject::GetUnit(Gdiplus::Unit* unit) const {
    return sys::GdipGetFontUnit(handle_, unit);
}

Gdiplus::GpStatus FontObject::GetHeight(Gdiplus::GpGraphics* graphics, Gdiplus::REAL* height) const {
    return sys::GdipGetFontHeight(handle_, graphics, height);
}

StringFormatObject::~StringFormatObject() {
    StringFormatObject::Delete();
}

void StringFormatObject::Release() {
    Delete();
}

std::unique_ptr<StringFormatObject> StringFormatObject::Clone() const {
    auto copy = std::make_unique<StringFormatObject>();
    Gdiplus::GpStringFormat* h = nullptr;
    if (handle_ && sys::GdipCloneStringFormat(handle_, &h) == Gdiplus::Ok)
        copy->SetHandle(h);
    return copy;
}

void StringFormatObject::Delete() {
    if (handle_)
        sys::GdipDeleteStringFormat(handle_);
    handle_ = nullptr;
}

Gdiplus::GpStatus StringFormatObject::Create(INT formatFlags, LANGID language) {
    Gdiplus::GpStringFormat* h = nullptr;
    const Gdiplus::GpStatus status = sys::GdipCreateStringFormat(formatFlags, language, &h);
    SetHandle(status == Gdiplus::Ok ? h : nullptr);
    return status;
}

Gdiplus::GpStatus StringFormatObject::SetAlign(Gdiplus::StringAlignment align) {
    return sys::GdipSetStringFormatAlign(handle_, align);
}

Gdiplus::GpStatus StringFormatObject::SetLineAlign(Gdiplus::StringAlignment align) {
    return sys::GdipSetStringFormatLineAlign(handle_, align);
}

Gdiplus::GpStatus StringFormatObject::SetAlignments(Gdiplus::StringAlignment align,
                                                    Gdiplus::StringAlignment lineAlign) {
    SetAlign(align);
    return SetLineAlign(lineAlign);
}

void StringFormatObject::SetHandle(Gdiplus::GpStringFormat* handle) {
    Delete();
    handle_ = handle;
}

Gdiplus::GpStringFormat* StringFormatObject::GetHandle() const {
    return handle_;
}

}  // namespace gfx
