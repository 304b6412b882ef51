// Pixels, lines and filled shapes with the platform's conventions: right and
// bottom edges exclusive, a line leaves out its end point, a shape's frame is
// drawn with the pen and its inside with the brush through the DC's mix mode.
#include <algorithm>
#include <cmath>

#include "platform/gui/colors.h"
#include "platform/gui/raster.h"

using namespace gdi_detail;

namespace {

// Dash patterns in pixels, alternating drawn and skipped runs.
std::vector<int> DashPattern(int style) {
  switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
  }
  return {};
}

class PenPlotter {
public:
  explicit PenPlotter(DeviceContext& dc) : dc_(dc), pen_(*dc.state.pen), dashes_(DashPattern(pen_.style)) {}

  bool Draws() const { return pen_.style != PS_NULL; }

  // One step along a line, in target coordinates.
  void Step(int tx, int ty) {
    bool on = true;
    if (!dashes_.empty()) {
      on = dashIndex_ % 2 == 0;
      if (++dashPos_ >= dashes_[dashIndex_]) {
        dashPos_ = 0;
        dashIndex_ = (dashIndex_ + 1) % int(dashes_.size());
      }
      if (!on) {
        if (dc_.state.bkMode == OPAQUE) PlotPen(dc_, tx, ty, dc_.state.bkColor);
        return;
      }
    }
    Stamp(tx, ty);
  }

  void Stamp(int tx, int ty) {
    if (pen_.width <= 1 || !dashes_.empty()) {
      PlotPen(dc_, tx, ty, pen_.color);
      return;
    }
    const int half = pen_.width / 2;
    for (int y = ty - half; y < ty - half + pen_.width; ++y)
      for (int x = tx - half; x < tx - half + pen_.width; ++x) PlotPen(dc_, x, y, pen_.color);
  }

  // Bresenham from a to b (target coordinates), b itself left out.
  void Line(POINT a, POINT b) {
    int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    int x = a.X, y = a.Y;
    while (x != b.X || y != b.Y) {
      Step(x, y);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }

private:
  DeviceContext& dc_;
  const GdiPen& pen_;
  std::vector<int> dashes_;
  int dashIndex_ = 0;
  int dashPos_ = 0;
};

// Fills with the DC's brush through its binary mix mode.
void FillShape(DeviceContext& dc, const Region& targetShape) {
  if (!dc.state.brush || dc.state.brush->style == BS_NULL) return;
  const uint8_t rop = Rop2ToRop3(dc.state.rop2);
  for (const TRect& r : targetShape.Rects()) FillWithBrush(dc, r, *dc.state.brush, rop);
}

// A pixel of the shape with a neighbour outside it: part of the outline.
bool IsEdge(const Region& shape, int x, int y) {
  return !shape.Contains(x - 1, y) || !shape.Contains(x + 1, y) || !shape.Contains(x, y - 1) ||
         !shape.Contains(x, y + 1);
}

// Calls f(x, y) for every outline pixel of a shape.
template <typename F>
void ForEachEdgePixel(const Region& shape, F f) {
  for (const TRect& r : shape.Rects())
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (IsEdge(shape, x, y)) f(x, y);
}

void FrameShape(DeviceContext& dc, const Region& shape) {
  PenPlotter pen(dc);
  if (pen.Draws()) ForEachEdgePixel(shape, [&](int x, int y) { pen.Stamp(x, y); });
}

Region Interior(const Region& shape) {
  std::vector<TRect> rows;
  for (const TRect& r : shape.Rects())
    for (int y = r.Top; y < r.Bottom; ++y) {
      int start = -1;
      for (int x = r.Left; x <= r.Right; ++x) {
        const bool in = x < r.Right && !IsEdge(shape, x, y);
        if (in && start < 0) start = x;
        if (!in && start >= 0) {
          rows.push_back({start, y, x, y + 1});
          start = -1;
        }
      }
    }
  return Region::FromRects(rows);
}

// Rows of the ellipse inscribed in r (target coordinates).
Region EllipseShape(const TRect& r) {
  const double a = (r.Width() - 1) / 2.0, b = (r.Height() - 1) / 2.0;
  const double cx = r.Left + a, cy = r.Top + b;
  std::vector<TRect> rows;
  for (int y = r.Top; y < r.Bottom; ++y) {
    const double dy = b > 0 ? (y - cy) / b : 0;
    const double half = a * std::sqrt(std::max(0.0, 1 - dy * dy));
    rows.push_back({int(std::lround(cx - half)), y, int(std::lround(cx + half)) + 1, y + 1});
  }
  return Region::FromRects(rows);
}

void DrawShape(HDC dc, const Region& shape) {
  if (dc->state.pen && dc->state.pen->style != PS_NULL) {
    FillShape(*dc, Interior(shape));
    FrameShape(*dc, shape);
  } else {
    FillShape(*dc, shape);
  }
}

HBRUSH ResolveBrush(HBRUSH brush, GdiBrush& scratch) {
  // (HBRUSH)(COLOR_xxx + 1) names a system colour, as on the original platform.
  const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value > 0 && value <= 32) {
    scratch.color = GetSysColor(int(value) - 1);
    return &scratch;
  }
  return brush;
}

}  // namespace

