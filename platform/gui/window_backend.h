// What a display backend gives the window layer: one native window per
// top-level window (placed, shown, shaped and filled from its backing bitmap),
// raw pointer and key input, the window manager's move and size, the tray and
// the clipboard. The headless backend keeps all of it in memory; the X11
// backend maps it onto an X server. Backends report input through
// QueueRawInput, which hands it to the layer in order on the message loop.
#pragma once

#include <string>

#include "platform/gui/user.h"

class Region;
struct GdiBitmap;

struct RawInput {
  enum Kind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp };
  Kind kind = MouseMove;
  POINT screen;
  int button = 0;       // VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
  int wheelDelta = 0;   // multiples of 120
  int virtualKey = 0;
  std::string chars;    // Windows-1250 characters a key-down types
};

void QueueRawInput(const RawInput& input);

// The layer's own requests on the message loop: WM_INPUT without a window,
// with one of these in wParam.
enum : WPARAM { kRawInputTurn = 0, kBackendPump = 1, kCrossThreadSend = 2 };
// A native window was moved or sized by someone else (the window manager).
void NativeWindowConfigured(HWND hwnd, const TRect& screenRect);
// The native window asks to be closed, or was exposed.
void NativeWindowCloseRequested(HWND hwnd);
// Another program asked the window to come back (restore when minimized, else raise).
void NativeWindowActivateRequested(HWND hwnd);
void NativeWindowExposed(HWND hwnd, const TRect& windowArea);
// A tray host appeared anew: every top-level window hears "TaskbarCreated".
void BroadcastTaskbarCreated();

class WindowBackend {
public:
  virtual ~WindowBackend() = default;
  virtual TSize ScreenSize() = 0;
  virtual void Create(HWND hwnd, const TRect& screenRect, DWORD style, DWORD exStyle) = 0;
  virtual void Destroy(HWND hwnd) = 0;
  virtual void SetBounds(HWND hwnd, const TRect& screenRect) = 0;
  virtual void SetVisible(HWND hwnd, bool visible) = 0;
  virtual void SetIconic(HWND hwnd, bool iconic) = 0;
  virtual void Activate(HWND hwnd) = 0;
  virtual void SetTitle(HWND hwnd, const std::string& text) = 0;
  // nullptr removes the shape; the region is in window coordinates.
  virtual void SetShape(HWND hwnd, const Region* shape) = 0;
  virtual void SetSkipTaskbar(HWND hwnd, bool skip) = 0;
  // The smallest and largest size the user may give a top-level window (the
  // same for one that keeps its size: it then offers no resize or maximise).
  virtual void SetSizeLimits(HWND /*hwnd*/, TSize /*min*/, TSize /*max*/) {}
  virtual void SetCursor(int cursorId) = 0;
  virtual void SetCursorPos(POINT screen) = 0;
  // Shows area (window coordinates) of the backing bitmap.
  virtual void Flush(HWND hwnd, const GdiBitmap& backing, const TRect& area) = 0;
  // True when the window manager runs the move or size itself; otherwise the
  // layer tracks the pointer, with it grabbed until GrabPointer(false).
  virtual bool StartSystemMoveSize(HWND hwnd, int edge, POINT screen) = 0;
  virtual void GrabPointer(HWND hwnd, bool grab) = 0;
  virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) = 0;
  // Asks another program's top-level window of that class and title (UTF-8)
  // to come back; false when there is none.
  virtual bool ActivateForeign(const std::string& /*className*/, const std::string& /*title*/) { return false; }
  // Where the tray shows the icon, in screen coordinates; false when unknown.
  virtual bool TrayIconRect(UINT /*id*/, TRect& /*screen*/) { return false; }
  virtual void SetClipboard(const std::string& text) = 0;
  virtual std::string GetClipboard() = 0;
  // Hides the desktop's panels (other programs' dock windows: the taskbar's
  // counterpart) or shows again those it hid; false when there was none.
  virtual bool ShowPanels(bool /*show*/) { return false; }
  // Handles what arrived from the display; the layer calls it when asked.
  virtual void Pump() {}
  // The display's own id of the native window (0 when there is none).
  virtual unsigned long NativeId(HWND) { return 0; }
};

// The native window id of a top-level window, for tests and tools.
unsigned long GetNativeWindowId(HWND hwnd);

// X11 when DISPLAY is set and the server answers, headless otherwise.
WindowBackend* CreateX11Backend();  // nullptr without a display
WindowBackend* CreateHeadlessBackend();
