// Tray icons of the X11 backend (see x11_tray.h).

#include "platform/gui/x11_tray.h"

#include <cstring>

#include "platform/gui/colors.h"
#include "platform/gui/window_backend.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/text.h"

namespace {

constexpr long kTrayIconEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                 StructureNotifyMask;
constexpr int kTrayIconSize = 22;
constexpr long kSystemTrayRequestDock = 0;
constexpr long kXEmbedMapped = 1;

}  // namespace

X11Tray::X11Tray(X11Connection& x) : x_(x) {
  selection_ = x_.GetAtom("_NET_SYSTEM_TRAY_S" + std::to_string(x_.screen()));
}

bool X11Tray::Notify(DWORD message, const NOTIFYICONDATAA& data) {
  auto it = icons_.find(data.uID);
  switch (message) {
    case NIM_ADD: {
      if (it != icons_.end()) return false;
      Icon& icon = icons_[data.uID];
      icon.data = data;
      icon.xid = CreateIconWindow();
      byXid_[icon.xid] = data.uID;
      SetTip(icon);
      return Dock(icon);
    }
    case NIM_MODIFY:
      if (it == icons_.end()) return false;
      it->second.data = data;
      SetTip(it->second);
      XClearArea(x_.dpy(), it->second.xid, 0, 0, 0, 0, True);
      x_.Flush();
      return true;
    case NIM_DELETE:
      if (it == icons_.end()) return false;
      XDestroyWindow(x_.dpy(), it->second.xid);
      byXid_.erase(it->second.xid);
      icons_.erase(it);
      x_.Flush();
      return true;
  }
  return false;
}

bool X11Tray::IconRect(UINT id, TRect& screen) {
  auto it = icons_.find(id);
  if (it == icons_.end()) return false;
  XWindowAttributes a;
  Window child;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(x_.dpy(), it->second.xid, &a) ||
      !XTranslateCoordinates(x_.dpy(), it->second.xid, x_.root(), 0, 0, &x, &y, &child))
    return false;
  screen = {x, y, x + a.width, y + a.height};
  return true;
}

bool X11Tray::Handle(const XEvent& ev) {
  if (ev.type == ClientMessage && ev.xclient.window == x_.root()) {
    if (ev.xclient.message_type != x_.GetAtom("MANAGER") || Atom(ev.xclient.data.l[1]) != selection_) return false;
    ManagerAnnounced(Window(ev.xclient.data.l[2]));
    return true;
  }
  // A manager's window is watched from the dock on: once it is gone, its id
  // may come back as another tray's, which is a new manager to dock with. A
  // window destroyed before the dock asked for the owner (the event's serial
  // is that of our last request the server had handled) was another tray's.
  if (ev.type == DestroyNotify && ev.xdestroywindow.event == ev.xdestroywindow.window) {
    bool watched = false;
    for (auto& [id, icon] : icons_)
      if (icon.manager == ev.xdestroywindow.window && ev.xany.serial >= icon.askedSerial) {
        icon.manager = None;
        watched = true;
      }
    if (watched) return true;
  }
  auto it = byXid_.find(ev.xany.window);
  if (it == byXid_.end()) return false;
  Icon& icon = icons_[it->second];
  switch (ev.type) {
    case Expose: if (ev.xexpose.count == 0) Paint(icon); break;
    case ButtonPress: Button(icon, ev.xbutton, true); break;
    case ButtonRelease: Button(icon, ev.xbutton, false); break;
    case MotionNotify: Callback(icon, WM_MOUSEMOVE); break;
  }
  return true;
}

// A new manager gets every icon and the windows hear "TaskbarCreated", so the
// icons' owners add them anew. A tray that started while icons were being
// added announces itself after they already asked it to dock them; doing it
// all again would swap the icons' windows and close an open balloon.
void X11Tray::ManagerAnnounced(Window manager) {
  bool newManager = icons_.empty();
  for (auto& [id, icon] : icons_)
    if (icon.manager != manager) {
      Dock(icon);
      newManager = true;
    }
  if (newManager) BroadcastTaskbarCreated();
}

