// Scroll-bar state of a window (range, page, position, and where the bar and
// its thumb are), as controls that draw their own scroll bars publish it, so
// others (a skinned bar laid over the control) can read it and follow it.
#pragma once

#include "platform/gui/user.h"

enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
// The requests of WM_VSCROLL and WM_HSCROLL (low word of the first parameter).
enum : WPARAM {
  SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5,
  SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8
};
enum : UINT { SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
              SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS };

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

enum : int { OBJID_VSCROLL = -5, OBJID_HSCROLL = -6 };
enum : DWORD { STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_INVISIBLE = 0x8000 };

struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar;       // screen coordinates
  int dxyLineButton = 0;  // height of an arrow button
  int xyThumbTop = 0;     // thumb, from the bar's top
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};  // [0]: the bar as a whole
};

// The position is kept within nMin .. nMax - nPage + 1. Returns the new position.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
// False when the window has published no state for that bar.
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int GetScrollPos(HWND hwnd, int bar);
// What a control says of the bar it draws: the bar in client coordinates,
// its arrow size, the thumb from the bar's top, and its state bits.
void SetScrollBarGeometry(HWND hwnd, int bar, const TRect& clientRect, int lineButton, int thumbTop,
                          int thumbBottom, DWORD state);
// False when the window has said nothing of that bar.
BOOL GetScrollBarInfo(HWND hwnd, int object, SCROLLBARINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
