// Fonts, font families and string formats with the real GDI+ and real GDI fonts of the test prefix (Arial
// is mapped to Liberation Sans there, as every Windows system has Arial, with WenQuanYi Micro Hei linked behind
// it as on a Chinese Windows; 楷体_GB2312 is not installed).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/window_defs.h"
#include "gfx/fonts.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx_test_support.h"

namespace {

inline sys::Entry<decltype(&Gdiplus::DllExports::GdipGetStringFormatFlags)> GetStringFormatFlags{
    "GdiPlus.dll", "GdipGetStringFormatFlags"};
inline sys::Entry<decltype(&Gdiplus::DllExports::GdipGetStringFormatAlign)> GetStringFormatAlign{
    "GdiPlus.dll", "GdipGetStringFormatAlign"};
inline sys::Entry<decltype(&Gdiplus::DllExports::GdipGetStringFormatLineAlign)> GetStringFormatLineAlign{
    "GdiPlus.dll", "GdipGetStringFormatLineAlign"};

struct FontFacts {
    float size = 0;
    INT style = -1;
    Gdiplus::Unit unit = Gdiplus::UnitWorld;
    std::wstring family;
};

std::wstring FamilyNameOf(Gdiplus::GpFontFamily* family) {
    WCHAR name[LF_FACESIZE] = {};
    Gdiplus::DllExports::GdipGetFamilyName(family, name, 0);
    return name;
}

// The name GDI+ gives the family it finds for "Arial" (under Wine: the face Arial is mapped to).
std::wstring ArialFamilyName() {
    gfx::FontFamilyObject arial;
    arial.Create("Arial");
    return arial.GetHandle() ? FamilyNameOf(arial.GetHandle()) : L"(no Arial)";
}

FontFacts FactsOf(Gdiplus::GpFont* font) {
    FontFacts f;
    sys::GdipGetFontSize(font, &f.size);
    sys::GdipGetFontStyle(font, &f.style);
    sys::GdipGetFontUnit(font, &f.unit);
    Gdiplus::GpFontFamily* family = nullptr;
    if (sys::GdipGetFamily(font, &family) == Gdiplus::Ok) {
        f.family = FamilyNameOf(family);
        sys::GdipDeleteFontFamily(family);
    }
    return f;
}

struct LogfontSpec {
    const char* face = "Arial";
    LONG height = -14;
    LONG weight = 400;
    BYTE italic = 0;
    BYTE underline = 0;
    BYTE strikeOut = 0;
    BYTE charset = DEFAULT_CHARSET;
};

// A STATIC window that carries a GDI font made from `wanted`, or no font of its own.
class FontWindow {
  public:
    FontWindow() {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    }
    explicit FontWindow(const LogfontSpec& wanted) : FontWindow() {
        LOGFONTA lf = {};
        lf.lfHeight = wanted.height;
        lf.lfWeight = wanted.weight;
        lf.lfItalic = wanted.italic;
        lf.lfUnderline = wanted.underline;
        lf.lfStrikeOut = wanted.strikeOut;
        lf.lfCharSet = wanted.charset;
        lstrcpynA(lf.lfFaceName, wanted.face, LF_FACESIZE);
        font_ = CreateFontIndirectA(&lf);
        SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    ~FontWindow() {
        DestroyWindow(window_);
        if (font_)
            DeleteObject(font_);
    }
    FontWindow(const FontWindow&) = delete;
    FontWindow& operator=(const FontWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

// The pixels of `text` drawn in black with `font` on a white 200 x 60 bitmap, laid out as the skin engine
// lays out control texts; empty when GDI+ could not draw.
std::vector<Gdiplus::ARGB> Drawn(Gdiplus::GpFont* font, const wchar_t* text) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (sys::GdipCreateBitmapFromScan0(200, 60, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok)
        return {};
    gfx::UniqueGpImage holder(bitmap);
    {
        gfx::UniqueGpGraphics g;
        if (sys::GdipGetImageGraphicsContext(bitmap, g.put()) != Gdiplus::Ok)
            return {};
        Gdiplus::DllExports::GdipGraphicsClear(g.get(), 0xFFFFFFFF);
        Gdiplus::GpSolidFill* black = nullptr;
        sys::GdipCreateSolidFill(0xFF000000, &black);
        gfx::StringFormatObject format;
        format.Create(gfx::kTextLayoutFlags, 0);
        format.SetAlignments(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
        const Gdiplus::RectF box(0, 0, 200, 60);
        sys::GdipDrawString(g.get(), text, -1, font, &box, format.GetHandle(), black);
        sys::GdipDeleteBrush(black);
    }
    std::vector<Gdiplus::ARGB> pixels;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            pixels.push_back(gfxtest::PixelAt(bitmap, x, y));
    return pixels;
}

// The pixels that are not white, -1 for no picture.
int Ink(const std::vector<Gdiplus::ARGB>& pixels) {
    if (pixels.empty())
        return -1;
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [](auto p) { return p != 0xFFFFFFFF; }));
}

int InkOf(Gdiplus::GpFont* font, const wchar_t* text) {
    return Ink(Drawn(font, text));
}

class FontsFromWindows : public testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureGraphicsSession(); }