COLORREF GetPixel(HDC dc, int x, int y) {
  if (!dc || !dc->Target()) return CLR_INVALID;
  POINT t = dc->ToTarget(x, y);
  if (!Visible(*dc, t.X, t.Y)) return CLR_INVALID;
  return PixelToColor(dc->Target()->Row(t.Y)[t.X]);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  if (!dc || !dc->Target()) return CLR_INVALID;
  POINT t = dc->ToTarget(x, y);
  if (!Visible(*dc, t.X, t.Y)) return CLR_INVALID;
  Pixel& p = dc->Target()->Row(t.Y)[t.X];
  p = ToTargetFormat(*dc->Target(), ColorToPixel(color));
  return PixelToColor(p);
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* old) {
  if (!dc) return 0;
  if (old) *old = dc->state.position;
  dc->state.position = {x, y};
  return 1;
}

BOOL GetCurrentPositionEx(HDC dc, POINT* pos) {
  if (!dc || !pos) return 0;
  *pos = dc->state.position;
  return 1;
}

BOOL LineTo(HDC dc, int x, int y) {
  if (!dc) return 0;
  PenPlotter pen(*dc);
  if (pen.Draws()) pen.Line(dc->ToTarget(dc->state.position.X, dc->state.position.Y), dc->ToTarget(x, y));
  dc->state.position = {x, y};
  return 1;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
  if (!dc || !points || count < 2) return 0;
  PenPlotter pen(*dc);
  if (!pen.Draws()) return 1;
  for (int i = 0; i + 1 < count; ++i)
    pen.Line(dc->ToTarget(points[i].X, points[i].Y), dc->ToTarget(points[i + 1].X, points[i + 1].Y));
  return 1;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
  if (!dc || !points || count < 2) return 0;
  std::vector<POINT> t(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) t[i] = dc->ToTarget(points[i].X, points[i].Y);
  int top = t[0].Y, bottom = t[0].Y;
  for (const POINT& p : t) {
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  // Scan pixel centres: an edge crossing gives a winding step of +-1.
  std::vector<TRect> rows;
  for (int y = top; y < bottom; ++y) {
    const double sy = y + 0.5;
    std::vector<std::pair<double, int>> crossings;
    for (int i = 0; i < count; ++i) {
      const POINT a = t[i], b = t[(i + 1) % count];
      if ((a.Y <= sy) == (b.Y <= sy)) continue;
      crossings.push_back({a.X + (sy - a.Y) * (b.X - a.X) / double(b.Y - a.Y), a.Y < b.Y ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += dc->state.polyFillMode == WINDING ? crossings[i].second : 1;
      const bool inside = dc->state.polyFillMode == WINDING ? winding != 0 : (winding % 2) != 0;
      if (!inside) continue;
      const int x0 = int(std::ceil(crossings[i].first - 0.5)), x1 = int(std::ceil(crossings[i + 1].first - 0.5));
      if (x0 < x1) rows.push_back({x0, y, x1, y + 1});
    }
  }
  FillShape(*dc, Region::FromRects(rows));
  PenPlotter pen(*dc);
  if (pen.Draws())
    for (int i = 0; i < count; ++i) pen.Line(t[i], t[(i + 1) % count]);
  return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return 0;
  TRect r = dc->ToTarget(NormalizedRect(left, top, right, bottom));
  PenPlotter pen(*dc);
  if (!pen.Draws()) {
    // Without a pen the shape loses its right column and bottom row.
    FillShape(*dc, Region({r.Left, r.Top, r.Right - 1, r.Bottom - 1}));
    return 1;
  }
  const int inset = dc->state.pen->style == PS_INSIDEFRAME ? dc->state.pen->width / 2 : 0;
  FillShape(*dc, Region({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}));
  const POINT corners[5] = {{r.Left + inset, r.Top + inset},
                            {r.Right - 1 - inset, r.Top + inset},
                            {r.Right - 1 - inset, r.Bottom - 1 - inset},
                            {r.Left + inset, r.Bottom - 1 - inset},
                            {r.Left + inset, r.Top + inset}};
  if (r.Width() <= 1 || r.Height() <= 1) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) pen.Stamp(x, y);
    return 1;
  }
  for (int i = 0; i < 4; ++i) pen.Line(corners[i], corners[i + 1]);
  return 1;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  if (!dc) return 0;
  DrawShape(dc, Region::RoundRect(dc->ToTarget(NormalizedRect(left, top, right, bottom)), width, height));
  return 1;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return 0;
  DrawShape(dc, EllipseShape(dc->ToTarget(NormalizedRect(left, top, right, bottom))));
  return 1;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  if (!dc) return 0;
  const TRect box = dc->ToTarget(NormalizedRect(left, top, right, bottom));
  const POINT s = dc->ToTarget(xStart, yStart), e = dc->ToTarget(xEnd, yEnd);
  const double cx = box.Left + (box.Width() - 1) / 2.0, cy = box.Top + (box.Height() - 1) / 2.0;
  constexpr double kTwoPi = 6.283185307179586;
  auto angle = [&](double x, double y) {
    const double a = std::atan2(cy - y, x - cx);  // y grows downwards
    return a < 0 ? a + kTwoPi : a;
  };
  const double a0 = angle(s.X, s.Y);
  double sweep = angle(e.X, e.Y) - a0;
  if (sweep <= 0) sweep += kTwoPi;
  const Region shape = EllipseShape(box);
  PenPlotter pen(*dc);
  if (!pen.Draws()) return 1;
  ForEachEdgePixel(shape, [&](int x, int y) {
    double d = angle(x, y) - a0;
    if (d < 0) d += kTwoPi;
    if (d <= sweep) pen.Stamp(x, y);
  });
  return 1;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!dc || !rect || !brush) return 0;
  GdiBrush scratch;
  FillWithBrush(*dc, dc->ToTarget(*rect), *ResolveBrush(brush, scratch), 0xF0);
  return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!dc || !rect || !brush || rect->Left >= rect->Right || rect->Top >= rect->Bottom) return 0;
  GdiBrush scratch;
  const GdiBrush& b = *ResolveBrush(brush, scratch);
  const TRect r = dc->ToTarget(*rect);
  const TRect sides[4] = {{r.Left, r.Top, r.Right, r.Top + 1},
                          {r.Left, r.Bottom - 1, r.Right, r.Bottom},
                          {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1},
                          {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}};
  for (const TRect& s : sides) FillWithBrush(*dc, s, b, 0xF0);
  return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
  if (!dc || !rect) return 0;
  GdiBrush none;
  FillWithBrush(*dc, dc->ToTarget(*rect), none, 0x55);
  return 1;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  if (!dc || !rect || !dc->Target() || rect->Left >= rect->Right || rect->Top >= rect->Bottom) return 0;
  // Every other pixel of the frame is inverted, so a second call removes it.
  const TRect r = dc->ToTarget(*rect);
  GdiBitmap& target = *dc->Target();
  auto invert = [&](int x, int y) {
    if ((x + y) % 2 == 0 && Visible(*dc, x, y)) target.Row(y)[x] = ToTargetFormat(target, ~target.Row(y)[x]);
  };
  for (int x = r.Left; x < r.Right; ++x) {
    invert(x, r.Top);
    if (r.Bottom - 1 > r.Top) invert(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    invert(r.Left, y);
    if (r.Right - 1 > r.Left) invert(r.Right - 1, y);
  }
  return 1;
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  if (!dc || !region || !brush) return 0;
  GdiBrush scratch;
  const GdiBrush& b = *ResolveBrush(brush, scratch);
  for (const TRect& r : region->region.Rects()) FillWithBrush(*dc, dc->ToTarget(r), b, 0xF0);
  return 1;
}

BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height) {
  if (!dc || !region || !brush) return 0;
  // The frame is the region minus the region shrunk by width and height.
  Region inner = region->region;
  for (int dx = -width; dx <= width; dx += std::max(width, 1))
    for (int dy = -height; dy <= height; dy += std::max(height, 1)) {
      Region shifted = region->region;
      shifted.Offset(dx, dy);
      inner = Region::Combine(inner, shifted, RegionOp::And);
    }
  GdiRegion frame;
  frame.region = Region::Combine(region->region, inner, RegionOp::Diff);
  return FillRgn(dc, &frame, brush);
}
