// Helpers shared by the tests against a real X server: a fixture holding
// the display with a pointer click, pumping the message loop until
// something happened, a keycode free for remapping to any character,
// reading a window property, another program's side of a clipboard request,
// and a tray manager.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/rtl/message_loop.h"

// Xlib's Region and Screen types would clash with the platform's names.
#define Region XlibRegion
#define Screen XlibScreen
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef Region
#undef Screen

// A test with its own connection to the X server the tests run against.
class XDisplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests need an X server";
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
  }
  void TearDown() override {
    if (dpy_) XCloseDisplay(dpy_);
  }
  // A left click at the screen point, through the server's test extension.
  void Click(int x, int y) {
    XTestFakeMotionEvent(dpy_, -1, x, y, 0);
    XTestFakeButtonEvent(dpy_, 1, True, 0);
    XTestFakeButtonEvent(dpy_, 1, False, 0);
    XFlush(dpy_);
  }
  Display* dpy_ = nullptr;
};

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

// A tray manager as the desktop runs one: owns the selection, announces
// itself on the root window and embeds the icons that ask to dock.
class FakeTrayManager {
public:
  explicit FakeTrayManager(Display* dpy) : dpy_(dpy) {
    const Window root = DefaultRootWindow(dpy);
    selection_ = XInternAtom(dpy, ("_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(dpy))).c_str(), False);
    opcode_ = XInternAtom(dpy, "_NET_SYSTEM_TRAY_OPCODE", False);
    tray_ = XCreateSimpleWindow(dpy, root, kX, kY, 22, 22, 0, 0, 0);
    XMapWindow(dpy, tray_);
    Announce();
  }
  void Announce() {
    XSetSelectionOwner(dpy_, selection_, tray_, CurrentTime);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = DefaultRootWindow(dpy_);
    ev.xclient.message_type = XInternAtom(dpy_, "MANAGER", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = long(selection_);
    ev.xclient.data.l[2] = long(tray_);
    XSendEvent(dpy_, DefaultRootWindow(dpy_), False, StructureNotifyMask, &ev);
    XFlush(dpy_);
  }
  // The icon window of the next dock request, 0 when none came.
  Window TakeDockRequest() {
    Window icon = 0;
    PumpUntil([&] {
      XEvent ev;
      while (XCheckTypedWindowEvent(dpy_, tray_, ClientMessage, &ev))
        if (ev.xclient.message_type == opcode_ && ev.xclient.data.l[1] == 0) icon = Window(ev.xclient.data.l[2]);
      return icon != 0;
    });
    return icon;
  }
  void Embed(Window icon) {
    XReparentWindow(dpy_, icon, tray_, 0, 0);
    XMapWindow(dpy_, icon);
    XSync(dpy_, False);
  }
  static constexpr int kX = 700, kY = 10;

private:
  Display* dpy_;
  Atom selection_ = 0;
  Atom opcode_ = 0;
  Window tray_ = 0;
};
