// Pixel-level helpers shared by the drawing operations: ternary raster
// operations, brush pixels aligned to the brush origin, colour/monochrome
// conversion and clipped span iteration, all in target-bitmap coordinates.
#pragma once

#include <algorithm>

#include "platform/gui/gdi_objects.h"

namespace gdi_detail {

// One generic evaluator for all 256 ternary codes: each set bit i of the code
// adds the minterm of pattern (i & 4), source (i & 2) and destination (i & 1).
inline Pixel Rop3(uint8_t code, Pixel p, Pixel s, Pixel d) {
  switch (code) {  // the common codes, without the minterm loop
    case 0xCC: return s;
    case 0xF0: return p;
    case 0xAA: return d;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFF;
    default: break;
  }
  Pixel out = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(code >> i & 1)) continue;
    out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return out;
}

// The binary pen mixes (R2_*) as ternary codes that ignore the source.
uint8_t Rop2ToRop3(int rop2);

// A colour as the target stores it: monochrome targets keep black or white.
Pixel ToTargetFormat(const GdiBitmap& target, Pixel p);
// A monochrome pixel drawn onto colour uses the DC's text (0) and background
// (1) colours; a colour pixel onto monochrome is 1 where it equals the
// source DC's background colour.
Pixel MonoToColor(Pixel mono, const DeviceContext& dest);
Pixel ColorToMono(Pixel color, COLORREF sourceBk);

// The brush's pixel at a target position (pattern brushes repeat from the
// brush origin, counted in device coordinates).
Pixel BrushPixel(const DeviceContext& dc, const GdiBrush& brush, int tx, int ty);

// Calls f(x0, x1, y) for every clipped span of rect (target coordinates).
template <typename F>
void ForEachSpan(DeviceContext& dc, const TRect& rect, F f) {
  for (const TRect& c : dc.ClipRects()) {
    const int x0 = std::max(rect.Left, c.Left), x1 = std::min(rect.Right, c.Right);
    const int y0 = std::max(rect.Top, c.Top), y1 = std::min(rect.Bottom, c.Bottom);
    if (x0 >= x1) continue;
    for (int y = y0; y < y1; ++y) f(x0, x1, y);
  }
}

bool Visible(DeviceContext& dc, int tx, int ty);

// Fills a target rectangle with a brush through a ternary code.
void FillWithBrush(DeviceContext& dc, const TRect& targetRect, const GdiBrush& brush, uint8_t rop3);
// Plots one pen pixel through the DC's binary mix (target coordinates).
void PlotPen(DeviceContext& dc, int tx, int ty, COLORREF color);

}  // namespace gdi_detail
