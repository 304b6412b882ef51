// Drops from other programs for the X11 backend (XDND, version 5): our
// top-level windows are marked drop-aware; while a drag passes over one, the
// source hears whether the window under the pointer takes files, and a drop
// of text/uri-list is fetched, its file:// paths decoded and handed to the
// window as WM_DROPFILES.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/gui/x11_connection.h"

class X11Dnd {
public:
  explicit X11Dnd(X11Connection& x) : x_(x) {}
  // Marks a new top-level window as a drop target.
  void MakeAware(Window xid);
  // True when the event belonged to a drag.
  bool Handle(const XEvent& ev);

private:
  void Enter(const XClientMessageEvent& m);
  void Position(const XClientMessageEvent& m);
  void Drop(const XClientMessageEvent& m);
  void Fetched(const XSelectionEvent& s);
  void Reply(Window target, const char* type, std::initializer_list<long> data);
  void Finish(bool accepted);

  X11Connection& x_;
  Window source_ = 0;   // the drag's source while one is over us
  Window target_ = 0;   // our window it is over
  bool offersUris_ = false;
  bool accept_ = false;
  long x_root_ = 0, y_root_ = 0;
};

// The local paths of a text/uri-list (file:// only, %XX decoded, UTF-8 to
// Windows-1250); comments and other schemes are skipped.
std::vector<AnsiString> FilePathsOfUriList(const std::string& list);
