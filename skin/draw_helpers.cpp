// Frame cutting, slice drawing, gradients, rotation and colour helpers; see
// draw_helpers.h. The window queries live in control_helpers.cpp.
#include "skin/draw_helpers.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/gui/picture.h"

namespace {

// Copies src of the bitmap into dest of the canvas, stretching when the sizes
// differ, with magenta transparent when asked; empty rectangles draw nothing.
void DrawSlice(TBitmap* bitmap, TCanvas* canvas, const TRect& src, const TRect& dest, bool transparent,
               TColor transparentColor = kSkinMagenta) {
  if (src.Width() <= 0 || src.Height() <= 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
  HDC from = bitmap->Canvas()->Handle();
  HDC to = canvas->Handle();
  if (transparent)
    TransparentBlt(to, dest.Left, dest.Top, dest.Width(), dest.Height(), from, src.Left, src.Top, src.Width(),
                   src.Height(), ColorToRGB(transparentColor));
  else
    StretchBlt(to, dest.Left, dest.Top, dest.Width(), dest.Height(), from, src.Left, src.Top, src.Width(),
               src.Height(), SRCCOPY);
}

// Platform colour of a bitmap pixel (scan lines hold 0x00RRGGBB).
TColor PixelColor(TBitmap* bitmap, int x, int y) {
  uint32_t p = bitmap->ScanLine(y)[x];
  return TColor((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
}

uint32_t ScanValue(TColor color) {
  COLORREF c = ColorToRGB(color);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// Rotates by a quarter turn; where(x, y, w, h) gives the new place of (x, y).
template <class Where>
void Rotate(TBitmap* bitmap, Where where) {
  const int w = bitmap->Width(), h = bitmap->Height();
  if (w == 0 || h == 0) return;
  TBitmap turned;
  turned.SetPixelFormat(bitmap->PixelFormat());
  turned.SetSize(h, w);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < w; ++x) {
      TPoint p = where(x, y, w, h);
      turned.ScanLine(p.Y)[p.X] = row[x];
    }
  }
  bitmap->Assign(&turned);
}

void DrawThreeParts(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool masked, TColor maskColor,
                    TBitmap* middle, int middleBottom) {
  const int p = bitmap->Width() / 3, h = bitmap->Height();
  if (rect.Width() < p) {
    DrawSlice(bitmap, canvas, Rect(0, 0, rect.Width(), h), Rect(rect.Left, rect.Top, rect.Right, rect.Top + h), masked,
              maskColor);
    return;
  }
  DrawSlice(bitmap, canvas, Rect(0, 0, p, h), Rect(rect.Left, rect.Top, rect.Left + p, rect.Top + h), masked, maskColor);
  DrawSlice(bitmap, canvas, Rect(2 * p, 0, 3 * p, h), Rect(rect.Right - p, rect.Top, rect.Right, rect.Top + h), masked,
            maskColor);
  const TRect middleDest = Rect(rect.Left + p, rect.Top, rect.Right - p, middleBottom);
  if (middle)
    DrawSlice(middle, canvas, Rect(0, 0, middle->Width(), middle->Height()), middleDest, false);
  else
    DrawSlice(bitmap, canvas, Rect(p, 0, 2 * p, h), middleDest, masked, maskColor);
}

}  // namespace

void CopyBitmapFrame(TBitmap* source, TBitmap* dest, int frameCount, int frameIndex) {
  if (!source || !dest) return;
  if (frameCount < 1 || frameIndex < 1 || frameIndex > frameCount) {
    dest->SetSize(0, 0);
    return;
  }
  const int fw = source->Width() / frameCount, h = source->Height();
  const int x = frameIndex == frameCount ? source->Width() - fw : (frameIndex - 1) * fw;
  dest->SetSize(fw, h);
  if (fw > 0 && h > 0) BitBlt(dest->Canvas()->Handle(), 0, 0, fw, h, source->Canvas()->Handle(), x, 0, SRCCOPY);
}

void StretchBitmapToRect(TBitmap* bitmap, TCanvas* canvas, const TRect& rect) {
  HDC dc = canvas->Handle();
  int oldMode = SetStretchBltMode(dc, HALFTONE);
  DrawSlice(bitmap, canvas, Rect(0, 0, bitmap->Width(), bitmap->Height()), rect, false);
  SetStretchBltMode(dc, oldMode);
}

void ReplaceBitmapColor(TBitmap* bitmap, TColor oldColor, TColor newColor) {
  bitmap->SetPixelFormat(pf24bit);
  const uint32_t from = ScanValue(oldColor), to = ScanValue(newColor);
  for (int y = 0; y < bitmap->Height(); ++y) {
    uint32_t* row = bitmap->ScanLine(y);
    std::replace(row, row + bitmap->Width(), from, to);
  }
  bitmap->SetModified(true);
}

void TileImage(TCanvas* canvas, TPicture* picture, const TRect& rect) {
  TGraphic* graphic = picture ? picture->Graphic() : nullptr;
  // A zero-sized picture would never advance.
  if (!graphic || graphic->Width() <= 0 || graphic->Height() <= 0) return;
  const int pw = graphic->Width(), ph = graphic->Height();
  for (int x = 0; x < rect.Width() + pw; x += pw)
    for (int y = 0; y < rect.Height() + ph; y += ph) canvas->Draw(x, y, graphic);
}

bool PointInRect(const TPoint& point, const TRect& rect) { return PointInRect(point.X, point.Y, rect); }

bool PointInRect(int x, int y, const TRect& rect) {
  return rect.Left <= x && x <= rect.Right && rect.Top <= y && y <= rect.Bottom;
}

void DrawNineSliceBitmap(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool transparent) {
  const int W = bitmap->Width(), H = bitmap->Height();
  const int w = rect.Width(), h = rect.Height(), x0 = rect.Left, y0 = rect.Top;
  const int a = W / 2, b = H / 2, a2 = W - a + 1, b2 = H - b + 1;
  auto at = [&](int l, int t, int r, int bt) { return Rect(x0 + l, y0 + t, x0 + r, y0 + bt); };
  // Corners at their natural size, never beyond their quarter of the rectangle.
  const int tlw = std::min(a, w / 2), tlh = std::min(b, h / 2);
  const int blw = std::min(a, w / 2), blh = std::min(H - b2, h / 2 - 1);
  const int trw = std::min(W - a2, w / 2 - 1), trh = std::min(b, h / 2);
  const int brw = std::min(W - a2, w / 2 - 1), brh = std::min(H - b2, h / 2 - 1);
  const TRect tl = Rect(0, 0, tlw, tlh), bl = Rect(0, h - blh, blw, h);
  const TRect tr = Rect(w - trw, 0, w, trh), br = Rect(w - brw, h - brh, w, h);

  DrawSlice(bitmap, canvas, Rect(0, 0, tlw, tlh), at(0, 0, tlw, tlh), transparent);
  DrawSlice(bitmap, canvas, Rect(0, H - blh, blw, H), at(bl.Left, bl.Top, bl.Right, bl.Bottom), transparent);
  DrawSlice(bitmap, canvas, Rect(0, b, tl.Right, H - b), at(0, tl.Bottom, tl.Right, bl.Top), true);
  DrawSlice(bitmap, canvas, Rect(W - trw, 0, W, trh), at(tr.Left, tr.Top, tr.Right, tr.Bottom), transparent);
  DrawSlice(bitmap, canvas, Rect(W - brw, H - brh, W, H), at(br.Left, br.Top, br.Right, br.Bottom), transparent);
  DrawSlice(bitmap, canvas, Rect(W - tr.Width(), H - b, W, b + 2), at(tr.Left, tr.Bottom, tr.Right, br.Top), true);
  DrawSlice(bitmap, canvas, Rect(a, 0, a2, tl.Bottom), at(tl.Right, 0, tr.Left, tl.Bottom), true);
  DrawSlice(bitmap, canvas, Rect(a, b, a2, H - b), at(tl.Right, tl.Bottom, tr.Left, br.Top - 1), true);
  const int bottomHeight = br.Bottom - (bl.Top - 1);
  DrawSlice(bitmap, canvas, Rect(a, H - bottomHeight, a2, H), at(tl.Right - 1, bl.Top - 1, br.Left, br.Bottom), true);
}

void DrawThreePartImage(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool masked, TColor maskColor) {
  DrawThreeParts(bitmap, canvas, rect, masked, maskColor, nullptr, rect.Top + bitmap->Height());
}

void DrawThreePartImageAutoMask(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool maskFromPixel,
                                TColor fillColor, bool maskFromTop) {
  if (bitmap->Empty()) return;
  TColor mask = kSkinMagenta;
  if (maskFromPixel) mask = PixelColor(bitmap, 0, maskFromTop ? 0 : bitmap->Height() - 1);
  // The middle's transparent pixels show the fill colour once it is stretched.
  const int p = bitmap->Width() / 3;
  TBitmap middle;
  middle.SetSize(p, bitmap->Height());
  middle.Canvas()->Brush()->SetColor(fillColor);
  middle.Canvas()->FillRect(Rect(0, 0, p, bitmap->Height()));
  DrawSlice(bitmap, middle.Canvas(), Rect(p, 0, 2 * p, bitmap->Height()), Rect(0, 0, p, bitmap->Height()), true, mask);
  DrawThreeParts(bitmap, canvas, rect, true, mask, &middle, rect.Bottom);
}

TColor MakeRGB(uint8_t r, uint8_t g, uint8_t b) { return TColor(r + g * 256 + b * 65536); }

void SplitRGB(TColor color, uint8_t& r, uint8_t& g, uint8_t& b) {
  COLORREF c = ColorToRGB(color);
  r = c & 0xFF;
  g = c >> 8 & 0xFF;
  b = c >> 16 & 0xFF;
}

namespace {

// The colour step `step` of `span` between two colours, truncated per component.
TColor GradientColor(TColor fromColor, TColor toColor, int span, int step) {
  uint8_t f[3], t[3];
  SplitRGB(fromColor, f[0], f[1], f[2]);
  SplitRGB(toColor, t[0], t[1], t[2]);
  int c[3];
  for (int i = 0; i < 3; ++i) c[i] = f[i] + int(double(t[i] - f[i]) / span * step);
  return MakeRGB(uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]));
}

void FillLine(TCanvas* canvas, const TRect& r, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

}  // namespace

void DrawVerticalGradient(TCanvas* canvas, const TRect& r, TColor fromColor, TColor toColor) {
  const int span = r.Bottom - r.Top;
  if (span == 0) return;
  FillLine(canvas, Rect(r.Left, r.Top, r.Right, r.Top + 1), fromColor);
  for (int y = r.Top + 1; y <= r.Bottom - 2; ++y)
    FillLine(canvas, Rect(r.Left, y, r.Right, y + 1), GradientColor(fromColor, toColor, span, y - r.Top - 1));
  FillLine(canvas, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), toColor);
}

