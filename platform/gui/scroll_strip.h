// The vertical scroll bar that memos and list boxes draw inside their own
// client area: geometry from the item count, the page and the first item in
// view; painting; and what a press on it asks for.
#pragma once

#include "platform/gui/user.h"

struct TScrollStrip {
  static constexpr int kWidth = 16;
  enum Part { None, LineUp, LineDown, PageUp, PageDown, Thumb };

  TRect bar;      // the strip, in client coordinates
  int total = 0;  // items (or lines) in all
  int page = 1;   // how many fit in view
  int top = 0;    // the first in view

  bool Active() const { return total > page; }
  TRect ThumbRect() const;
  Part HitTest(int y) const;
  // The first item in view when the thumb's top is dragged to thumbTop.
  int TopFromThumb(int thumbTop) const;
  // The first item in view after a press on an arrow or the track (a press
  // on the thumb leaves it as it is), or after a WM_VSCROLL request.
  int TopAfterPress(Part part) const;
  int TopForRequest(WPARAM request) const;
  void Paint(HDC dc, bool enabled) const;
  // Publishes the range, page, position and geometry as the window's
  // vertical bar (shown: whether the control shows the strip).
  void Publish(HWND hwnd, bool shown, bool enabled) const;
};
