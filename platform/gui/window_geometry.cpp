// Window geometry: positions and sizes with their notifications, the
// minimum and maximum tracking sizes that every resize respects, coordinate
// mapping, hit-finding by point and window regions.

#include "platform/gui/colors.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"
#include "platform/rtl/text.h"

namespace user_detail {
namespace {

TRect Offset(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

void MoveInZOrder(Window* w, HWND after) {
  std::vector<HWND>& list = SiblingList(w);
  std::erase(list, w->hwnd);
  if (after == HWND_BOTTOM) list.insert(list.begin(), w->hwnd);
  else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) list.push_back(w->hwnd);
  else {
    auto it = std::find(list.begin(), list.end(), after);
    list.insert(it, w->hwnd);  // directly beneath `after`
  }
}

// What a window covers of its parent, offset by (dx, dy): its rectangle,
// cut to its window region when it has one.
Region Footprint(const Window* w, int dx, int dy) {
  Region covered(Offset(w->rect, dx, dy));
  if (!w->shape) return covered;
  Region shape = *w->shape;
  shape.Offset(w->rect.Left + dx, w->rect.Top + dy);
  return Region::Combine(covered, shape, RegionOp::And);
}

bool Contains(const TRect& r, POINT p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// The deepest visible, enabled child of w under a point in w's client coordinates.
Window* DeepestChild(Window* w, POINT client) {
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
    Window* c = Find(*it);
    if (!c || !(c->style & WS_VISIBLE) || !Contains(c->rect, client)) continue;
    POINT inWindow{client.X - c->rect.Left, client.Y - c->rect.Top};
    if (c->shape && !c->shape->Contains(inWindow.X, inWindow.Y)) continue;
    if (c->style & WS_DISABLED) return c;
    return DeepestChild(c, {inWindow.X - c->client.Left, inWindow.Y - c->client.Top});
  }
  return w;
}

}  // namespace

POINT OriginInRoot(const Window* w) {
  POINT p{0, 0};
  while (w && !w->TopLevel()) {
    const Window* parent = Find(w->parent);
    p.X += w->rect.Left + parent->client.Left;
    p.Y += w->rect.Top + parent->client.Top;
    w = parent;
  }
  return p;
}

POINT ScreenOrigin(const Window* w) {
  const POINT o = OriginInRoot(w);
  const Window* root = Root(const_cast<Window*>(w));
  return {root->rect.Left + o.X, root->rect.Top + o.Y};
}

bool VisibleChain(const Window* w) {
  for (; w; w = w->TopLevel() ? nullptr : Find(w->parent))
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

Region VisibleArea(const Window* w, bool clientOnly) {
  if (!VisibleChain(w)) return {};
  const POINT o = OriginInRoot(w);
  TRect own = clientOnly ? w->client : TRect{0, 0, w->rect.Width(), w->rect.Height()};
  Region area(Offset(own, o.X, o.Y));
  // Window regions clip everything drawn inside them, descendants included.
  for (const Window* c = w; c; c = c->TopLevel() ? nullptr : Find(c->parent)) {
    if (!c->shape) continue;
    Region shape = *c->shape;
    const POINT co = OriginInRoot(c);
    shape.Offset(co.X, co.Y);
    area = Region::Combine(area, shape, RegionOp::And);
  }
  if (w->style & WS_CLIPCHILDREN) {
    for (HWND h : w->children) {
      const Window* c = Find(h);
      if (c && (c->style & WS_VISIBLE))
        area = Region::Combine(area, Footprint(c, o.X + w->client.Left, o.Y + w->client.Top), RegionOp::Diff);
    }
  }
  // Each level: stay inside the parent's client area, and under higher siblings.
  for (const Window* c = w; !c->TopLevel(); c = Find(c->parent)) {
    const Window* parent = Find(c->parent);
    const POINT po = OriginInRoot(parent);
    area = Region::Combine(area, Region(Offset(parent->client, po.X, po.Y)), RegionOp::And);
    const auto& sibs = parent->children;
    for (auto it = std::find(sibs.begin(), sibs.end(), c->hwnd) + 1; it < sibs.end(); ++it) {
      const Window* s = Find(*it);
      if (s && (s->style & WS_VISIBLE))
        area = Region::Combine(area, Footprint(s, po.X + parent->client.Left, po.Y + parent->client.Top), RegionOp::Diff);
    }
  }
  return area;
}

MINMAXINFO QueryMinMax(HWND hwnd) {
  MINMAXINFO mm;
  RECT work;
  GetWorkArea(&work);
  mm.ptMaxSize = {work.Width(), work.Height()};
  mm.ptMaxPosition = {work.Left, work.Top};
  mm.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mm.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  Window* w = Find(hwnd);
  if (w && !(w->style & (WS_CAPTION | WS_THICKFRAME))) mm.ptMinTrackSize = {0, 0};
  SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  return mm;
}

namespace {
// Bounds the backend reported; the native window is not told them back.
const TRect* g_nativeBounds = nullptr;
}  // namespace

TSize ClampToTracking(HWND hwnd, int cx, int cy) {
  const MINMAXINFO mm = QueryMinMax(hwnd);
  return {std::clamp(cx, int(mm.ptMinTrackSize.X), std::max(mm.ptMinTrackSize.X, mm.ptMaxTrackSize.X)),
          std::clamp(cy, int(mm.ptMinTrackSize.Y), std::max(mm.ptMinTrackSize.Y, mm.ptMaxTrackSize.Y))};
}

void ApplyNativeBounds(HWND hwnd, const TRect& r) {
  g_nativeBounds = &r;
  SetWindowPos(hwnd, 0, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  g_nativeBounds = nullptr;
}

}  // namespace user_detail

using namespace user_detail;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) pos.x = w->rect.Left, pos.y = w->rect.Top;
  if (flags & SWP_NOSIZE) pos.cx = w->rect.Width(), pos.cy = w->rect.Height();
  if (!(flags & SWP_NOSENDCHANGING)) SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  if (w->destroyed) return 0;
  const bool sizing = pos.cx != w->rect.Width() || pos.cy != w->rect.Height();
  if (sizing && w->TopLevel() && !(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    // Every resize of a top-level window keeps to its tracking limits.
    const TSize size = ClampToTracking(hwnd, pos.cx, pos.cy);
    pos.cx = size.cx, pos.cy = size.cy;
  }
  pos.cx = std::max(pos.cx, 0), pos.cy = std::max(pos.cy, 0);
  const TRect oldRect = w->rect;
  const TRect newRect = Bounds(pos.x, pos.y, pos.cx, pos.cy);
  const bool moved = newRect.Left != oldRect.Left || newRect.Top != oldRect.Top;
  const bool resized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
  const bool frame = flags & SWP_FRAMECHANGED;
  const bool wasVisible = w->style & WS_VISIBLE;

  if (moved || resized || frame) {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = newRect;
    params.rgrc[1] = oldRect;
    params.rgrc[2] = Offset(w->client, oldRect.Left, oldRect.Top);
    params.lppos = &pos;
    SendMessageA(hwnd, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
    if (w->destroyed) return 0;
    const RECT& c = params.rgrc[0];
    w->client = {c.Left - newRect.Left, c.Top - newRect.Top, c.Right - newRect.Left, c.Bottom - newRect.Top};
  }
  if (!w->TopLevel() && wasVisible && (moved || resized))
    InvalidateRect(w->parent, &oldRect, 1);
  w->rect = newRect;
  if (!(flags & SWP_NOZORDER)) MoveInZOrder(w, insertAfter);
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  const bool visible = w->style & WS_VISIBLE;

  if (w->TopLevel()) {
    if (resized) ResizeBacking(w);
    if ((moved || resized) && !(g_nativeBounds && *g_nativeBounds == newRect)) Backend().SetBounds(hwnd, newRect);
    // The window manager keeps to the limits the window asks for: told before
    // the window shows, and again when its size or frame changes.
    if (resized || frame || (visible && !wasVisible)) {
      const MINMAXINFO mm = QueryMinMax(hwnd);
      Backend().SetSizeLimits(hwnd, {mm.ptMinTrackSize.X, mm.ptMinTrackSize.Y},
                              {std::max(mm.ptMinTrackSize.X, mm.ptMaxTrackSize.X),
                               std::max(mm.ptMinTrackSize.Y, mm.ptMaxTrackSize.Y)});
    }
    if (visible != wasVisible) Backend().SetVisible(hwnd, visible);
  } else if (wasVisible && !visible) {
    InvalidateRect(w->parent, &newRect, 1);
  }
  if ((resized || frame || (visible && !wasVisible) || (!w->TopLevel() && moved)) && !(flags & SWP_NOREDRAW))
    InvalidateWindow(w, Region(TRect{0, 0, w->client.Width(), w->client.Height()}), true, true);

  pos.x = newRect.Left, pos.y = newRect.Top, pos.cx = newRect.Width(), pos.cy = newRect.Height();
  if (!moved) pos.flags |= SWP_NOMOVE;
  if (!resized) pos.flags |= SWP_NOSIZE;
  SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return 1;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, 0, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : UINT(SWP_NOREDRAW)));
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) return 0;
  const POINT o = ScreenOrigin(w);
  *rect = Bounds(o.X, o.Y, w->rect.Width(), w->rect.Height());
  return 1;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) return 0;
  *rect = {0, 0, w->client.Width(), w->client.Height()};
  return 1;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  Window* w = Find(hwnd);
  if (!w || !point) return 0;
  const POINT o = ScreenOrigin(w);
  point->X += o.X + w->client.Left;
  point->Y += o.Y + w->client.Top;
  return 1;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  Window* w = Find(hwnd);
  if (!w || !point) return 0;
  const POINT o = ScreenOrigin(w);
  point->X -= o.X + w->client.Left;
  point->Y -= o.Y + w->client.Top;
  return 1;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT delta{0, 0};
  if (from) ClientToScreen(from, &delta);
  POINT back{0, 0};
  if (to) ClientToScreen(to, &back);
  const int dx = delta.X - back.X, dy = delta.Y - back.Y;
  for (UINT i = 0; i < count; ++i) points[i].X += dx, points[i].Y += dy;
  return MAKELPARAM(dx, dy);
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (region) {
    w->shape = region->region;
    DeleteObject(region);  // the window owns the region it is given
  } else {
    w->shape.reset();
  }
  if (w->TopLevel()) Backend().SetShape(hwnd, w->shape ? &*w->shape : nullptr);
  else if (w->style & WS_VISIBLE) InvalidateRect(w->parent, &w->rect, 1);
  if (redraw) InvalidateWindow(w, Region(TRect{0, 0, w->client.Width(), w->client.Height()}), true, true);
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
  Window* w = Find(hwnd);
  if (!w || !region || !w->shape) return ERROR;
  region->region = *w->shape;
  return RegionComplexity(*w->shape);
}

