// Helpers shared by the tests against a real X server: pumping the message
// loop until something happened, a keycode free for remapping to any
// character, reading a window property, and another program's side of a
// clipboard request.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/rtl/message_loop.h"

// Xlib's Region and Screen types would clash with the platform's names.
#define Region XlibRegion
#define Screen XlibScreen
#include <X11/Xlib.h>
#undef Region
#undef Screen

// Runs the message loop until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    ProcessMessagesFor(10);
  }
  return true;
}

// The highest keycode without any symbol.
inline KeyCode SpareKeycode(Display* dpy) {
  int min = 0, max = 0, perCode = 0;
  XDisplayKeycodes(dpy, &min, &max);
  KeySym* map = XGetKeyboardMapping(dpy, KeyCode(min), max - min + 1, &perCode);
  KeyCode spare = 0;
  for (int code = max; code >= min && !spare; --code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i) empty = empty && map[(code - min) * perCode + i] == NoSymbol;
    if (empty) spare = KeyCode(code);
  }
  XFree(map);
  return spare;
}

// A window property's bytes; empty when it cannot be read.
inline std::string ReadProperty(Display* dpy, Window w, Atom property) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(dpy, w, property, 0, 1 << 20, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success && data) {
    out.assign(reinterpret_cast<char*>(data), count * unsigned(format == 32 ? sizeof(long) : format / 8));
    XFree(data);
  }
  return out;
}

// Plays another program that owns a selection with `owner`: answers the
// first request for it (within three seconds) with utf8Text as UTF8_STRING.
inline std::thread AnswerSelectionRequest(Display* dpy, Window owner, const std::string& utf8Text) {
  return std::thread([dpy, owner, utf8Text] {
    XEvent request;
    for (int i = 0; i < 600 && !XCheckTypedWindowEvent(dpy, owner, SelectionRequest, &request); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const XSelectionRequestEvent& r = request.xselectionrequest;
    XChangeProperty(dpy, r.requestor, r.property, XInternAtom(dpy, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8Text.data()), int(utf8Text.size()));
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.property = r.property;
    XSendEvent(dpy, r.requestor, False, NoEventMask, &reply);
    XFlush(dpy);
  });
}
