// Fonts and text: word-wrapped measuring, "&" prefixes, Windows-1250 input
// rendered with its accents, deterministic extents and the face substitution.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <filesystem>

#include "gui_test_surface.h"
#include "platform/gui/font_engine.h"

namespace {

LOGFONTA Font(const char* face, int height) {
  LOGFONTA lf;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  lf.lfHeight = height;
  return lf;
}

// A surface with a font selected and black text on a transparent background.
class TextSurface : public TestSurface {
public:
  TextSurface(int w, int h, const LOGFONTA& lf) : TestSurface(w, h), font_(CreateFontIndirect(&lf)) {
    SelectObject(dc(), font_);
    SetBkMode(dc(), TRANSPARENT);
    SetTextColor(dc(), 0);
  }
  ~TextSurface() { SelectObject(dc(), GetStockObject(SYSTEM_FONT)), DeleteObject(font_); }
  int Width(const char* text) {
    SIZE size;
    GetTextExtentPoint32(dc(), text, -1, &size);
    return size.cx;
  }

private:
  HFONT font_;
};

TEST(DrawTextLayout, WordBreakWrapsBetweenWords) {
  TextSurface s(1, 1, Font("Tahoma", -11));
  TEXTMETRICA tm;
  GetTextMetrics(s.dc(), &tm);
  const int aaa = s.Width("aaa"), bbb = s.Width("bbb"), both = s.Width("aaa bbb");
  ASSERT_LT(aaa + 1, both);
  struct {
    int width;
    int lines;
    int right;
  } cases[] = {
      {aaa + 1, 2, std::max(aaa, bbb)},  // between the two words
      {both, 1, both},                   // the whole text fits
      {1, 2, std::max(aaa, bbb)},        // narrower than a word: words stay whole
  };
  for (const auto& c : cases) {
    RECT r{10, 5, 10 + c.width, 5};
    const int height = DrawText(s.dc(), "aaa bbb", -1, &r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(height, c.lines * tm.tmHeight) << "width " << c.width;
    EXPECT_EQ(r, (TRect{10, 5, 10 + c.right, 5 + height})) << "width " << c.width;
  }
}

TEST(DrawTextLayout, PrefixUnderlinesOnlyTheMarkedLetter) {
  const LOGFONTA lf = Font("MS Sans Serif", -11);
  TextSurface prefixed(60, 20, lf), plain(60, 20, lf);
  RECT r{0, 0, 60, 20};
  DrawText(prefixed.dc(), "&Soubor", -1, &r, DT_SINGLELINE);
  DrawText(plain.dc(), "Soubor", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  const int sWidth = plain.Width("S");
  int changed = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      if (prefixed.At(x, y) != plain.At(x, y)) {
        ++changed;
        EXPECT_LT(x, sWidth) << "underline outside the S at " << x << "," << y;
        EXPECT_EQ(prefixed.At(x, y), 0u);
      }
  EXPECT_GE(changed, sWidth - 1);
  // "&&" is a literal ampersand, not a prefix.
  TextSurface amp(60, 20, lf), literal(60, 20, lf);
  DrawText(amp.dc(), "A&&B", -1, &r, DT_SINGLELINE);
  DrawText(literal.dc(), "A&B", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(amp.At(x, y), literal.At(x, y));
}

// Coverage blending, rounded half away from zero.
int Blend(int from, int to, int coverage) {
  const int step = (to - from) * coverage;
  return from + (step >= 0 ? step + 127 : step - 127) / 255;
}

// A rendered glyph's coverage at (x, y): grey levels, or one bit per pixel
// for the embedded bitmaps some faces carry for small sizes.
int CoverageAt(const FT_Bitmap& bm, int x, int y) {
  const unsigned char* row = bm.buffer + y * bm.pitch;
  if (bm.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
  return row[x];
}

// The glyph drawn from Windows-1250 bytes equals the same character rendered
// straight from its Unicode code point through FreeType.
TEST(TextRendering, Windows1250TextKeepsItsAccents) {
  const std::string text = "ž";  // compiled to Windows-1250
  ASSERT_EQ(text, "\x9E");
  const LOGFONTA lf = Font("Tahoma", -16);
  TextSurface s(30, 30, lf);
  TextOut(s.dc(), 5, 2, text.c_str(), 1);
  auto face = FontFace::Resolve(lf);
  FT_Library lib;
  FT_Face ft;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  ASSERT_EQ(FT_New_Face(lib, face->file.c_str(), face->faceIndex, &ft), 0);
  FT_Set_Pixel_Sizes(ft, 0, FT_UInt(face->pixelSize));
  ASSERT_EQ(FT_Load_Char(ft, 0x017E, FontFace::kLoadFlags), 0);
  ASSERT_EQ(FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL), 0);
  const FT_Bitmap& bm = ft->glyph->bitmap;
  const int left = 5 + ft->glyph->bitmap_left, top = 2 + face->ascent - ft->glyph->bitmap_top;
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= left && x < left + int(bm.width) && y >= top && y < top + int(bm.rows);
      const int coverage = inside ? CoverageAt(bm, x - left, y - top) : 0;
      const int grey = Blend(255, 0, coverage);
      inked += coverage > 0;
      ASSERT_EQ(s.At(x, y), RGB(grey, grey, grey)) << x << "," << y;
    }
  EXPECT_GT(inked, 10);
  FT_Done_Face(ft);
  FT_Done_FreeType(lib);
  // The caron makes it differ from a plain "z".
  TextSurface z(30, 30, lf);
  TextOut(z.dc(), 5, 2, "z", 1);
  bool differs = false;
  for (int y = 0; y < 30 && !differs; ++y)
    for (int x = 0; x < 30; ++x) differs = differs || z.At(x, y) != s.At(x, y);
  EXPECT_TRUE(differs);
}

TEST(TextRendering, FullyCoveredPixelsTakeTheTextColourOnANearlyEqualBackground) {
  // Black on RGB(1, 1, 1): the background a tray text icon uses as its transparent colour.
  TestSurface s(30, 30, RGB(1, 1, 1));
  const LOGFONTA lf = Font("Arial", -16);
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(s.dc(), font);
  SetBkMode(s.dc(), TRANSPARENT);
  SetTextColor(s.dc(), 0);
  TextOut(s.dc(), 2, 2, "8", 1);
  int black = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) black += s.At(x, y) == RGB(0, 0, 0);
  EXPECT_GT(black, 5);
  SelectObject(s.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST(TextRendering, ExtentsAreTheSumOfAdvancesAndRepeatable) {
  const LOGFONTA lf = Font("Arial", -12);
  TextSurface a(1, 1, lf), b(1, 1, lf);
  const char* text = "Záloha databáze vytvořena!";
  EXPECT_EQ(a.Width(text), b.Width(text));
  int sum = 0;
  for (const char* p = text; *p; ++p) {
    SIZE size;
    GetTextExtentPoint32(a.dc(), p, 1, &size);
    sum += size.cx;
  }
  EXPECT_EQ(a.Width(text), sum);  // no kerning: text measures piece by piece
  // A positive height asks for the cell height.
  TextSurface cell(1, 1, Font("Arial", 20));
  TEXTMETRICA tm;
  GetTextMetrics(cell.dc(), &tm);
  EXPECT_EQ(tm.tmHeight, 20);
}

TEST(FontSubstitution, EveryNameTheControlsUseHasAnInstalledFace) {
  for (const char* name : {"Tahoma", "MS Sans Serif", "Arial", "Marlett", "No Such Font 12"}) {
    const std::string family = SubstituteFontFamily(name);
    EXPECT_FALSE(family.empty()) << name;
    auto face = FontFace::Resolve(Font(name, -11));
    EXPECT_TRUE(std::filesystem::exists(face->file)) << name;
    EXPECT_EQ(face->family, family) << name;
  }
}

}  // namespace
