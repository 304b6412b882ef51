// The CLIPBOARD selection of the X11 backend: our text is offered as UTF-8
// from a helper window, another program's text is fetched as UTF-8 and comes
// back in Windows-1250.
#pragma once

#include <string>

#include "platform/gui/x11_connection.h"

class X11Clipboard {
public:
  explicit X11Clipboard(X11Connection& x);
  void Set(const std::string& text);
  // Waits up to a second for the owner's answer; empty without one.
  std::string Get();
  // True when the event belonged to the clipboard.
  bool Handle(const XEvent& ev);

private:
  void Answer(const XSelectionRequestEvent& request);

  X11Connection& x_;
  Window helper_ = 0;  // owns the selection while the text is ours
  std::string text_;
};