    // The facts of the font CreateFromWindow makes for a window whose font is `wanted`.
    static FontFacts FromWindow(const LogfontSpec& wanted) {
        FontWindow window(wanted);
        gfx::FontObject font;
        Gdiplus::GpFont* h = font.CreateFromWindow(window.get());
        EXPECT_EQ(h, font.GetHandle());
        if (!h)
            return {};
        return FactsOf(h);
    }
};

TEST_F(FontsFromWindows, ArialWithCharacterHeight14GivesArialOf14PixelsRegular) {
    FontFacts f = FromWindow({});
    EXPECT_EQ(f.size, 14.0f);
    EXPECT_EQ(f.unit, Gdiplus::UnitPixel);
    EXPECT_EQ(f.style, 0);
    std::printf("[ figures  ] GDI+ names the Arial family \"%ls\"\n", f.family.c_str());
    EXPECT_EQ(f.family, ArialFamilyName());
}

// A Chinese Windows links a Chinese font behind Arial (FontLink\SystemLink), so that the entry field's
// "时间格式" shows. Without the link Liberation Sans, which stands in for Arial under Wine, has no Chinese
// glyphs and every Chinese character draws the same box.
TEST_F(FontsFromWindows, ChineseCharactersInTheEntryFieldsFontDrawTheirOwnGlyphs) {
    const app::FontDef& entry = *app::FindControlDef(app::ids::kMainWindow, app::ids::kTimeEntryEdit)->font;
    FontWindow window(
        LogfontSpec{.face = entry.face, .height = entry.height, .weight = entry.weight, .charset = entry.charset});
    gfx::FontObject font;
    ASSERT_NE(font.CreateFromWindow(window.get()), nullptr);
    // 时 and 间 as the program's texts come: GBK bytes, read in the system code page.
    wchar_t shi[2] = {}, jian[2] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xCA\xB1", 2, shi, 1), 1);
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xBC\xE4", 2, jian, 1), 1);
    const std::vector<Gdiplus::ARGB> shiPixels = Drawn(font.GetHandle(), shi);
    const std::vector<Gdiplus::ARGB> jianPixels = Drawn(font.GetHandle(), jian);
    EXPECT_GT(Ink(shiPixels), 10);
    EXPECT_TRUE(shiPixels != jianPixels) << "two Chinese characters draw alike in \""
                                         << FactsOf(font.GetHandle()).family
                                         << "\": no Chinese font is linked behind it";
}

TEST_F(FontsFromWindows, PositiveCellHeightIsUsedAsTheEmSize) {
    EXPECT_EQ(FromWindow({.height = 20}).size, 20.0f);
}

TEST_F(FontsFromWindows, BoldOnlyForWeights600And700) {
    EXPECT_EQ(FromWindow({.weight = 400}).style, 0);
    EXPECT_EQ(FromWindow({.weight = 500}).style, 0);
    EXPECT_EQ(FromWindow({.weight = 600}).style, gfx::kFontStyleBold);
    EXPECT_EQ(FromWindow({.weight = 700}).style, gfx::kFontStyleBold);
    EXPECT_EQ(FromWindow({.weight = 800}).style, 0);
    EXPECT_EQ(FromWindow({.weight = 900}).style, 0);
}

TEST_F(FontsFromWindows, ItalicUnderlineAndStrikeoutEachFromAFlagOfExactlyOne) {
    EXPECT_EQ(FromWindow({.italic = 1}).style, gfx::kFontStyleItalic);
    EXPECT_EQ(FromWindow({.underline = 1}).style, gfx::kFontStyleUnderline);
    EXPECT_EQ(FromWindow({.strikeOut = 1}).style, gfx::kFontStyleStrikeout);
    EXPECT_EQ(FromWindow({.weight = 700, .italic = 1, .underline = 1, .strikeOut = 1}).style, 15);
    EXPECT_EQ(FromWindow({.italic = 2, .underline = 255}).style, 0);
}

TEST_F(FontsFromWindows, WindowWithoutFontGivesNoFontAndKeepsTheHeldOne) {
    FontWindow plain;
    ASSERT_EQ(SendMessageA(plain.get(), WM_GETFONT, 0, 0), 0);
    gfx::FontObject fresh;
    EXPECT_EQ(fresh.CreateFromWindow(plain.get()), nullptr);
    EXPECT_EQ(fresh.GetHandle(), nullptr);

    FontWindow arial(LogfontSpec{});
    gfx::FontObject font;
    Gdiplus::GpFont* held = font.CreateFromWindow(arial.get());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(font.CreateFromWindow(plain.get()), nullptr);
    EXPECT_EQ(font.GetHandle(), held);
    EXPECT_GT(InkOf(font.GetHandle(), L"Now-12:00"), 0);
}

TEST_F(FontsFromWindows, ZeroHeightGivesNoFont) {
    FontWindow window(LogfontSpec{.height = 0});
    gfx::FontObject font;
    EXPECT_EQ(font.CreateFromWindow(window.get()), nullptr);
    EXPECT_EQ(font.GetHandle(), nullptr);
}

TEST_F(FontsFromWindows, FaceNotInstalledUnderItsNameFallsBackToTheFaceGdiMapsItTo) {
    const char* kaiti = "楷体_GB2312";
    gfx::FontFamilyObject family;
    ASSERT_NE(family.Create(kaiti), Gdiplus::Ok) << "the test prefix must lack this face";

    FontWindow window(LogfontSpec{.face = kaiti, .height = -12, .charset = GB2312_CHARSET});
    gfx::FontObject font;
    Gdiplus::GpFont* h = font.CreateFromWindow(window.get());
    ASSERT_NE(h, nullptr);
    FontFacts f = FactsOf(h);
    char shown[64] = {};
    WideCharToMultiByte(CP_ACP, 0, f.family.c_str(), -1, shown, sizeof shown - 1, nullptr, nullptr);
    std::printf("[ figures  ] 楷体_GB2312 is drawn with \"%s\"\n", shown);
    EXPECT_FALSE(f.family.empty());
    EXPECT_EQ(f.size, 12.0f);
    EXPECT_EQ(f.unit, Gdiplus::UnitPixel);
    EXPECT_EQ(f.style, 0);
    EXPECT_GT(InkOf(h, L"离关机还有"), 20);

    // The same rules hold on the fallback: weight 700 is Bold, lfHeight 0 is still no font.
    EXPECT_EQ(FromWindow({.face = kaiti, .height = -12, .weight = 700, .charset = GB2312_CHARSET}).style,
              gfx::kFontStyleBold);
    FontWindow flat(LogfontSpec{.face = kaiti, .height = 0, .charset = GB2312_CHARSET});
    gfx::FontObject none;
    EXPECT_EQ(none.CreateFromWindow(flat.get()), nullptr);
}

TEST_F(FontsFromWindows, FamilyCreateFindsInstalledFacesOnly) {
    gfx::FontFamilyObject family;
    EXPECT_EQ(family.Create("WenQuanYi Micro Hei"), Gdiplus::Ok);
    EXPECT_NE(family.GetHandle(), nullptr);
    EXPECT_EQ(family.Create("No Such Face Anywhere"), Gdiplus::FontFamilyNotFound);
    EXPECT_EQ(family.GetHandle(), nullptr);
    EXPECT_NE(family.Create(nullptr), Gdiplus::Ok);
}

TEST_F(FontsFromWindows, CreateByFamilyNameAndGetters) {
    gfx::FontObject font;
    ASSERT_EQ(font.Create("Arial", 10.5f, gfx::kFontStyleItalic, gfx::kUnitPixel), Gdiplus::Ok);
    INT style = -1;
    Gdiplus::REAL size = 0;
    Gdiplus::Unit unit = Gdiplus::UnitWorld;
    EXPECT_EQ(font.GetStyle(&style), Gdiplus::Ok);
    EXPECT_EQ(font.GetSize(&size), Gdiplus::Ok);
    EXPECT_EQ(font.GetUnit(&unit), Gdiplus::Ok);
    EXPECT_EQ(style, gfx::kFontStyleItalic);
    EXPECT_EQ(size, 10.5f);
    EXPECT_EQ(unit, Gdiplus::UnitPixel);

    HDC dc = CreateCompatibleDC(nullptr);
    gfx::UniqueGpGraphics g;
    ASSERT_EQ(sys::GdipCreateFromHDC(dc, g.put()), Gdiplus::Ok);
    Gdiplus::REAL height = 0;
    EXPECT_EQ(font.GetHeight(g.get(), &height), Gdiplus::Ok);
    EXPECT_GT(height, 10.5f);  // line spacing exceeds the em size
    g.reset();
    DeleteDC(dc);

    EXPECT_NE(font.Create("No Such Face Anywhere", 10, 0, gfx::kUnitPixel), Gdiplus::Ok);
    EXPECT_EQ(font.GetHandle(), nullptr);
    EXPECT_NE(font.GetSize(&size), Gdiplus::Ok);
}

TEST_F(FontsFromWindows, CreateFromDCTakesTheFontSelectedIntoTheDC) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA lf = {};
    lf.lfHeight = -18;
    lstrcpyA(lf.lfFaceName, "Arial");
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, f);
    gfx::FontObject font;
    EXPECT_EQ(font.CreateFromDC(dc), Gdiplus::Ok);
    ASSERT_NE(font.GetHandle(), nullptr);
    EXPECT_EQ(FactsOf(font.GetHandle()).family, ArialFamilyName());
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
}

