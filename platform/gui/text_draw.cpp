// Text output: TextOut, ExtTextOut, text extents and metrics, and DrawText
// with alignment, word breaks, tab expansion and "&" prefixes. Text arrives
// as Windows-1250 bytes and is converted to Unicode here, at the font
// boundary; glyph coverage is blended onto the target in the text colour.
#include <algorithm>
#include <cstring>

#include "platform/gui/font_engine.h"
#include "platform/gui/raster.h"
#include "platform/rtl/text.h"

using namespace gdi_detail;

namespace {

constexpr int kTabColumns = 8;  // default tab stop in average character widths

FontFace& Face(HDC dc) {
  GdiFont* font = dc->state.font;
  if (!font->face) font->face = FontFace::Resolve(font->logFont);
  return *font->face;
}

std::string_view TextOf(const char* text, int count) {
  if (!text) return {};
  return count < 0 ? std::string_view(text) : std::string_view(text, size_t(count));
}

// One line laid out for drawing: its characters and the indexes of the
// characters to underline (from "&" prefixes).
struct Line {
  std::u32string chars;
  std::vector<size_t> underlined;
};

// Rounds half away from zero either way, so full coverage always reaches To
// (darker text on a background one step lighter must still show).
int Blend(int from, int to, int coverage) {
  const int step = (to - from) * coverage;
  return from + (step >= 0 ? step + 127 : step - 127) / 255;
}

Pixel BlendPixel(Pixel d, Pixel c, int coverage) {
  return Pixel(Blend((d >> 16) & 0xFF, (c >> 16) & 0xFF, coverage)) << 16 |
         Pixel(Blend((d >> 8) & 0xFF, (c >> 8) & 0xFF, coverage)) << 8 | Pixel(Blend(d & 0xFF, c & 0xFF, coverage));
}

// Draws glyph coverage at a target position, clipped to the DC and to clip.
void PaintGlyph(DeviceContext& dc, const GlyphImage& g, int penX, int baseline, const TRect& clip) {
  GdiBitmap& target = *dc.Target();
  const Pixel color = ToTargetFormat(target, ColorToPixel(dc.state.textColor));
  const int x0 = penX + g.left, y0 = baseline - g.top;
  TRect area{std::max(x0, clip.Left), std::max(y0, clip.Top), std::min(x0 + g.width, clip.Right),
             std::min(y0 + g.height, clip.Bottom)};
  if (area.Left >= area.Right || area.Top >= area.Bottom) return;
  ForEachSpan(dc, area, [&](int xa, int xb, int y) {
    Pixel* row = target.Row(y);
    const uint8_t* cov = g.coverage.data() + size_t(y - y0) * g.width;
    for (int x = xa; x < xb; ++x) {
      const int c = cov[x - x0];
      if (c == 0) continue;
      row[x] = target.IsMono() ? (c >= 128 ? color : row[x]) : BlendPixel(row[x], color, c);
    }
  });
}

void FillTarget(DeviceContext& dc, const TRect& r, COLORREF color) {
  GdiBrush brush;
  brush.color = color;
  FillWithBrush(dc, r, brush, 0xF0);
}

int TabWidth(FontFace& face, UINT format) {
  const int columns = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : kTabColumns;
  return std::max(1, (columns ? columns : kTabColumns) * face.aveCharWidth);
}

// Pixel x of each character start plus the end, tabs stopping at multiples of tab.
std::vector<int> CharPositions(FontFace& face, const std::u32string& s, int tab) {
  std::vector<int> xs{0};
  int x = 0;
  for (char32_t c : s) {
    x = (c == U'\t' && tab > 0) ? (x / tab + 1) * tab : x + face.Advance(c);
    xs.push_back(x);
  }
  return xs;
}

int LineWidth(FontFace& face, const std::u32string& s, int tab) { return CharPositions(face, s, tab).back(); }

// Draws one line with its top-left at a target position.
void PaintLine(DeviceContext& dc, FontFace& face, const Line& line, int tx, int ty, int tab, const TRect& clip) {
  const std::vector<int> xs = CharPositions(face, line.chars, tab);
  if (dc.state.bkMode == OPAQUE) {
    TRect cell{tx, ty, tx + xs.back(), ty + face.height};
    FillTarget(dc, {std::max(cell.Left, clip.Left), std::max(cell.Top, clip.Top), std::min(cell.Right, clip.Right),
                    std::min(cell.Bottom, clip.Bottom)},
               dc.state.bkColor);
  }
  const int baseline = ty + face.ascent;
  for (size_t i = 0; i < line.chars.size(); ++i)
    if (line.chars[i] != U'\t') PaintGlyph(dc, face.Glyph(line.chars[i]), tx + xs[i], baseline, clip);
  auto underline = [&](int x0, int x1, int y) {
    const TRect r{std::max(x0, clip.Left), std::max(y, clip.Top), std::min(x1, clip.Right),
                  std::min(y + face.underlineThickness, clip.Bottom)};
    if (r.Left < r.Right && r.Top < r.Bottom) FillTarget(dc, r, dc.state.textColor);
  };
  if (face.underline) underline(tx, tx + xs.back(), baseline + face.underlinePosition);
  if (face.strikeOut) underline(tx, tx + xs.back(), baseline - face.ascent / 3);
  for (size_t i : line.underlined) underline(tx + xs[i], tx + xs[i + 1], baseline + face.underlinePosition);
}

std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (unsigned char c : s) out.push_back(AnsiCharToWide(c));
  return out;
}

