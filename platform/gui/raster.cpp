// Raster helpers: colour conversion rules between monochrome and colour
// bitmaps, brush pattern lookup and the clipped fills every shape ends in.
#include "platform/gui/raster.h"

namespace gdi_detail {

uint8_t Rop2ToRop3(int rop2) {
  const int table = (rop2 - 1) & 0xF;  // bit (pen * 2 + dest)
  uint8_t code = 0;
  for (int i = 0; i < 8; ++i) {
    const int pen = (i & 4) ? 1 : 0, dest = i & 1;
    if (table >> (pen * 2 + dest) & 1) code |= uint8_t(1 << i);
  }
  return code;
}

Pixel ToTargetFormat(const GdiBitmap& target, Pixel p) {
  if (!target.IsMono()) return p & kRgbMask;
  const int luminance = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29) >> 8;
  return luminance >= 128 ? kMonoWhite : 0;
}

Pixel MonoToColor(Pixel mono, const DeviceContext& dest) {
  return ColorToPixel((mono & kRgbMask) ? dest.state.bkColor : dest.state.textColor);
}

Pixel ColorToMono(Pixel color, COLORREF sourceBk) {
  return (color & kRgbMask) == ColorToPixel(sourceBk) ? kMonoWhite : 0;
}

Pixel BrushPixel(const DeviceContext& dc, const GdiBrush& brush, int tx, int ty) {
  if (brush.style != BS_PATTERN || brush.pattern.empty()) return ColorToPixel(brush.color);
  const int dx = tx - dc.deviceOrigin.X - dc.state.brushOrg.X;
  const int dy = ty - dc.deviceOrigin.Y - dc.state.brushOrg.Y;
  const int px = ((dx % brush.patternWidth) + brush.patternWidth) % brush.patternWidth;
  const int py = ((dy % brush.patternHeight) + brush.patternHeight) % brush.patternHeight;
  const Pixel p = brush.pattern[size_t(py) * brush.patternWidth + px];
  return brush.patternMono ? MonoToColor(p, dc) : p;
}

bool Visible(DeviceContext& dc, int tx, int ty) {
  for (const TRect& c : dc.ClipRects())
    if (tx >= c.Left && tx < c.Right && ty >= c.Top && ty < c.Bottom) return true;
  return false;
}

void FillWithBrush(DeviceContext& dc, const TRect& targetRect, const GdiBrush& brush, uint8_t rop3) {
  GdiBitmap* target = dc.Target();
  if (!target || brush.style == BS_NULL) return;
  const bool solid = brush.style != BS_PATTERN;
  const Pixel solidPixel = ToTargetFormat(*target, ColorToPixel(brush.color));
  ForEachSpan(dc, targetRect, [&](int x0, int x1, int y) {
    Pixel* row = target->Row(y);
    for (int x = x0; x < x1; ++x) {
      const Pixel p = solid ? solidPixel : ToTargetFormat(*target, BrushPixel(dc, brush, x, y));
      row[x] = ToTargetFormat(*target, Rop3(rop3, p, 0, row[x]));
    }
  });
}

void PlotPen(DeviceContext& dc, int tx, int ty, COLORREF color) {
  GdiBitmap* target = dc.Target();
  if (!target || !Visible(dc, tx, ty)) return;
  Pixel& d = target->Row(ty)[tx];
  d = ToTargetFormat(*target, Rop3(Rop2ToRop3(dc.state.rop2), ToTargetFormat(*target, ColorToPixel(color)), 0, d));
}

}  // namespace gdi_detail