TEST_F(FontsFromWindows, CloneOwnsAnEqualFontThatOutlivesTheOriginal) {
    auto font = std::make_unique<gfx::FontObject>();
    ASSERT_EQ(font->Create("Arial", 16, gfx::kFontStyleBold, gfx::kUnitPixel), Gdiplus::Ok);
    std::unique_ptr<gfx::FontObject> copy = font->Clone();
    ASSERT_NE(copy->GetHandle(), nullptr);
    EXPECT_NE(copy->GetHandle(), font->GetHandle());
    font->Release();
    EXPECT_EQ(font->GetHandle(), nullptr);
    font.reset();
    FontFacts f = FactsOf(copy->GetHandle());
    EXPECT_EQ(f.size, 16.0f);
    EXPECT_EQ(f.style, gfx::kFontStyleBold);
    EXPECT_GT(InkOf(copy->GetHandle(), L"abc"), 0);

    gfx::FontFamilyObject family;
    ASSERT_EQ(family.Create("Arial"), Gdiplus::Ok);
    std::unique_ptr<gfx::FontFamilyObject> familyCopy = family.Clone();
    ASSERT_NE(familyCopy->GetHandle(), nullptr);
    const std::wstring name = FamilyNameOf(family.GetHandle());
    family.Delete();
    EXPECT_EQ(FamilyNameOf(familyCopy->GetHandle()), name);

    gfx::StringFormatObject format;
    format.Create(0x1004, 0);
    std::unique_ptr<gfx::StringFormatObject> formatCopy = format.Clone();
    INT flags = 0;
    ASSERT_NE(formatCopy->GetHandle(), format.GetHandle());
    EXPECT_EQ(GetStringFormatFlags(formatCopy->GetHandle(), &flags), Gdiplus::Ok);
    EXPECT_EQ(flags, 0x1004);

    gfx::FontObject empty;
    EXPECT_EQ(empty.Clone()->GetHandle(), nullptr);
}