// Removes "&" prefixes: "&&" is a literal "&", "&x" marks x for underlining.
Line ApplyPrefixes(const std::u32string& s, UINT format) {
  Line line;
  if (format & DT_NOPREFIX) {
    line.chars = s;
    return line;
  }
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != U'&' && !(format & DT_HIDEPREFIX)) line.underlined.push_back(line.chars.size());
    } else if (s[i] == U'&') {
      continue;  // a trailing "&" has nothing to mark
    }
    line.chars.push_back(s[i]);
  }
  return line;
}

std::vector<std::u32string> SplitParagraphs(const std::u32string& s, bool singleLine) {
  if (singleLine) return {s};
  std::vector<std::u32string> out(1);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'\r' || s[i] == U'\n') {
      if (s[i] == U'\r' && i + 1 < s.size() && s[i + 1] == U'\n') ++i;
      out.emplace_back();
    } else {
      out.back().push_back(s[i]);
    }
  }
  return out;
}

// Breaks a paragraph at blanks so that lines fit maxWidth; a word wider than
// the width stays whole on its own line.
std::vector<Line> WrapLine(FontFace& face, const Line& line, int maxWidth, int tab) {
  std::vector<Line> out;
  const std::u32string& s = line.chars;
  const std::vector<int> xs = CharPositions(face, s, tab);
  size_t start = 0;
  while (true) {
    size_t end = start, lastBreak = std::u32string::npos;
    while (end < s.size()) {
      if (s[end] == U' ') lastBreak = end;
      if (xs[end + 1] - xs[start] > maxWidth && s[end] != U' ') {
        if (lastBreak != std::u32string::npos && lastBreak > start) {
          end = lastBreak;
        } else {  // no blank before: keep the whole word
          while (end < s.size() && s[end] != U' ') ++end;
        }
        break;
      }
      ++end;
    }
    Line piece;
    size_t visibleEnd = end;
    while (visibleEnd > start && s[visibleEnd - 1] == U' ' && end < s.size()) --visibleEnd;
    piece.chars = s.substr(start, visibleEnd - start);
    for (size_t u : line.underlined)
      if (u >= start && u < visibleEnd) piece.underlined.push_back(u - start);
    out.push_back(std::move(piece));
    if (end >= s.size()) break;
    start = end;
    while (start < s.size() && s[start] == U' ') ++start;
    if (start >= s.size()) break;
  }
  return out;
}

