// The X server connection that the X11 backend's parts share: the display,
// cached atoms, property reads, copying pixels from our bitmaps, and telling
// the message loop when Xlib holds events that the descriptor watch cannot
// see. Only the X11 backend's sources include it.
#pragma once

#include <initializer_list>
#include <map>
#include <string>

#include "platform/gui/gdi_objects.h"

// Xlib's own Region type would hide ours.
#define Region XlibRegion
#include <X11/Xlib.h>
#undef Region

class X11Connection {
public:
  explicit X11Connection(Display* dpy);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* dpy() const { return dpy_; }
  int screen() const { return screen_; }
  Window root() const { return root_; }

  Atom GetAtom(const std::string& name);
  // The whole property as bytes (32-bit items as longs, as Xlib hands them over).
  std::string ReadProperty(Window xid, Atom property);
  // Sends a client message about a window to the root window's listeners.
  void SendToRoot(Window about, Atom type, std::initializer_list<long> data);
  // Shows area of the bitmap at the same place of the window.
  void PutPixels(Window xid, const GdiBitmap& bitmap, const TRect& area);
  void Flush();
  // Events that Xlib read while answering a request wait in its queue where
  // the descriptor watch cannot see them; the loop is asked to look.
  void SchedulePump();

private:
  Display* dpy_;
  int screen_ = 0;
  Window root_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 24;
  GC gc_ = nullptr;
  std::map<std::string, Atom> atoms_;
};
