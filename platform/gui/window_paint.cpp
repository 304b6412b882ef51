// Painting: update regions, the paint pass that sends WM_NCPAINT and
// WM_PAINT through a top-level window's tree (parents before children, lower
// siblings before higher ones) into its backing bitmap, device contexts on
// windows, and flushing what changed to the backend.

#include <map>

#include "platform/gui/colors.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

namespace user_detail {
namespace {

std::map<HDC, HWND>& WindowDCs() {
  static std::map<HDC, HWND> dcs;
  return dcs;
}

TRect Union(const TRect& a, const TRect& b) {
  if (a.Width() <= 0 || a.Height() <= 0) return b;
  if (b.Width() <= 0 || b.Height() <= 0) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

bool HasFrame(const Window* w) { return w->client != TRect{0, 0, w->rect.Width(), w->rect.Height()}; }

HDC MakeDC(Window* w, bool clientOnly, const Region* limit) {
  Window* root = Root(w);
  const POINT o = OriginInRoot(w);
  const POINT origin = clientOnly ? POINT{o.X + w->client.Left, o.Y + w->client.Top} : o;
  HDC dc = CreateTargetDC(root->backing, origin);
  Region area = VisibleArea(w, clientOnly);
  if (limit) area = Region::Combine(area, *limit, RegionOp::And);
  dc->visibleRegion = area;
  dc->InvalidateClip();
  WindowDCs()[dc] = w->hwnd;
  DrawCaretIfOwnedBy(root, false);
  return dc;
}

void PaintWindow(Window* w) {
  if (w->destroyed || !(w->style & WS_VISIBLE)) return;
  if (w->ncUpdate) {
    w->ncUpdate = false;
    if (HasFrame(w)) SendMessageA(w->hwnd, WM_NCPAINT, 1, 0);
  }
  if (w->destroyed) return;
  if (!w->update.IsEmpty()) {
    SendMessageA(w->hwnd, WM_PAINT, 0, 0);
    if (w->destroyed) return;
    w->update = {};  // a procedure that does not validate is not asked again and again
  }
  for (HWND h : std::vector<HWND>(w->children))
    if (Window* c = Find(h)) PaintWindow(c);
}

}  // namespace

void SchedulePaint(Window* root) {
  if (!root || root->paintPosted) return;
  root->paintPosted = true;
  PostMessage(root->hwnd, WM_PAINT, 0, 0);
}

void MarkDirty(Window* root, const TRect& area) { root->dirty = Union(root->dirty, area); }

void PaintPass(Window* root) {
  root->paintPosted = false;
  if (!VisibleChain(root) || (root->style & WS_MINIMIZE)) return;
  const HWND hwnd = root->hwnd;
  PaintWindow(root);
  if (root->destroyed) return;
  DrawCaretIfOwnedBy(root, true);
  const TRect whole{0, 0, root->rect.Width(), root->rect.Height()};
  TRect area;
  IntersectRect(&area, &root->dirty, &whole);
  root->dirty = {};
  if (!IsRectEmpty(&area)) Backend().Flush(hwnd, *root->backing, area);
}

void ResizeBacking(Window* root) {
  DeleteObject(root->backing);  // DCs still drawing keep their bitmap until released
  root->backing = CreateBitmap(root->rect.Width(), root->rect.Height(), 1, 32, nullptr);
}

void InvalidateWindow(Window* w, const Region& clientArea, bool erase, bool frame) {
  if (frame && HasFrame(w)) w->ncUpdate = true;
  const Region own = Region::Combine(clientArea, Region(TRect{0, 0, w->client.Width(), w->client.Height()}),
                                     RegionOp::And);
  if (!own.IsEmpty()) {
    w->update = Region::Combine(w->update, own, RegionOp::Or);
    w->erase = w->erase || erase;
  }
  if (!(w->style & WS_CLIPCHILDREN)) {
    for (HWND h : w->children) {
      Window* c = Find(h);
      if (!c || !c->rect.Width()) continue;
      if (!own.Intersects(c->rect)) continue;
      Region part = own;
      part.Offset(-c->rect.Left - c->client.Left, -c->rect.Top - c->client.Top);
      InvalidateWindow(c, part, erase, true);
    }
  }
  if (!own.IsEmpty() || w->ncUpdate) SchedulePaint(Root(w));
}

}  // namespace user_detail

using namespace user_detail;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (hwnd == 0) {
    for (Window* w : TopLevelWindows()) InvalidateRect(w->hwnd, rect, erase);
    return 1;
  }
  Window* w = Find(hwnd);
  if (!w) return 0;
  const TRect all{0, 0, w->client.Width(), w->client.Height()};
  InvalidateWindow(w, Region(rect ? *rect : all), erase, !rect);
  return 1;
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (!region) return InvalidateRect(hwnd, nullptr, erase);
  InvalidateWindow(w, region->region, erase, false);
  return 1;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  w->update = rect ? Region::Combine(w->update, Region(*rect), RegionOp::Diff) : Region();
  if (w->update.IsEmpty()) w->erase = false;
  return 1;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (rect) *rect = w->update.Bounds();
  return w->update.IsEmpty() ? 0 : 1;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  PaintPass(Root(w));
  return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  Window* w = Find(hwnd);
  if (!w || !paint) return nullptr;
  const Region update = w->update;
  const bool erase = w->erase;
  w->update = {};
  w->erase = false;
  const POINT o = OriginInRoot(w);
  Region inRoot = update;
  inRoot.Offset(o.X + w->client.Left, o.Y + w->client.Top);
  HDC dc = MakeDC(w, true, &inRoot);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->rcPaint = update.Bounds();
  if (erase) paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? 0 : 1;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) { return paint ? ReleaseDC(hwnd, paint->hdc) : 0; }

HDC GetDC(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? MakeDC(w, true, nullptr) : CreateCompatibleDC(nullptr);
}

HDC GetWindowDC(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? MakeDC(w, false, nullptr) : CreateCompatibleDC(nullptr);
}

int ReleaseDC(HWND, HDC dc) {
  if (!dc) return 0;
  auto it = WindowDCs().find(dc);
  if (it != WindowDCs().end()) {
    // The pass puts the caret back and shows what was drawn.
    if (Window* root = Root(Find(it->second))) {
      if (dc->visibleRegion && !dc->visibleRegion->IsEmpty()) MarkDirty(root, dc->visibleRegion->Bounds());
      SchedulePaint(root);
    }
    WindowDCs().erase(it);
  }
  DeleteDC(dc);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = WindowDCs().find(dc);
  return it == WindowDCs().end() ? 0 : it->second;
}

HBITMAP GetWindowBackingBitmap(HWND hwnd) {
  Window* root = Root(Find(hwnd));
  return root ? root->backing : nullptr;
}

void NativeWindowExposed(HWND hwnd, const TRect& area) {
  Window* w = Find(hwnd);
  if (w && w->TopLevel() && w->backing) Backend().Flush(hwnd, *w->backing, area);
}
