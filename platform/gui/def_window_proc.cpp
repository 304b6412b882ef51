// The default window procedure. It gives every window the non-client area
// the platform's classic look has: a frame of 4 pixels for sizeable windows
// and 3 for dialog frames, a caption bar when both caption bits are set, hit
// codes for frame, caption and buttons, the move and size loops started from
// them, and the standard answers to close, show, cursor and erase messages.

#include <cstdlib>
#include <cstring>

#include "platform/gui/colors.h"
#include "platform/gui/window_internal.h"

namespace user_detail {
namespace {

constexpr int kSizeFrame = 4;
constexpr int kDialogFrame = 3;
constexpr int kClientEdge = 2;
constexpr int kCornerGrip = 16;    // sizing corners reach this far along each edge
constexpr int kCaptionButtonWidth = 16;
constexpr int kCaptionButtonHeight = 14;
constexpr int kWmszFromHit = HTLEFT - 1;  // SC_SIZE + (hit - kWmszFromHit) names the edge

int FrameWidth(const Window* w) {
  if (w->style & WS_THICKFRAME) return kSizeFrame;
  if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) return kDialogFrame;
  return (w->style & WS_BORDER) ? 1 : 0;
}

bool HasCaption(const Window* w) { return (w->style & WS_CAPTION) == WS_CAPTION; }

void ApplyInsets(const Window* w, RECT& r) {
  int f = FrameWidth(w);
  if (w->exStyle & WS_EX_CLIENTEDGE) f += kClientEdge;
  r.Left += f, r.Right -= f, r.Top += f, r.Bottom -= f;
  if (HasCaption(w)) r.Top += GetSystemMetrics(SM_CYCAPTION);
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
}

// Caption band and its close button, in window coordinates.
TRect CaptionRect(const Window* w) {
  const int f = FrameWidth(w);
  return {f, f, w->rect.Width() - f, f + GetSystemMetrics(SM_CYCAPTION) - 1};
}

TRect CloseButtonRect(const Window* w) {
  const TRect c = CaptionRect(w);
  const int top = c.Top + (c.Height() - kCaptionButtonHeight) / 2;
  return {c.Right - 2 - kCaptionButtonWidth, top, c.Right - 2, top + kCaptionButtonHeight};
}

bool In(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

LRESULT SizingHit(const Window* w, int x, int y) {
  const int W = w->rect.Width(), H = w->rect.Height();
  const bool left = x < kCornerGrip, right = x >= W - kCornerGrip;
  const bool top = y < kCornerGrip, bottom = y >= H - kCornerGrip;
  const int f = FrameWidth(w);
  if (y < f) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
  if (y >= H - f) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
  if (x < f) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
  return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
}

LRESULT HitTest(Window* w, POINT screen) {
  const POINT o = ScreenOrigin(w);
  const int x = screen.X - o.X, y = screen.Y - o.Y;
  if (!In({0, 0, w->rect.Width(), w->rect.Height()}, x, y)) return HTNOWHERE;
  if (In(w->client, x, y)) return HTCLIENT;
  if (HasCaption(w) && In(CaptionRect(w), x, y)) {
    if ((w->style & WS_SYSMENU) && In(CloseButtonRect(w), x, y)) return HTCLOSE;
    return HTCAPTION;
  }
  const int f = FrameWidth(w);
  const bool inFrame = x < f || y < f || x >= w->rect.Width() - f || y >= w->rect.Height() - f;
  if (!inFrame) return HTBORDER;  // client edge
  if ((w->style & WS_THICKFRAME) && !(w->style & WS_MAXIMIZE)) return SizingHit(w, x, y);
  return HTBORDER;
}

void FillSolid(HDC dc, const TRect& r, int sysColor) {
  FillRect(dc, &r, GetSysColorBrush(sysColor));
}

void PaintCaption(Window* w, HDC dc) {
  const TRect c = CaptionRect(w);
  FillSolid(dc, c, w->ncActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  FillSolid(dc, {c.Left, c.Bottom, c.Right, c.Bottom + 1}, COLOR_BTNFACE);
  LOGFONTA lf;
  lf.lfHeight = -11;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(w->ncActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  RECT text{c.Left + 4, c.Top, c.Right - kCaptionButtonWidth - 6, c.Bottom};
  DrawTextA(dc, w->text.c_str(), int(w->text.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
  if (w->style & WS_SYSMENU) {
    RECT button = CloseButtonRect(w);
    DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  }
}

// The classic frame: a raised edge, the button-face band inside it, then the caption.
void PaintFrame(Window* w) {
  HDC dc = GetWindowDC(w->hwnd);
  const Region outside = Region::Combine(Region(TRect{0, 0, w->rect.Width(), w->rect.Height()}),
                                         Region(w->client), RegionOp::Diff);
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  clip->region = outside;
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  RECT r{0, 0, w->rect.Width(), w->rect.Height()};
  const int f = FrameWidth(w);
  if (f == 1) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
  } else if (f > 1) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    for (int i = 2; i < f; ++i) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
      InflateRect(&r, -1, -1);
    }
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    RECT edge{w->client.Left - kClientEdge, w->client.Top - kClientEdge, w->client.Right + kClientEdge,
              w->client.Bottom + kClientEdge};
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  }
  if (HasCaption(w)) PaintCaption(w, dc);
  ReleaseDC(w->hwnd, dc);
}

HBRUSH BackgroundBrush(const Window* w) {
  const auto value = reinterpret_cast<std::uintptr_t>(w->cls->background);
  if (value > 0 && value <= COLOR_MENUBAR + 1) return GetSysColorBrush(int(value) - 1);
  return w->cls->background;
}

const char* CursorForHit(LRESULT hit) {
  switch (hit) {
    case HTLEFT: case HTRIGHT: return IDC_SIZEWE;
    case HTTOP: case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT: case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT: case HTBOTTOMLEFT: return IDC_SIZENESW;
  }
  return IDC_ARROW;
}

LRESULT OnSetCursor(Window* w, WPARAM wparam, LPARAM lparam) {
  if (!w->TopLevel() && SendMessageA(w->parent, WM_SETCURSOR, wparam, lparam)) return 1;
  const LRESULT hit = std::int16_t(LOWORD(lparam));
  if (hit == HTCLIENT && w->cls->cursor) SetCursor(w->cls->cursor);
  else SetCursor(LoadCursorA(nullptr, CursorForHit(hit)));
  return 0;
}

LRESULT OnSysCommand(HWND hwnd, WPARAM wparam) {
  const WPARAM command = wparam & 0xFFF0;
  switch (command) {
    case SC_MOVE: StartMoveSize(hwnd, 0); break;
    case SC_SIZE: StartMoveSize(hwnd, int(wparam & 0xF)); break;
    case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
  }
  return 0;
}

LRESULT OnNcButtonDown(Window* w, LRESULT hit) {
  const HWND hwnd = w->hwnd;
  if (w->TopLevel() && GetActiveWindow() != hwnd) SetActiveWindow(hwnd);
  if (hit == HTCAPTION) return SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE | WPARAM(HTCAPTION), 0);
  if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
    return SendMessageA(hwnd, WM_SYSCOMMAND, SC_SIZE + WPARAM(hit - kWmszFromHit), 0);
  return 0;
}

}  // namespace
}  // namespace user_detail

