// Helpers shared by the tests against a real X server: pumping the message
// loop until something happened, a keycode free for remapping to any
// character, and reading a window property.
#pragma once

#include <chrono>
#include <functional>
#include <string>

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
