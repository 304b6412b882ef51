// render-window: opens a framed test window with a few painted child windows
// (a sunken panel, a push button, a caption text, a round child cut by its
// window region), lets the message loop paint it, and saves what the screen
// shows around it as PNG. Under X11 the picture is read back from the server,
// so it shows the window as a person would see it; headless it is the
// in-memory screen.
#include <cstdio>
#include <cstdlib>

#include "platform/gui/colors.h"
#include "tools/screen-grab/screen_grab.h"

namespace {

constexpr TRect kWindow{40, 40, 40 + 380, 40 + 260};
constexpr int kMargin = 20;
constexpr unsigned kSettleMs = 300;

enum ChildId { kPanel = 1, kButton, kLabel, kBadge };

void PaintChild(HWND h, HDC dc, const RECT& r) {
  switch (GetWindowLongPtrA(h, GWL_ID)) {
    case kPanel: {
      RECT edge = r;
      DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      HBRUSH brush = CreateSolidBrush(RGB(255, 255, 230));
      FillRect(dc, &edge, brush);
      DeleteObject(brush);
      HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 2, RGB(200, 40, 40)));
      MoveToEx(dc, edge.Left + 10, edge.Bottom - 10, nullptr);
      LineTo(dc, edge.Right - 10, edge.Top + 10);
      DeleteObject(SelectObject(dc, old));
      break;
    }
    case kButton: {
      RECT face = r;
      DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH);
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, "Zálohovat", -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      break;
    }
    case kLabel: {
      RECT text = r;
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, "Příliš žluťoučký kůň úpěl ďábelské ódy.", -1, &text, DT_LEFT | DT_WORDBREAK);
      break;
    }
    case kBadge: {
      HBRUSH brush = CreateSolidBrush(RGB(40, 140, 60));
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      RECT text = r;
      DrawTextA(dc, "OK", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      break;
    }
  }
}

LRESULT Proc(HWND h, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT && (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    PaintChild(h, dc, r);
    EndPaint(h, &ps);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(h, message, wparam, lparam);
}

HWND OpenTestWindow() {
  WNDCLASSEXA wc;
  wc.lpfnWndProc = Proc;
  wc.lpszClassName = "RenderWindow";
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClassExA(&wc);
  HWND top = CreateWindowExA(0, "RenderWindow", "Vorbex05 – zkušební okno", WS_OVERLAPPEDWINDOW, kWindow.Left,
                             kWindow.Top, kWindow.Width(), kWindow.Height(), 0, 0, nullptr, nullptr);
  struct Child {
    ChildId id;
    TRect bounds;
  } children[] = {{kPanel, Bounds(10, 10, 170, 120)},
                  {kButton, Bounds(200, 10, 150, 30)},
                  {kLabel, Bounds(200, 50, 150, 60)},
                  {kBadge, Bounds(10, 140, 80, 80)}};
  for (const Child& c : children) {
    HWND child = CreateWindowExA(0, "RenderWindow", "", WS_CHILD | WS_VISIBLE, c.bounds.Left, c.bounds.Top,
                                 c.bounds.Width(), c.bounds.Height(), top, HMENU(c.id), nullptr, nullptr);
    if (c.id == kBadge) SetWindowRgn(child, CreateEllipticRgn(0, 0, 81, 81), 1);
  }
  ShowWindow(top, SW_SHOWNORMAL);
  UpdateWindow(top);
  return top;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: render-window <file.png>\n");
    return 2;
  }
  HWND top = OpenTestWindow();
  ProcessMessagesFor(kSettleMs);
  const TRect area{kWindow.Left - kMargin, kWindow.Top - kMargin, kWindow.Right + kMargin, kWindow.Bottom + kMargin};
  HBITMAP shot = GrabScreenArea(top, area);
  if (!shot) {
    std::fprintf(stderr, "render-window: the screen could not be read\n");
    return 1;
  }
  const bool saved = SavePng(shot, argv[1]);
  DeleteObject(shot);
  if (!saved) {
    std::fprintf(stderr, "render-window: %s could not be written\n", argv[1]);
    return 1;
  }
  DestroyWindow(top);
  return 0;
}