BOOL GetWorkArea(RECT* rect) {
  const TSize s = Backend().ScreenSize();
  *rect = {0, 0, s.cx, s.cy};
  return 1;
}

BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
  if (action != SPI_GETWORKAREA || !value) return 0;
  return GetWorkArea(static_cast<RECT*>(value));
}

HWND WindowFromPoint(POINT screen) {
  const std::vector<Window*> tops = TopLevelWindows();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    Window* w = *it;
    if (!(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE) || !Contains(w->rect, screen)) continue;
    const POINT p{screen.X - w->rect.Left, screen.Y - w->rect.Top};
    if (w->shape && !w->shape->Contains(p.X, p.Y)) continue;
    return DeepestChild(w, {p.X - w->client.Left, p.Y - w->client.Top})->hwnd;
  }
  return 0;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
  Window* w = Find(parent);
  if (!w) return 0;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
    Window* c = Find(*it);
    if (c && Contains(c->rect, client)) return c->hwnd;
  }
  return Contains({0, 0, w->client.Width(), w->client.Height()}, client) ? parent : 0;
}

void NativeWindowConfigured(HWND hwnd, const TRect& screenRect) {
  Window* w = Find(hwnd);
  if (w && w->rect != screenRect) ApplyNativeBounds(hwnd, screenRect);
}

void NativeWindowCloseRequested(HWND hwnd) { PostMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); }

void NativeWindowActivateRequested(HWND hwnd) { PostMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0); }

BOOL ActivateForeignWindow(const char* className, const char* title) {
  return className && title && Backend().ActivateForeign(className, AnsiToUtf8(title)) ? 1 : 0;
}
