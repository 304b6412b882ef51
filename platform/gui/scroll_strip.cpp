// TScrollStrip: geometry, hit-testing and painting of the drawn scroll bar.
#include "platform/gui/scroll_strip.h"

#include <algorithm>

#include "platform/gui/colors.h"
#include "platform/gui/scroll_info.h"

TRect TScrollStrip::Span(int from, int to) const {
  return horizontal ? Rect(from, bar.Top, to, bar.Bottom) : Rect(bar.Left, from, bar.Right, to);
}

TRect TScrollStrip::ThumbRect() const {
  const int track = Length() - 2 * kWidth;
  if (!Active() || track < 8) return Rect(0, 0, 0, 0);
  // 64 bits: a horizontal range counts pixels of the widest line.
  const int size = std::max(8, int(std::int64_t(track) * page / total));
  const int at = Start() + kWidth + int(std::int64_t(track - size) * std::clamp(top, 0, total - page) / (total - page));
  return Span(at, at + size);
}

TScrollStrip::Part TScrollStrip::HitTest(int at) const {
  const int start = Start(), end = Start() + Length();
  if (at < start || at >= end) return None;
  if (at < start + kWidth) return LineUp;
  if (at >= end - kWidth) return LineDown;
  const TRect thumb = ThumbRect();
  const int thumbStart = horizontal ? thumb.Left : thumb.Top, thumbEnd = horizontal ? thumb.Right : thumb.Bottom;
  if (thumbEnd == thumbStart) return None;
  if (at < thumbStart) return PageUp;
  return at < thumbEnd ? Thumb : PageDown;
}

int TScrollStrip::TopFromThumb(int thumbStart) const {
  const TRect thumb = ThumbRect();
  const int room = Length() - 2 * kWidth - (horizontal ? thumb.Width() : thumb.Height());
  if (room <= 0 || !Active()) return top;
  return std::clamp(int(std::int64_t(thumbStart - Start() - kWidth) * (total - page) / room), 0, total - page);
}

int TScrollStrip::TopAfterPress(Part part) const {
  switch (part) {
    case LineUp: return top - line;
    case LineDown: return top + line;
    case PageUp: return top - page;
    case PageDown: return top + page;
    default: return top;
  }
}

int TScrollStrip::TopForRequest(HWND hwnd, WPARAM request) const {
  switch (LOWORD(request)) {
    case SB_LINEUP: return TopAfterPress(LineUp);
    case SB_LINEDOWN: return TopAfterPress(LineDown);
    case SB_PAGEUP: return TopAfterPress(PageUp);
    case SB_PAGEDOWN: return TopAfterPress(PageDown);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      const bool full = GetScrollInfo(hwnd, horizontal ? SB_HORZ : SB_VERT, &si) && LOWORD(si.nTrackPos) == HIWORD(request);
      return full ? si.nTrackPos : HIWORD(request);
    }
    case SB_TOP: return 0;
    case SB_BOTTOM: return total;
    default: return top;
  }
}

void TScrollStrip::Paint(HDC dc, bool enabled) const {
  HBRUSH track = CreateSolidBrush(ColorToRGB(clScrollBar));
  RECT r = bar;
  FillRect(dc, &r, track);
  DeleteObject(track);
  const UINT state = Active() && enabled ? 0u : UINT(DFCS_INACTIVE);
  const int end = Start() + Length();
  RECT up = Span(Start(), Start() + kWidth);
  RECT down = Span(end - kWidth, end);
  DrawFrameControl(dc, &up, DFC_SCROLL, (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | state);
  DrawFrameControl(dc, &down, DFC_SCROLL, (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | state);
  RECT thumb = ThumbRect();
  if (!state && thumb.Width() > 0 && thumb.Height() > 0) DrawFrameControl(dc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

void TScrollStrip::Publish(HWND hwnd, bool shown, bool enabled) const {
  const int which = horizontal ? SB_HORZ : SB_VERT;
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = std::max(0, total - 1);
  si.nPage = UINT(page);
  si.nPos = si.nTrackPos = top;
  SetScrollInfo(hwnd, which, &si, 0);
  const TRect thumb = ThumbRect();
  DWORD state = shown ? 0u : DWORD(STATE_SYSTEM_INVISIBLE);
  if (!Active() || !enabled) state |= STATE_SYSTEM_UNAVAILABLE;
  const bool none = thumb.Width() == 0 || thumb.Height() == 0;
  const int thumbStart = none ? 0 : (horizontal ? thumb.Left : thumb.Top) - Start();
  const int thumbEnd = none ? 0 : (horizontal ? thumb.Right : thumb.Bottom) - Start();
  SetScrollBarGeometry(hwnd, which, bar, kWidth, thumbStart, thumbEnd, state);
}
