#pragma once
// GDI+ fonts, font families and string formats for drawing text. Each object owns exactly one GDI+ handle
// and releases it when the handle is replaced or the object is discarded.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace gfx {

// GDI+ font style bits and the one unit this program passes.
inline constexpr INT kFontStyleBold = 1;
inline constexpr INT kFontStyleItalic = 2;
inline constexpr INT kFontStyleUnderline = 4;
inline constexpr INT kFontStyleStrikeout = 8;
inline constexpr Gdiplus::Unit kUnitPixel = Gdiplus::UnitPixel;
// No wrapping, no fit to the black box: the layout the skin engine draws control texts with.
inline constexpr INT kTextLayoutFlags = 0x1004;

// The operations of each class keep their order: Release, Clone, Delete, then the class's own.
// Clone gives the copy a GDI+ clone of the handle, so each object releases only its own.

class FontFamilyObject {
  public:
    FontFamilyObject() = default;
    FontFamilyObject(const FontFamilyObject&) = delete;
    FontFamilyObject& operator=(const FontFamilyObject&) = delete;

    virtual void Release();
    virtual std::unique_ptr<FontFamilyObject> Clone() const;
    virtual void Delete();
    // An installed family of the system collection; the name is in the system code page.
    virtual Gdiplus::GpStatus Create(const char* name);
    virtual Gdiplus::GpFontFamily* GetHandle() const;
    virtual void SetHandle(Gdiplus::GpFontFamily* handle);

    virtual ~FontFamilyObject();

  private:
    Gdiplus::GpFontFamily* handle_ = nullptr;
};

class FontObject {
  public:
    FontObject() = default;
    FontObject(const FontObject&) = delete;
    FontObject& operator=(const FontObject&) = delete;

    virtual void Release();
    virtual std::unique_ptr<FontObject> Clone() const;
    virtual void Delete();
    virtual Gdiplus::GpStatus Create(const char* familyName, float emSize, INT style, Gdiplus::Unit unit);
    virtual Gdiplus::GpStatus CreateFromDC(HDC dc);
    // The window's own font (WM_GETFONT); no font when it has none.
    virtual Gdiplus::GpFont* CreateFromWindow(HWND window);
    // An equivalent GDI+ font: the face, |lfHeight| as the em size in pixels, Bold only for weights 600 and
    // 700, Italic/Underline/Strikeout only when the flag is exactly 1. Null for no font (the object then
    // keeps the handle it had) or for a font GDI+ cannot make.
    virtual Gdiplus::GpFont* CreateFromHFONT(HFONT font);
    virtual Gdiplus::GpFont* GetHandle() const;
    virtual void SetHandle(Gdiplus::GpFont* handle);
    virtual Gdiplus::GpStatus GetStyle(INT* style) const;
    virtual Gdiplus::GpStatus GetSize(Gdiplus::REAL* size) const;
    virtual Gdiplus::GpStatus GetUnit(Gdiplus::Unit* unit) const;
    virtual Gdiplus::GpStatus GetHeight(Gdiplus::GpGraphics* graphics, Gdiplus::REAL* height) const;

    virtual ~FontObject();

  private:
    Gdiplus::GpFont* handle_ = nullptr;
};

class StringFormatObject {
  public:
    StringFormatObject() = default;
    StringFormatObject(const StringFormatObject&) = delete;
    StringFormatObject& operator=(const StringFormatObject&) = delete;

    virtual void Release();
    virtual std::unique_ptr<StringFormatObject> Clone() const;
    virtual void Delete();
    virtual Gdiplus::GpStatus Create(INT formatFlags = 0, LANGID language = 0);
    virtual Gdiplus::GpStatus SetAlign(Gdiplus::StringAlignment align);
    virtual Gdiplus::GpStatus SetLineAlign(Gdiplus::StringAlignment align);
    // Returns the status of the line alignment.
    virtual Gdiplus::GpStatus SetAlignments(Gdiplus::StringAlignment align, Gdiplus::StringAlignment lineAlign);
    virtual void SetHandle(Gdiplus::GpStringFormat* handle);
    virtual Gdiplus::GpStringFormat* GetHandle() const;

    virtual ~StringFormatObject();

  private:
    Gdiplus::GpStringFormat* handle_ = nullptr;
};

}  // namespace gfx