using namespace user_detail;

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE: return 1;
    case WM_NCCALCSIZE: {
      RECT& r = wparam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0] : *reinterpret_cast<RECT*>(lparam);
      ApplyInsets(w, r);
      return 0;
    }
    case WM_NCHITTEST: return HitTest(w, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
    case WM_NCPAINT: PaintFrame(w); return 0;
    case WM_NCACTIVATE:
      w->ncActive = wparam != 0;
      if (HasCaption(w)) PaintFrame(w);
      return 1;
    case WM_NCLBUTTONDOWN: return OnNcButtonDown(w, LRESULT(wparam));
    case WM_NCLBUTTONUP:
      if (LRESULT(wparam) == HTCLOSE) SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_NCLBUTTONDBLCLK:
      if (LRESULT(wparam) == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
        SendMessageA(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
      return 0;
    case WM_SYSCOMMAND: return OnSysCommand(hwnd, wparam);
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = BackgroundBrush(w);
      if (!brush) return 0;
      RECT r{0, 0, w->client.Width(), w->client.Height()};
      FillRect(reinterpret_cast<HDC>(wparam), &r, brush);
      return 1;
    }
    case WM_SETCURSOR: return OnSetCursor(w, wparam, lparam);
    case WM_MOUSEACTIVATE:
      // A child lets its parent decide first.
      if (!w->TopLevel())
        if (LRESULT r = SendMessageA(w->parent, WM_MOUSEACTIVATE, wparam, lparam)) return r;
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && !IsChild(hwnd, GetFocus())) SetFocus(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
      if (!(pos->flags & SWP_NOMOVE))
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.Left + w->client.Left, w->rect.Top + w->client.Top));
      if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED)) {
        const WPARAM kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        SendMessageA(hwnd, WM_SIZE, kind, MAKELPARAM(w->client.Width(), w->client.Height()));
      }
      return 0;
    }
    case WM_GETTEXT: return GetWindowTextA(hwnd, reinterpret_cast<char*>(lparam), int(wparam));
    case WM_GETTEXTLENGTH: return GetWindowTextLengthA(hwnd);
    case WM_SETTEXT: return SetWindowTextA(hwnd, reinterpret_cast<const char*>(lparam));
    case WM_QUERYENDSESSION: return 1;
  }
  return 0;
}
