// Region arithmetic by sweeping horizontal bands: every operation splits the
// plane at the y edges of both operands, combines the spans of each band and
// merges equal neighbouring bands back, which keeps results canonical.
#include "platform/gui/region.h"

#include <algorithm>
#include <cmath>

namespace {

struct Span {
  int x0, x1;
  bool operator==(const Span&) const = default;
};
using Spans = std::vector<Span>;

bool Apply(RegionOp op, bool a, bool b) {
  switch (op) {
    case RegionOp::And: return a && b;
    case RegionOp::Or: return a || b;
    case RegionOp::Xor: return a != b;
    case RegionOp::Diff: return a && !b;
    case RegionOp::Copy: return a;
  }
  return false;
}

bool Inside(const Spans& spans, int x) {
  for (const Span& s : spans)
    if (x >= s.x0 && x < s.x1) return true;
  return false;
}

// Combines two sorted span lists by walking every x edge of both.
Spans CombineSpans(const Spans& a, const Spans& b, RegionOp op) {
  std::vector<int> xs;
  for (const Span& s : a) xs.insert(xs.end(), {s.x0, s.x1});
  for (const Span& s : b) xs.insert(xs.end(), {s.x0, s.x1});
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  Spans out;
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    if (!Apply(op, Inside(a, xs[i]), Inside(b, xs[i]))) continue;
    if (!out.empty() && out.back().x1 == xs[i])
      out.back().x1 = xs[i + 1];
    else
      out.push_back({xs[i], xs[i + 1]});
  }
  return out;
}

// Sorted, merged spans of all rectangles that cover the band [y0, y1).
Spans BandSpans(const std::vector<TRect>& rects, int y0, int y1) {
  Spans spans;
  for (const TRect& r : rects)
    if (r.Top <= y0 && r.Bottom >= y1) spans.push_back({r.Left, r.Right});
  std::sort(spans.begin(), spans.end(), [](const Span& p, const Span& q) { return p.x0 < q.x0; });
  Spans merged;
  for (const Span& s : spans) {
    if (!merged.empty() && s.x0 <= merged.back().x1)
      merged.back().x1 = std::max(merged.back().x1, s.x1);
    else
      merged.push_back(s);
  }
  return merged;
}

void AddYEdges(const std::vector<TRect>& rects, std::vector<int>& ys) {
  for (const TRect& r : rects) ys.insert(ys.end(), {r.Top, r.Bottom});
}

// Appends one band, merging it into the previous band when that one ends at
// y0 with the same spans.
class BandWriter {
public:
  explicit BandWriter(std::vector<TRect>& out) : out_(out) {}
  void Add(int y0, int y1, const Spans& spans) {
    if (spans.empty()) return;
    if (spans == last_ && lastBottom_ == y0) {
      for (size_t i = out_.size() - spans.size(); i < out_.size(); ++i) out_[i].Bottom = y1;
    } else {
      for (const Span& s : spans) out_.push_back({s.x0, y0, s.x1, y1});
    }
    last_ = spans;
    lastBottom_ = y1;
  }

private:
  std::vector<TRect>& out_;
  Spans last_;
  int lastBottom_ = 0;
};

std::vector<int> SortedUnique(std::vector<int> ys) {
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  return ys;
}

}  // namespace

Region::Region(const TRect& rect) {
  if (rect.Left < rect.Right && rect.Top < rect.Bottom) rects_.push_back(rect);
}

Region Region::FromRects(const std::vector<TRect>& rects) {
  std::vector<TRect> valid;
  for (const TRect& r : rects)
    if (r.Left < r.Right && r.Top < r.Bottom) valid.push_back(r);
  std::vector<int> ys;
  AddYEdges(valid, ys);
  ys = SortedUnique(std::move(ys));
  Region result;
  BandWriter writer(result.rects_);
  for (size_t i = 0; i + 1 < ys.size(); ++i) writer.Add(ys[i], ys[i + 1], BandSpans(valid, ys[i], ys[i + 1]));
  return result;
}

Region Region::Combine(const Region& a, const Region& b, RegionOp op) {
  std::vector<int> ys;
  AddYEdges(a.rects_, ys);
  AddYEdges(b.rects_, ys);
  ys = SortedUnique(std::move(ys));
  Region result;
  BandWriter writer(result.rects_);
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    Spans sa = BandSpans(a.rects_, ys[i], ys[i + 1]);
    Spans sb = BandSpans(b.rects_, ys[i], ys[i + 1]);
    writer.Add(ys[i], ys[i + 1], CombineSpans(sa, sb, op));
  }
  return result;
}

Region Region::RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight) {
  TRect r{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
          std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
  const double a = std::min(std::abs(ellipseWidth), r.Width()) / 2.0;
  const double b = std::min(std::abs(ellipseHeight), r.Height()) / 2.0;
  if (a < 1 || b < 1) return Region(r);
  // Each row is inset by the ellipse's horizontal distance at the row's centre.
  std::vector<TRect> rows;
  for (int y = r.Top; y < r.Bottom; ++y) {
    const double fromTop = y + 0.5 - r.Top;
    const double fromBottom = r.Bottom - (y + 0.5);
    const double d = std::min(fromTop, fromBottom);
    int inset = 0;
    if (d < b) {
      const double dy = (b - d) / b;
      inset = int(std::lround(a - a * std::sqrt(std::max(0.0, 1 - dy * dy))));
    }
    rows.push_back({r.Left + inset, y, r.Right - inset, y + 1});
  }
  return FromRects(rows);
}

TRect Region::Bounds() const {
  if (rects_.empty()) return {};
  TRect b = rects_.front();
  for (const TRect& r : rects_) {
    b.Left = std::min(b.Left, r.Left);
    b.Right = std::max(b.Right, r.Right);
    b.Bottom = std::max(b.Bottom, r.Bottom);
  }
  return b;
}

bool Region::Contains(int x, int y) const {
  for (const TRect& r : rects_) {
    if (r.Top > y) break;
    if (y < r.Bottom && x >= r.Left && x < r.Right) return true;
  }
  return false;
}

bool Region::Intersects(const TRect& rect) const {
  for (const TRect& r : rects_)
    if (r.Left < rect.Right && rect.Left < r.Right && r.Top < rect.Bottom && rect.Top < r.Bottom) return true;
  return false;
}

void Region::Offset(int dx, int dy) {
  for (TRect& r : rects_) r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