Window X11Tray::CreateIconWindow() {
  XSetWindowAttributes a;
  a.event_mask = kTrayIconEvents;
  a.background_pixel = ColorToPixel(GetSysColor(COLOR_BTNFACE));
  const Window xid = XCreateWindow(x_.dpy(), x_.root(), 0, 0, kTrayIconSize, kTrayIconSize, 0, CopyFromParent,
                                   InputOutput, CopyFromParent, CWEventMask | CWBackPixel, &a);
  // A tray that embeds through a socket sizes the icon from its size hints
  // (WM_NORMAL_HINTS: flags, then the fields in the protocol's order);
  // without them it gives the icon one pixel.
  constexpr long kUserSize = 1L << 1, kProgramSize = 1L << 3, kMinSize = 1L << 4, kBaseSize = 1L << 8;
  long hints[18] = {kUserSize | kProgramSize | kMinSize | kBaseSize};
  hints[3] = hints[5] = hints[15] = kTrayIconSize;  // width, min width, base width
  hints[4] = hints[6] = hints[16] = kTrayIconSize;  // height, min height, base height
  XChangeProperty(x_.dpy(), xid, x_.GetAtom("WM_NORMAL_HINTS"), x_.GetAtom("WM_SIZE_HINTS"), 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 18);
  long info[2] = {0, kXEmbedMapped};
  const Atom xembedInfo = x_.GetAtom("_XEMBED_INFO");
  XChangeProperty(x_.dpy(), xid, xembedInfo, xembedInfo, 32, PropModeReplace, reinterpret_cast<unsigned char*>(info),
                  2);
  return xid;
}

void X11Tray::SetTip(const Icon& icon) {
  // The tip holds at most 63 characters, whether or not the caller ended it with a NUL.
  const char* tip = icon.data.szTip;
  const std::string text =
      (icon.data.uFlags & NIF_TIP) ? std::string(tip, strnlen(tip, sizeof icon.data.szTip - 1)) : "";
  const std::string utf8 = AnsiToUtf8(text);
  XChangeProperty(x_.dpy(), icon.xid, x_.GetAtom("_NET_WM_NAME"), x_.GetAtom("UTF8_STRING"), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
}

bool X11Tray::Dock(Icon& icon) {
  icon.askedSerial = NextRequest(x_.dpy());
  const Window manager = XGetSelectionOwner(x_.dpy(), selection_);
  x_.SchedulePump();
  icon.manager = manager;
  if (manager == None) return false;
  XSelectInput(x_.dpy(), manager, StructureNotifyMask);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = manager;
  ev.xclient.message_type = x_.GetAtom("_NET_SYSTEM_TRAY_OPCODE");
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = CurrentTime;
  ev.xclient.data.l[1] = kSystemTrayRequestDock;
  ev.xclient.data.l[2] = long(icon.xid);
  XSendEvent(x_.dpy(), manager, False, NoEventMask, &ev);
  x_.Flush();
  return true;
}

void X11Tray::Paint(const Icon& icon) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(x_.dpy(), icon.xid, &attributes)) return;
  HBITMAP bitmap = CreateBitmap(attributes.width, attributes.height, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  RECT all{0, 0, attributes.width, attributes.height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  if (icon.data.hIcon) DrawIconEx(dc, 0, 0, icon.data.hIcon, attributes.width, attributes.height, 0, nullptr, DI_NORMAL);
  DeleteDC(dc);
  x_.PutPixels(icon.xid, *bitmap, all);
  DeleteObject(bitmap);
}

void X11Tray::Button(Icon& icon, const XButtonEvent& b, bool press) {
  if (b.button > Button3) return;
  const int button = b.button == Button3 ? VK_RBUTTON : b.button == Button2 ? VK_MBUTTON : VK_LBUTTON;
  int phase = press ? 0 : 1;  // down, up, double click
  if (press) {
    const std::uint32_t now = GetTickCount();
    const bool dbl = icon.lastButton == button && now - icon.lastTime <= kDoubleClickTimeMs;
    phase = dbl ? 2 : 0;
    icon.lastButton = dbl ? 0 : button;
    icon.lastTime = now;
  }
  // The pointer is over a window of the tray, not ours: the layer learns its
  // place here, so a menu the press opens appears under it.
  RawInput move;
  move.screen = {b.x_root, b.y_root};
  QueueRawInput(move);
  const UINT base = button == VK_RBUTTON ? WM_RBUTTONDOWN : button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  Callback(icon, base + UINT(phase));
}

void X11Tray::Callback(const Icon& icon, UINT mouseMessage) {
  if (icon.data.uFlags & NIF_MESSAGE)
    PostMessage(icon.data.hWnd, icon.data.uCallbackMessage, icon.data.uID, LPARAM(mouseMessage));
}