TRect NoClip() { return {-(1 << 29), -(1 << 29), 1 << 29, 1 << 29}; }

}  // namespace

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int count, const int*) {
  if (!dc || !dc->Target()) return 0;
  FontFace& face = Face(dc);
  TRect clip = NoClip();
  if (rect && (options & ETO_OPAQUE)) FillTarget(*dc, dc->ToTarget(*rect), dc->state.bkColor);
  if (rect && (options & ETO_CLIPPED)) clip = dc->ToTarget(*rect);
  Line line;
  line.chars = Decode(TextOf(text, count));
  const POINT t = dc->ToTarget(x, y);
  PaintLine(*dc, face, line, t.X, t.Y, 0, clip);
  return 1;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
  return ExtTextOutA(dc, x, y, 0, nullptr, text, count, nullptr);
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size) {
  if (!dc || !size) return 0;
  FontFace& face = Face(dc);
  *size = {LineWidth(face, Decode(TextOf(text, count)), 0), face.height};
  return 1;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  if (!dc || !metrics) return 0;
  FontFace& face = Face(dc);
  TEXTMETRICA m;
  m.tmHeight = face.height;
  m.tmAscent = face.ascent;
  m.tmDescent = face.descent;
  m.tmInternalLeading = face.internalLeading;
  m.tmAveCharWidth = face.aveCharWidth;
  m.tmMaxCharWidth = face.maxCharWidth;
  m.tmWeight = face.weight;
  m.tmItalic = face.italic;
  m.tmUnderlined = face.underline;
  m.tmStruckOut = face.strikeOut;
  m.tmCharSet = dc->state.font->logFont.lfCharSet;
  *metrics = m;
  return 1;
}

int GetTextFaceA(HDC dc, int size, char* name) {
  if (!dc || !name || size <= 0) return 0;
  const char* face = dc->state.font->logFont.lfFaceName;
  std::strncpy(name, face, size_t(size - 1));
  name[size - 1] = 0;
  return int(std::strlen(name));
}

int DrawTextA(HDC dc, const char* text, int count, RECT* rect, UINT format) {
  if (!dc || !rect) return 0;
  FontFace& face = Face(dc);
  const int tab = (format & DT_EXPANDTABS) ? TabWidth(face, format) : 0;
  const bool single = format & DT_SINGLELINE;
  const int lineHeight = face.height;
  std::vector<Line> lines;
  const std::u32string all = Decode(TextOf(text, count));
  if (!all.empty())
    for (const std::u32string& paragraph : SplitParagraphs(all, single)) {
      Line line = ApplyPrefixes(paragraph, format);
      if ((format & DT_WORDBREAK) && !single) {
        for (Line& piece : WrapLine(face, line, rect->Width(), tab)) lines.push_back(std::move(piece));
      } else {
        lines.push_back(std::move(line));
      }
    }
  const int textHeight = int(lines.size()) * lineHeight;
  int maxWidth = 0;
  for (const Line& l : lines) maxWidth = std::max(maxWidth, LineWidth(face, l.chars, tab));
  if (format & DT_CALCRECT) {
    rect->Right = rect->Left + maxWidth;
    rect->Bottom = rect->Top + textHeight;
    return textHeight;
  }
  if (!dc->Target() || lines.empty()) return textHeight;
  int y = rect->Top;
  if (single && (format & DT_VCENTER)) y = rect->Top + (rect->Height() - lineHeight) / 2;
  if (single && (format & DT_BOTTOM)) y = rect->Bottom - lineHeight;
  const TRect clip = (format & DT_NOCLIP) ? NoClip() : dc->ToTarget(*rect);
  for (const Line& l : lines) {
    const int width = LineWidth(face, l.chars, tab);
    int x = rect->Left;
    if (format & DT_CENTER) x = rect->Left + (rect->Width() - width) / 2;
    else if (format & DT_RIGHT) x = rect->Right - width;
    const POINT t = dc->ToTarget(x, y);
    PaintLine(*dc, face, l, t.X, t.Y, tab, clip);
    y += lineHeight;
  }
  return textHeight;
}