void DrawHorizontalGradient(TCanvas* canvas, const TRect& r, TColor fromColor, TColor toColor) {
  const int span = r.Right - r.Left;
  if (span == 0) return;
  FillLine(canvas, Rect(r.Left, r.Top, r.Left + 1, r.Bottom), fromColor);
  for (int x = r.Left + 1; x <= r.Right - 2; ++x)
    FillLine(canvas, Rect(x, r.Top, x + 1, r.Bottom), GradientColor(fromColor, toColor, span, x - r.Left));
  FillLine(canvas, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), toColor);
}

void RotateBitmapLeft(TBitmap* bitmap) {
  Rotate(bitmap, [](int x, int y, int w, int) { return TPoint{y, w - 1 - x}; });
}

void RotateBitmapRight(TBitmap* bitmap) {
  Rotate(bitmap, [](int x, int y, int, int h) { return TPoint{h - 1 - y, x}; });
}

AnsiString ShortenText(TCanvas* canvas, const AnsiString& text, int maxWidth) {
  if (canvas->TextWidth(text) <= maxWidth) return text;
  for (size_t i = 1; i < text.size(); ++i) {
    AnsiString shortened = text.substr(0, i) + "...";
    if (canvas->TextWidth(shortened) >= maxWidth) return shortened;
  }
  return text;
}

AnsiString PCharToString(const char* text) { return text ? AnsiString(text) : AnsiString(); }
