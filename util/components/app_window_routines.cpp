// Shift state, colour under the pointer, the application window and safe
// class registration.
#include "util/components/app_window_routines.h"

#include "platform/gui/application.h"
#include "platform/gui/gdi.h"
#include "platform/gui/user.h"

TShiftState UtlGetShiftState() { return KeyboardShiftState(); }

namespace {
COLORREF PixelOf(HWND hwnd, HDC dc, int x, int y) {
  const COLORREF c = dc ? GetPixel(dc, x, y) : CLR_INVALID;
  if (dc) ReleaseDC(hwnd, dc);
  return c;
}
}  // namespace

// The desktop's device context where the backend can read the screen; else
// the top-level window under the pointer, whose pixels the layer composes.
TColor UtlColorUnderCursor() {
  POINT p{};
  GetCursorPos(&p);
  const HWND desktop = GetDesktopWindow();
  COLORREF c = PixelOf(desktop, GetDC(desktop), p.X, p.Y);
  if (c == CLR_INVALID) {
    const HWND top = GetAncestor(WindowFromPoint(p), GA_ROOT);
    RECT r{};
    if (top && GetWindowRect(top, &r)) c = PixelOf(top, GetWindowDC(top), p.X - r.Left, p.Y - r.Top);
  }
  return TColor(c);
}

void UtlShowAppWindow() {
  const HWND app = Application->Handle();
  if (IsWindow(app)) ShowWindow(app, SW_SHOWNORMAL);
}

void UtlHideAppWindow() {
  const HWND app = Application->Handle();
  if (IsWindow(app) && IsWindowVisible(app)) ShowWindow(app, SW_HIDE);
}

void UtlShowApplication() {
  UtlShowAppWindow();
  if (TCustomForm* main = Application->MainForm()) main->SetVisible(true);
}

void UtlHideApplication() {
  UtlHideAppWindow();
  if (TCustomForm* main = Application->MainForm()) main->SetVisible(false);
}

HWND UtlFindPrevInstanceWindow() {
  const HWND own = Application->Handle();
  char cls[256] = {};
  GetClassNameA(own, cls, sizeof cls);
  const AnsiString& title = Application->Title();
  // Every top-level window from the top of the Z-order down.
  for (HWND h = GetWindow(own, GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h == own) continue;
    char other[256] = {};
    GetClassNameA(h, other, sizeof other);
    const int length = GetWindowTextLengthA(h);
    AnsiString text(size_t(length), '\0');
    if (length) GetWindowTextA(h, text.data(), length + 1);
    if (AnsiString(other) == cls && text == title) return h;
  }
  return 0;
}

bool UtlActivatePrevInstance() {
  const HWND h = UtlFindPrevInstanceWindow();
  if (!h) return false;
  if (IsIconic(h))
    ShowWindow(h, SW_RESTORE);
  else
    SetForegroundWindow(h);
  return true;
}

void UtlRegisterClassSafe(const TUtlClassEntry& entry) {
  if (!entry.first || !entry.second) return;
  try {
    if (!GetClass(entry.first)) RegisterClassFactory(entry.first, entry.second);
  } catch (...) {
    // A class that cannot be registered is simply not creatable by name.
  }
}

void UtlRegisterClassesSafe(const std::vector<TUtlClassEntry>& entries) {
  for (const TUtlClassEntry& e : entries) UtlRegisterClassSafe(e);
}
