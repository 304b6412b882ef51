// Regions as bands of rectangles: the shape type behind HRGN, clip regions of
// device contexts and (later) window shapes. A region is kept canonical: rows
// of equal-height bands sorted top to bottom, each band a sorted list of
// disjoint spans, and vertically adjacent bands with equal spans merged, so two
// regions covering the same pixels compare equal.
#pragma once

#include <vector>

#include "platform/gui/gdi_types.h"

enum class RegionOp { And, Or, Xor, Diff, Copy };

class Region {
public:
  Region() = default;
  explicit Region(const TRect& rect);

  // Union of arbitrary rectangles (empty ones are ignored).
  static Region FromRects(const std::vector<TRect>& rects);
  // A rectangle with elliptic corners of the given ellipse size.
  static Region RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight);
  static Region Combine(const Region& a, const Region& b, RegionOp op);

  const std::vector<TRect>& Rects() const { return rects_; }
  bool IsEmpty() const { return rects_.empty(); }
  TRect Bounds() const;
  bool Contains(int x, int y) const;
  bool Intersects(const TRect& rect) const;
  void Offset(int dx, int dy);
  bool operator==(const Region& other) const { return rects_ == other.rects_; }

private:
  std::vector<TRect> rects_;
};
