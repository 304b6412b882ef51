// The scroll-bar states by window and bar; forgotten when the window goes.
#include "platform/gui/scroll_info.h"

#include <algorithm>
#include <map>

namespace {
std::map<std::pair<HWND, int>, SCROLLINFO>& States() {
  static std::map<std::pair<HWND, int>, SCROLLINFO> states;
  return states;
}
}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (!IsWindow(hwnd) || !info) return 0;
  // Entries of windows that are gone are dropped as new ones come.
  std::erase_if(States(), [](const auto& e) { return !IsWindow(e.first.first); });
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
