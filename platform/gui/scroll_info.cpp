// The scroll-bar states by window and bar; forgotten when the window goes.
#include "platform/gui/scroll_info.h"

#include <algorithm>
#include <map>

namespace {

std::map<std::pair<HWND, int>, SCROLLINFO>& States() {
  static std::map<std::pair<HWND, int>, SCROLLINFO> states;
  return states;
}

struct Geometry {
  TRect bar;  // client coordinates
  int lineButton, thumbTop, thumbBottom;
  DWORD state;
};

std::map<std::pair<HWND, int>, Geometry>& Geometries() {
  static std::map<std::pair<HWND, int>, Geometry> geometries;
  return geometries;
}

}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (!IsWindow(hwnd) || !info) return 0;
  // Entries of windows that are gone are dropped as new ones come.
  std::erase_if(States(), [](const auto& e) { return !IsWindow(e.first.first); });
  std::erase_if(Geometries(), [](const auto& e) { return !IsWindow(e.first.first); });
  SCROLLINFO& s = States()[{hwnd, bar}];
  if (info->fMask & SIF_RANGE) {
    s.nMin = info->nMin;
    s.nMax = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) s.nPage = info->nPage;
  if (info->fMask & SIF_POS) s.nPos = info->nPos;
  if (info->fMask & SIF_TRACKPOS) s.nTrackPos = info->nTrackPos;
  const int top = std::max(s.nMin, s.nMax - std::max(0, int(s.nPage) - 1));
  s.nPos = std::clamp(s.nPos, s.nMin, top);
  if (redraw) InvalidateRect(hwnd, nullptr, 0);
  return s.nPos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  auto it = States().find({hwnd, bar});
  if (it == States().end() || !IsWindow(hwnd) || !info) return 0;
  const UINT mask = info->fMask;
  *info = it->second;
  info->fMask = mask;
  return 1;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  return SetScrollInfo(hwnd, bar, &si, redraw);
}

void SetScrollBarGeometry(HWND hwnd, int bar, const TRect& clientRect, int lineButton, int thumbTop,
                          int thumbBottom, DWORD state) {
  if (IsWindow(hwnd)) Geometries()[{hwnd, bar}] = {clientRect, lineButton, thumbTop, thumbBottom, state};
}

BOOL GetScrollBarInfo(HWND hwnd, int object, SCROLLBARINFO* info) {
  const int bar = object == OBJID_VSCROLL ? SB_VERT : object == OBJID_HSCROLL ? SB_HORZ : -1;
  auto it = Geometries().find({hwnd, bar});
  if (it == Geometries().end() || !IsWindow(hwnd) || !info) return 0;
  const Geometry& g = it->second;
  POINT corners[2] = {{g.bar.Left, g.bar.Top}, {g.bar.Right, g.bar.Bottom}};
  ClientToScreen(hwnd, &corners[0]);
  ClientToScreen(hwnd, &corners[1]);
  *info = SCROLLBARINFO{};
  info->rcScrollBar = Rect(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y);
  info->dxyLineButton = g.lineButton;
  info->xyThumbTop = g.thumbTop;
  info->xyThumbBottom = g.thumbBottom;
  info->rgstate[0] = g.state;
  return 1;
}
