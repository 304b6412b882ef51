// The X server connection shared by the X11 backend's parts (see x11_connection.h).

#include "platform/gui/window_backend.h"
#include "platform/gui/x11_connection.h"

#define Region XlibRegion
#include <X11/Xutil.h>
#undef Region

namespace {

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

X11Connection::X11Connection(Display* dpy) : dpy_(dpy) {
  // Requests about windows that vanished meanwhile are not worth dying for.
  XSetErrorHandler(IgnoreErrors);
  screen_ = DefaultScreen(dpy_);
  root_ = RootWindow(dpy_, screen_);
  visual_ = DefaultVisual(dpy_, screen_);
  depth_ = DefaultDepth(dpy_, screen_);
  gc_ = XCreateGC(dpy_, root_, 0, nullptr);
}

X11Connection::~X11Connection() { XCloseDisplay(dpy_); }

Atom X11Connection::GetAtom(const std::string& name) {
  auto it = atoms_.find(name);
  if (it != atoms_.end()) return it->second;
  const Atom atom = XInternAtom(dpy_, name.c_str(), False);
  SchedulePump();
  return atoms_[name] = atom;
}

std::string X11Connection::ReadProperty(Window xid, Atom property) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(dpy_, xid, property, 0, 1 << 24, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success && data) {
    out.assign(reinterpret_cast<char*>(data), count * (format == 32 ? sizeof(long) : unsigned(format / 8)));
    XFree(data);
  }
  SchedulePump();
  return out;
}

void X11Connection::SendToRoot(Window about, Atom type, std::initializer_list<long> data) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = about;
  ev.xclient.message_type = type;
  ev.xclient.format = 32;
  int i = 0;
  for (long v : data) ev.xclient.data.l[i++] = v;
  XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  Flush();
}

// Our pixels are 0x00RRGGBB in memory order, as a 24-bit TrueColor server stores them.
void X11Connection::PutPixels(Window xid, const GdiBitmap& bitmap, const TRect& area) {
  XImage* image = XCreateImage(dpy_, visual_, unsigned(depth_), ZPixmap, 0,
                               reinterpret_cast<char*>(const_cast<Pixel*>(bitmap.pixels.data())),
                               unsigned(bitmap.width), unsigned(bitmap.height), 32, bitmap.width * 4);
  XPutImage(dpy_, xid, gc_, image, area.Left, area.Top, area.Left, area.Top, unsigned(area.Width()),
            unsigned(area.Height()));
  image->data = nullptr;  // the bitmap keeps its pixels
  XDestroyImage(image);
  Flush();
}

void X11Connection::Flush() {
  XFlush(dpy_);
  SchedulePump();
}

void X11Connection::SchedulePump() {
  if (XEventsQueued(dpy_, QueuedAlready)) PostMessage(0, WM_INPUT, kBackendPump, 0);
}
