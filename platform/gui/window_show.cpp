// Show states: hidden, normal, minimized and maximized, the bounds a window
// returns to, its placement record, and enabling. A window minimized from the
// maximized state is maximized again when restored.

#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

namespace user_detail {
namespace {

constexpr UINT kKeep = SWP_NOZORDER | SWP_NOACTIVATE;

bool IsNormal(const Window* w) { return !(w->style & (WS_MINIMIZE | WS_MAXIMIZE)); }

void Hide(Window* w) {
  const HWND hwnd = w->hwnd;
  SendMessageA(hwnd, WM_SHOWWINDOW, 0, 0);
  SetWindowPos(hwnd, 0, 0, 0, 0, 0, kKeep | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
  if (GetActiveWindow() == hwnd) SetActiveWindow(0);
  if (IsChild(hwnd, GetFocus()) || GetFocus() == hwnd) SetFocus(0);
}

void Minimize(Window* w, bool keepActive) {
  const HWND hwnd = w->hwnd;
  if (IsNormal(w)) w->normalRect = w->rect;
  if (!(w->style & WS_MINIMIZE)) {
    w->restoreMaximized = w->style & WS_MAXIMIZE;
    w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
    SetWindowPos(hwnd, 0, 0, 0, 0, 0, kKeep | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (w->TopLevel()) Backend().SetIconic(hwnd, true);
    SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  }
  if (!keepActive && GetActiveWindow() == hwnd) SetActiveWindow(0);
}

void Maximize(Window* w) {
  if (IsNormal(w)) w->normalRect = w->rect;
  const bool wasIconic = w->style & WS_MINIMIZE;
  w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
  if (wasIconic && w->TopLevel()) Backend().SetIconic(w->hwnd, false);
  const MINMAXINFO mm = QueryMinMax(w->hwnd);
  SetWindowPos(w->hwnd, 0, mm.ptMaxPosition.X, mm.ptMaxPosition.Y, mm.ptMaxSize.X, mm.ptMaxSize.Y,
               kKeep | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

void Restore(Window* w) {
  const bool wasIconic = w->style & WS_MINIMIZE;
  if (wasIconic && w->restoreMaximized) return Maximize(w);
  const bool wasZoomed = w->style & WS_MAXIMIZE;
  w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  if (wasIconic && w->TopLevel()) Backend().SetIconic(w->hwnd, false);
  const TRect r = (wasZoomed || wasIconic) ? w->normalRect : w->rect;
  SetWindowPos(w->hwnd, 0, r.Left, r.Top, r.Width(), r.Height(), kKeep | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  if (wasIconic && !wasZoomed)  // same size as before: the frame change alone sends no WM_SIZE
    SendMessageA(w->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->client.Width(), w->client.Height()));
}

bool Activates(int cmd) {
  return cmd == SW_SHOW || cmd == SW_SHOWNORMAL || cmd == SW_RESTORE || cmd == SW_MAXIMIZE || cmd == SW_SHOWMINIMIZED;
}

}  // namespace
}  // namespace user_detail

using namespace user_detail;

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  const bool wasVisible = w->style & WS_VISIBLE;
  if (cmd == SW_HIDE) {
    if (wasVisible) Hide(w);
    return wasVisible ? 1 : 0;
  }
  if (!wasVisible) SendMessageA(hwnd, WM_SHOWWINDOW, 1, 0);
  if (w->destroyed) return 0;
  switch (cmd) {
    case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE: Minimize(w, cmd == SW_SHOWMINIMIZED); break;
    case SW_MAXIMIZE: Maximize(w); break;
    case SW_RESTORE: case SW_SHOWNORMAL: Restore(w); break;
    default: SetWindowPos(hwnd, 0, 0, 0, 0, 0, kKeep | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW); break;
  }
  // Popup tool windows (menus, hints) show without taking the activation.
  const bool popupTool = (w->exStyle & WS_EX_TOOLWINDOW) && (w->style & WS_POPUP);
  if (Activates(cmd) && !w->destroyed && w->TopLevel() && !popupTool) SetActiveWindow(hwnd);
  return wasVisible ? 1 : 0;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && VisibleChain(w) ? 1 : 0;
}

BOOL IsIconic(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MINIMIZE) ? 1 : 0;
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MAXIMIZE) ? 1 : 0;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  Window* w = Find(hwnd);
  if (!w || !placement) return 0;
  *placement = WINDOWPLACEMENT{};
  const bool normal = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
  placement->showCmd = (w->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement->rcNormalPosition = normal ? w->rect : w->normalRect;
  placement->ptMinPosition = w->minPosition;
  placement->ptMaxPosition = w->maxPosition;
  return 1;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
  Window* w = Find(hwnd);
  if (!w || !placement) return 0;
  const RECT& r = placement->rcNormalPosition;
  w->normalRect = r;
  w->minPosition = placement->ptMinPosition;
  w->maxPosition = placement->ptMaxPosition;
  if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE)))
    SetWindowPos(hwnd, 0, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (placement->showCmd != SW_HIDE || IsWindowVisible(hwnd)) ShowWindow(hwnd, int(placement->showCmd));
  return 1;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  const bool wasDisabled = w->style & WS_DISABLED;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) w->style &= ~WS_DISABLED;
  else w->style |= WS_DISABLED;
  if (!enable && (GetFocus() == hwnd || IsChild(hwnd, GetFocus()))) SetFocus(0);
  if (!enable && GetCapture() == hwnd) ReleaseCapture();
  SendMessageA(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && !(w->style & WS_DISABLED) ? 1 : 0;
}

