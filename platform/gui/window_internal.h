// The window layer's own records behind window handles, shared by its source
// files: the window table, geometry helpers between window, client, backing
// and screen coordinates, and the hooks between painting, input and the
// backend. Internal to platform/gui.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gdi_objects.h"
#include "platform/gui/user.h"

class WindowBackend;

namespace user_detail {

// The class of an MDI form's client window.
inline constexpr const char* kMDIClientClass = "MDICLIENT";

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HICON icon = nullptr;
};

struct Window {
  HWND hwnd = 0;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HWND parent = 0;  // children only
  HWND owner = 0;   // top-level windows only
  std::vector<HWND> children;  // bottom of the Z-order first
  TRect rect;    // parent's client coordinates, screen coordinates at the top level
  TRect client;  // window coordinates
  std::string text;
  Region update;  // client coordinates
  bool erase = false;
  bool ncUpdate = false;
  bool ncActive = false;
  bool destroyed = false;
  HBITMAP backing = nullptr;  // top-level windows only
  bool paintPosted = false;   // top-level: a paint pass is queued
  TRect dirty;                // top-level: window coordinates still to flush
  std::optional<Region> shape;  // window coordinates
  TRect normalRect;  // bounds to restore from minimized or maximized
  POINT minPosition{-1, -1}, maxPosition{-1, -1};  // as the placement record last set them
  bool restoreMaximized = false;  // minimized from the maximized state
  bool TopLevel() const { return !(style & WS_CHILD); }
};

// The live window behind a handle, or nullptr. Records of destroyed windows
// stay readable (with destroyed set) until the outermost dispatch ends, so a
// pointer held across a sent message never dangles.
Window* Find(HWND hwnd);
Window* Root(Window* w);
std::vector<Window*> TopLevelWindows();  // bottom of the Z-order first
std::vector<HWND>& SiblingList(Window* w);  // the Z-order w lives in

// Where the window's top-left corner lies in its top-level window.
POINT OriginInRoot(const Window* w);
POINT ScreenOrigin(const Window* w);
// The part of the window (or of its client area) that drawing may touch, in
// backing coordinates: clipped by ancestors, covered by higher siblings.
Region VisibleArea(const Window* w, bool clientOnly);
bool VisibleChain(const Window* w);

// Painting (window_paint.cpp).
void SchedulePaint(Window* root);
void PaintPass(Window* root);
void MarkDirty(Window* root, const TRect& windowArea);
void ResizeBacking(Window* root);
void InvalidateWindow(Window* w, const Region& clientArea, bool erase, bool frame);

// Input (window_input.cpp).
void ProcessRawInput();
void ForgetWindowInput(HWND hwnd);
void StartMoveSize(HWND hwnd, int edge);
// Caret (caret.cpp): takes the caret out of the backing bitmap before
// drawing there, and puts it back when the pass is over.
void DrawCaretIfOwnedBy(Window* root, bool visible);
void ForgetCaretOf(HWND hwnd);

// Geometry (window_geometry.cpp).
MINMAXINFO QueryMinMax(HWND hwnd);
// A window size kept within the tracking limits the window asks for.
TSize ClampToTracking(HWND hwnd, int cx, int cy);
void ApplyNativeBounds(HWND hwnd, const TRect& screenRect);

WindowBackend& Backend();

}  // namespace user_detail
