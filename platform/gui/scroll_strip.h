// The scroll bars that memos and list boxes draw inside their own client
// area, upright at the right edge or lying along the bottom: geometry from
// the range, the page and the first unit in view; painting; and what a press
// on it asks for.
#pragma once

#include "platform/gui/user.h"

struct TScrollStrip {
  static constexpr int kWidth = 16;
  enum Part { None, LineUp, LineDown, PageUp, PageDown, Thumb };

  TRect bar;               // the strip, in client coordinates
  int total = 0;           // units (items, lines or pixels) in all
  int page = 1;            // how many fit in view
  int top = 0;             // the first in view
  int line = 1;            // how far an arrow press moves
  bool horizontal = false; // arrows left and right; "up" is then left

  bool Active() const { return total > page; }
  TRect ThumbRect() const;
  // at: the y of the point (x of a horizontal strip), in client coordinates.
  Part HitTest(int at) const;
  // The first unit in view when the thumb's start is dragged to thumbStart.
  int TopFromThumb(int thumbStart) const;
  // The first unit in view after a press on an arrow or the track (a press
  // on the thumb leaves it as it is), or after a WM_VSCROLL or WM_HSCROLL
  // request to hwnd. A thumb request carries 16 bits of the position; a
  // sender with a longer one leaves it as the window's track position, which
  // counts when its low 16 bits are the request's.
  int TopAfterPress(Part part) const;
  int TopForRequest(HWND hwnd, WPARAM request) const;
  void Paint(HDC dc, bool enabled) const;
  // Publishes the range, page, position and geometry as the window's
  // vertical or horizontal bar (shown: whether the control shows the strip).
  void Publish(HWND hwnd, bool shown, bool enabled) const;

private:
  int Start() const { return horizontal ? bar.Left : bar.Top; }
  int Length() const { return horizontal ? bar.Width() : bar.Height(); }
  // A rectangle across the strip from `from` to `to` along it.
  TRect Span(int from, int to) const;
};
