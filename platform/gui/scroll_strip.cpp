// TScrollStrip: geometry, hit-testing and painting of the drawn scroll bar.
#include "platform/gui/scroll_strip.h"

#include <algorithm>

#include "platform/gui/colors.h"
#include "platform/gui/scroll_info.h"

TRect TScrollStrip::ThumbRect() const {
  const int track = bar.Height() - 2 * kWidth;
  if (!Active() || track < 8) return Rect(0, 0, 0, 0);
  const int size = std::max(8, track * page / total);
  const int y = bar.Top + kWidth + (track - size) * std::clamp(top, 0, total - page) / (total - page);
  return Rect(bar.Left, y, bar.Right, y + size);
}

TScrollStrip::Part TScrollStrip::HitTest(int y) const {
  if (y < bar.Top || y >= bar.Bottom) return None;
  if (y < bar.Top + kWidth) return LineUp;
  if (y >= bar.Bottom - kWidth) return LineDown;
  const TRect thumb = ThumbRect();
  if (thumb.Height() == 0) return None;
  if (y < thumb.Top) return PageUp;
  return y < thumb.Bottom ? Thumb : PageDown;
}

int TScrollStrip::TopFromThumb(int thumbTop) const {
  const int room = bar.Height() - 2 * kWidth - ThumbRect().Height();
  if (room <= 0 || !Active()) return top;
  return std::clamp((thumbTop - bar.Top - kWidth) * (total - page) / room, 0, total - page);
}

int TScrollStrip::TopAfterPress(Part part) const {
  switch (part) {
    case LineUp: return top - 1;
    case LineDown: return top + 1;
    case PageUp: return top - page;
    case PageDown: return top + page;
    default: return top;
  }
}

int TScrollStrip::TopForRequest(WPARAM request) const {
  switch (LOWORD(request)) {
    case SB_LINEUP: return TopAfterPress(LineUp);
    case SB_LINEDOWN: return TopAfterPress(LineDown);
    case SB_PAGEUP: return TopAfterPress(PageUp);
    case SB_PAGEDOWN: return TopAfterPress(PageDown);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return HIWORD(request);
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
  RECT up{bar.Left, bar.Top, bar.Right, bar.Top + kWidth};
  RECT down{bar.Left, bar.Bottom - kWidth, bar.Right, bar.Bottom};
  DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | state);
  DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | state);
  RECT thumb = ThumbRect();
  if (!state && thumb.Height() > 0) DrawFrameControl(dc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

void TScrollStrip::Publish(HWND hwnd, bool shown, bool enabled) const {
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, total - 1);
  si.nPage = UINT(page);
  si.nPos = top;
  SetScrollInfo(hwnd, SB_VERT, &si, 0);
  const TRect thumb = ThumbRect();
  DWORD state = shown ? 0u : DWORD(STATE_SYSTEM_INVISIBLE);
  if (!Active() || !enabled) state |= STATE_SYSTEM_UNAVAILABLE;
  SetScrollBarGeometry(hwnd, SB_VERT, bar, kWidth, thumb.Top - bar.Top, thumb.Bottom - bar.Top, state);
}
