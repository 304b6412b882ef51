// The HRGN functions over Region: creation, combination, tests and the
// rectangle list that region data hands out.
#include <algorithm>
#include <cstring>

#include "platform/gui/gdi_objects.h"

namespace {

HRGN NewRegion(Region r) {
  auto* h = new GdiRegion;
  h->region = std::move(r);
  return h;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(Region(NormalizedRect(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return NewRegion(Region::RoundRect(NormalizedRect(left, top, right, bottom), width, height));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  const TRect r = NormalizedRect(left, top, right, bottom);
  return NewRegion(Region::RoundRect(r, r.Width(), r.Height()));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  if (!dest || !src1 || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
  if (mode == RGN_COPY) {
    dest->region = src1->region;
  } else {
    if (!src2) return RGN_ERROR;
    static const RegionOp kOps[] = {RegionOp::And, RegionOp::Or, RegionOp::Xor, RegionOp::Diff};
    dest->region = Region::Combine(src1->region, src2->region, kOps[mode - RGN_AND]);
  }
  return RegionComplexity(dest->region);
}

int OffsetRgn(HRGN region, int dx, int dy) {
  if (!region) return RGN_ERROR;
  region->region.Offset(dx, dy);
  return RegionComplexity(region->region);
}

BOOL PtInRegion(HRGN region, int x, int y) { return region && region->region.Contains(x, y); }

BOOL RectInRegion(HRGN region, const RECT* rect) { return region && rect && region->region.Intersects(*rect); }

BOOL EqualRgn(HRGN a, HRGN b) { return a && b && a->region == b->region; }

int GetRgnBox(HRGN region, RECT* rect) {
  if (!region || !rect) return RGN_ERROR;
  *rect = region->region.Bounds();
  return RegionComplexity(region->region);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  if (!region) return 0;
  region->region = Region(NormalizedRect(left, top, right, bottom));
  return 1;
}

DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data) {
  if (!region) return 0;
  const auto& rects = region->region.Rects();
  const DWORD needed = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!data || size < needed) return needed;
  data->rdh = RGNDATAHEADER{};
  data->rdh.nCount = DWORD(rects.size());
  data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  data->rdh.rcBound = region->region.Bounds();
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return needed;
}

HRGN ExtCreateRegion(const void*, DWORD size, const RGNDATA* data) {
  if (!data || size < sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES) return nullptr;
  const DWORD count = data->rdh.nCount;
  if (count > (size - sizeof(RGNDATAHEADER)) / sizeof(RECT)) return nullptr;
  std::vector<TRect> rects(data->Buffer, data->Buffer + count);
  return NewRegion(Region::FromRects(rects));
}

// --- rectangles -----------------------------------------------------------------

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
  if (!rect) return 0;
  *rect = {left, top, right, bottom};
  return 1;
}

BOOL SetRectEmpty(RECT* rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL CopyRect(RECT* dest, const RECT* src) {
  if (!dest || !src) return 0;
  *dest = *src;
  return 1;
}

BOOL InflateRect(RECT* rect, int dx, int dy) {
  if (!rect) return 0;
  *rect = {rect->Left - dx, rect->Top - dy, rect->Right + dx, rect->Bottom + dy};
  return 1;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
  if (!rect) return 0;
  *rect = {rect->Left + dx, rect->Top + dy, rect->Right + dx, rect->Bottom + dy};
  return 1;
}

BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->Left >= rect->Right || rect->Top >= rect->Bottom; }

BOOL IntersectRect(RECT* dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return 0;
  RECT r{std::max(a->Left, b->Left), std::max(a->Top, b->Top), std::min(a->Right, b->Right),
         std::min(a->Bottom, b->Bottom)};
  if (IsRectEmpty(&r)) r = {};
  *dest = r;
  return !IsRectEmpty(&r);
}

BOOL UnionRect(RECT* dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return 0;
  if (IsRectEmpty(a)) *dest = IsRectEmpty(b) ? RECT{} : *b;
  else if (IsRectEmpty(b)) *dest = *a;
  else *dest = {std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
                std::max(a->Bottom, b->Bottom)};
  return !IsRectEmpty(dest);
}

BOOL PtInRect(const RECT* rect, POINT p) {
  return rect && p.X >= rect->Left && p.X < rect->Right && p.Y >= rect->Top && p.Y < rect->Bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b) { return a && b && *a == *b; }