TEST_F(FontsFromWindows, StringFormatTakesFlagsAndAlignments) {
    gfx::StringFormatObject format;
    ASSERT_EQ(format.Create(gfx::kTextLayoutFlags, 0), Gdiplus::Ok);
    EXPECT_EQ(format.SetAlignments(Gdiplus::StringAlignmentFar, Gdiplus::StringAlignmentCenter), Gdiplus::Ok);
    INT flags = 0;
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
    Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
    GetStringFormatFlags(format.GetHandle(), &flags);
    GetStringFormatAlign(format.GetHandle(), &align);
    GetStringFormatLineAlign(format.GetHandle(), &lineAlign);
    EXPECT_EQ(flags, 0x1004);
    EXPECT_EQ(align, Gdiplus::StringAlignmentFar);
    EXPECT_EQ(lineAlign, Gdiplus::StringAlignmentCenter);

    EXPECT_EQ(format.SetAlign(Gdiplus::StringAlignmentCenter), Gdiplus::Ok);
    GetStringFormatAlign(format.GetHandle(), &align);
    EXPECT_EQ(align, Gdiplus::StringAlignmentCenter);

    gfx::StringFormatObject none;
    EXPECT_EQ(none.SetAlignments(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear),
              Gdiplus::InvalidParameter);
}

// Replacing or deleting handles over and over must not pile up GDI+ objects.
TEST_F(FontsFromWindows, SetHandleAndDeleteReleaseTheHeldObjects) {
    gfx::FontObject font;
    gfx::FontFamilyObject family;
    gfx::StringFormatObject format;
    auto cycle = [&](int times) {
        for (int i = 0; i < times; ++i) {
            font.Create("Arial", 12, 0, gfx::kUnitPixel);  // SetHandle over the previous font
            family.Create("Arial");
            format.Create(0x1004, 0);
        }
        font.Delete();
        family.Delete();
        format.Delete();
    };
    cycle(1000);
    const long long growth = gfxtest::PrivateBytesGrowth(1 << 20, [&] { cycle(20000); });
    std::printf("[ figures  ] 20000 font, family and format replacements: private bytes %+lld\n", growth);
    EXPECT_LT(growth, 1 << 20);
    EXPECT_EQ(font.GetHandle(), nullptr);
    EXPECT_EQ(family.GetHandle(), nullptr);
    EXPECT_EQ(format.GetHandle(), nullptr);
}

}  // namespace
