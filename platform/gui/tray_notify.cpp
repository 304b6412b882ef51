// The tray icon call: the record cut to the form its size names, a modify
// merged into what the icon shows, and the icon's balloon: a topmost popup
// of ours by the icon (at the screen's bottom-right corner where the tray's
// place is unknown) with the kind's sign, the title in bold and the text,
// closed by its timeout or a click, each reported to the icon's owner.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

namespace {
using user_detail::Backend;

constexpr char kBalloonClass[] = "VxTrayBalloon";
constexpr UINT_PTR kBalloonTimer = 1;
constexpr UINT kDefaultBalloonMs = 10000;
constexpr size_t kTipV1 = 63;
constexpr int kPad = 8;
constexpr int kSign = 16;       // the kind's sign, a filled circle
constexpr int kTextWidth = 240; // widest line before wrapping
constexpr int kGap = 2;         // between the icon and the balloon

struct Balloon {
  HWND window = 0;
  NOTIFYICONDATAA data;  // owner, id and the balloon's texts
};

std::map<UINT, NOTIFYICONDATAA>& Icons() {
  static std::map<UINT, NOTIFYICONDATAA> icons;
  return icons;
}

std::map<UINT, Balloon>& Balloons() {
  static std::map<UINT, Balloon> balloons;
  return balloons;
}

void Notice(const NOTIFYICONDATAA& d, UINT notice) {
  if (d.hWnd && d.uCallbackMessage) PostMessage(d.hWnd, d.uCallbackMessage, d.uID, notice);
}

COLORREF SignColor(DWORD kind) {
  switch (kind) {
    case NIIF_INFO: return RGB(0, 90, 200);
    case NIIF_WARNING: return RGB(230, 170, 0);
    case NIIF_ERROR: return RGB(200, 0, 0);
  }
  return 0;
}

HFONT BalloonFont(bool bold) {
  LOGFONTA f;
  f.lfHeight = -12;
  f.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  return CreateFontIndirectA(&f);
}

// Title and text rectangles in the balloon, measured (or drawn) on dc.
struct Layout {
  RECT title{}, text{};
  int width = 0, height = 0;
};

Layout Measure(HDC dc, const NOTIFYICONDATAA& d) {
  Layout l;
  const int left = kPad + (d.dwInfoFlags ? kSign + kPad / 2 : 0);
  int y = kPad;
  HFONT bold = BalloonFont(true), plain = BalloonFont(false);
  if (d.szInfoTitle[0]) {
    HGDIOBJ old = SelectObject(dc, bold);
    l.title = {left, y, left + kTextWidth, y};
    DrawTextA(dc, d.szInfoTitle, -1, &l.title, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, old);
    y = l.title.Bottom + kPad / 2;
  }
  HGDIOBJ old = SelectObject(dc, plain);
  l.text = {left, y, left + kTextWidth, y};
  DrawTextA(dc, d.szInfo, -1, &l.text, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  DeleteObject(bold);
  DeleteObject(plain);
  l.width = int(std::max(l.title.Right, l.text.Right)) + kPad;
  l.height = std::max(int(l.text.Bottom), kPad + kSign) + kPad;
  return l;
}

Balloon* BalloonOf(HWND hwnd) {
  for (auto& [id, b] : Balloons())
    if (b.window == hwnd) return &b;
  return nullptr;
}

void Paint(HWND hwnd, const NOTIFYICONDATAA& d) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT all;
  GetClientRect(hwnd, &all);
  HBRUSH back = CreateSolidBrush(GetSysColor(COLOR_INFOBK)), frame = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &all, back);
  FrameRect(dc, &all, frame);
  if (d.dwInfoFlags) {
    HBRUSH sign = CreateSolidBrush(SignColor(d.dwInfoFlags));
    HGDIOBJ oldBrush = SelectObject(dc, sign);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, kPad, kPad, kPad + kSign + 1, kPad + kSign + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(sign);
  }
  Layout l = Measure(dc, d);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  HFONT bold = BalloonFont(true), plain = BalloonFont(false);
  HGDIOBJ old = SelectObject(dc, bold);
  DrawTextA(dc, d.szInfoTitle, -1, &l.title, DT_NOPREFIX | DT_SINGLELINE);
  SelectObject(dc, plain);
  DrawTextA(dc, d.szInfo, -1, &l.text, DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  DeleteObject(bold);
  DeleteObject(plain);
  DeleteObject(back);
  DeleteObject(frame);
  EndPaint(hwnd, &ps);
}

void CloseBalloon(UINT id, UINT notice) {
  auto it = Balloons().find(id);
  if (it == Balloons().end()) return;
  const Balloon b = it->second;
  Balloons().erase(it);
  DestroyWindow(b.window);
  Notice(b.data, notice);
}

LRESULT BalloonProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Balloon* b = BalloonOf(hwnd);
  if (!b) return DefWindowProcA(hwnd, msg, wparam, lparam);
  switch (msg) {
    case WM_PAINT: Paint(hwnd, b->data); return 0;
    case WM_TIMER:
      if (wparam != kBalloonTimer) break;
      CloseBalloon(b->data.uID, NIN_BALLOONTIMEOUT);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: CloseBalloon(b->data.uID, NIN_BALLOONUSERCLICK); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

// Left and top of a balloon of that size: above the icon (below when there is
// no room), its right edge near the icon's, kept on the screen.
POINT Place(UINT id, int width, int height) {
  const TSize screen = Backend().ScreenSize();
  TRect icon;
  if (!Backend().TrayIconRect(id, icon)) icon = {screen.cx - kGap, screen.cy - kGap, screen.cx - kGap, screen.cy - kGap};
  int x = icon.Left + icon.Width() / 2 + kSign - width;
  int y = icon.Top - kGap - height;
  if (y < 0) y = icon.Bottom + kGap;
  x = std::clamp(x, 0, std::max(0, screen.cx - width));
  y = std::clamp(y, 0, std::max(0, screen.cy - height));
  return {x, y};
}

void ShowBalloon(const NOTIFYICONDATAA& d) {
  CloseBalloon(d.uID, NIN_BALLOONHIDE);
  static const bool registered = [] {
    WNDCLASSEXA wc;
    wc.lpfnWndProc = BalloonProc;
    wc.lpszClassName = kBalloonClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  HDC screenDc = GetDC(0);
  const Layout l = Measure(screenDc, d);
  ReleaseDC(0, screenDc);
  const POINT at = Place(d.uID, l.width, l.height);
  Balloon& b = Balloons()[d.uID];
  b.data = d;
  b.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kBalloonClass, "", WS_POPUP, at.X, at.Y, l.width,
                             l.height, 0, 0, nullptr, nullptr);
  ShowWindow(b.window, SW_SHOWNOACTIVATE);
  SetTimer(b.window, kBalloonTimer, d.uTimeout ? d.uTimeout : kDefaultBalloonMs);
  Notice(d, NIN_BALLOONSHOW);
}

// The record as its size allows: the first form's tip is cut and it has no balloon.
NOTIFYICONDATAA Normalized(const NOTIFYICONDATAA& in) {
  NOTIFYICONDATAA d = in;
  d.szTip[sizeof d.szTip - 1] = '\0';
  d.szInfo[sizeof d.szInfo - 1] = '\0';
  d.szInfoTitle[sizeof d.szInfoTitle - 1] = '\0';
  if (in.cbSize >= NOTIFYICONDATAA_V2_SIZE) return d;
  d.szTip[kTipV1] = '\0';
  d.uFlags &= ~NIF_INFO;
  std::memset(d.szInfo, 0, sizeof d.szInfo);
  std::memset(d.szInfoTitle, 0, sizeof d.szInfoTitle);
  d.uTimeout = 0;
  d.dwInfoFlags = 0;
  return d;
}

// What the icon shows after a modify: the fields the flags name change, the rest stay.
NOTIFYICONDATAA Merged(const NOTIFYICONDATAA& shown, const NOTIFYICONDATAA& call) {
  NOTIFYICONDATAA d = shown;
  d.cbSize = call.cbSize;
  d.uFlags = (shown.uFlags & ~NIF_INFO) | call.uFlags;
  if (call.uFlags & NIF_MESSAGE) d.uCallbackMessage = call.uCallbackMessage;
  if (call.uFlags & NIF_ICON) d.hIcon = call.hIcon;
  if (call.uFlags & NIF_TIP) std::memcpy(d.szTip, call.szTip, sizeof d.szTip);
  if (call.uFlags & NIF_INFO) {
    std::memcpy(d.szInfo, call.szInfo, sizeof d.szInfo);
    std::memcpy(d.szInfoTitle, call.szInfoTitle, sizeof d.szInfoTitle);
    d.uTimeout = call.uTimeout;
    d.dwInfoFlags = call.dwInfoFlags;
  }
  return d;
}

}  // namespace

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  if (!data) return 0;
  NOTIFYICONDATAA d = Normalized(*data);
  auto shown = Icons().find(d.uID);
  if (message == NIM_MODIFY && shown != Icons().end()) d = Merged(shown->second, d);
  if (!Backend().NotifyIcon(message, d)) return 0;
  if (message == NIM_DELETE) {
    CloseBalloon(d.uID, NIN_BALLOONHIDE);
    Icons().erase(d.uID);
    return 1;
  }
  Icons()[d.uID] = d;
  if (d.uFlags & NIF_INFO) {
    if (d.szInfo[0]) ShowBalloon(d);
    else CloseBalloon(d.uID, NIN_BALLOONHIDE);
  }
  return 1;
}
