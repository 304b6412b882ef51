// The X11 backend: one undecorated X window per top-level window, filled from
// its backing bitmap on expose and after painting, shaped with XShape; pointer
// and keys turned into raw input; the window manager's move and size when it
// offers _NET_WM_MOVERESIZE (else the layer's own loop with the pointer
// grabbed); skip-taskbar through _NET_WM_STATE; the clipboard, the tray
// icons and dropped files in their own parts.

#include <poll.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/gui/user.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/x11_clipboard.h"
#include "platform/gui/x11_connection.h"
#include "platform/gui/x11_dnd.h"
#include "platform/gui/x11_keys.h"
#include "platform/gui/x11_tray.h"
#include "platform/rtl/text.h"

#define Region XlibRegion
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef Region

namespace {

constexpr long kWindowEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               KeyPressMask | KeyReleaseMask | StructureNotifyMask;
constexpr int kWheelStep = 120;
// Another instance asks the window to come back (restore or raise).
constexpr char kActivateRequest[] = "_VX_ACTIVATE";
constexpr long kMoveResizeMove = 8;
// _NET_WM_MOVERESIZE directions for the sizing edges 1-8 (left, right, top,
// top-left, top-right, bottom, bottom-left, bottom-right).
constexpr long kMoveResizeEdge[9] = {kMoveResizeMove, 7, 3, 1, 0, 2, 5, 6, 4};

struct Native {
  Window xid = 0;
  TRect bounds;          // where the program put it
  TSize min{}, max{};    // the size limits; none while max is 0
  bool mapped = false;
  int pendingConfigures = 0;  // our own requests whose notifications are still to come
};

class X11Backend : public WindowBackend {
public:
  explicit X11Backend(Display* dpy) : x_(dpy), dpy_(dpy), tray_(x_), clipboard_(x_), dnd_(x_) {
    XSelectInput(dpy_, x_.root(), StructureNotifyMask);
    // Held keys repeat as presses without releases, so repeats are told apart.
    XkbSetDetectableAutoRepeat(dpy_, True, nullptr);
    watch_ = AddFdWatch(ConnectionNumber(dpy_), POLLIN, [this](int, short) { Pump(); });
    x_.Flush();
  }
  ~X11Backend() override { RemoveFdWatch(watch_); }

  TSize ScreenSize() override { return {DisplayWidth(dpy_, x_.screen()), DisplayHeight(dpy_, x_.screen())}; }

  void Create(HWND hwnd, const TRect& r, DWORD style, DWORD) override {
    XSetWindowAttributes a;
    a.event_mask = kWindowEvents;
    a.background_pixmap = None;
    a.bit_gravity = NorthWestGravity;
    // Popups without a frame (menus, hints) are placed by us, not by the window manager.
    a.override_redirect = (style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME));
    const Window xid = XCreateWindow(dpy_, x_.root(), r.Left, r.Top, unsigned(std::max(r.Width(), 1)),
                                     unsigned(std::max(r.Height(), 1)), 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWEventMask | CWBackPixmap | CWBitGravity | CWOverrideRedirect, &a);
    long motif[5] = {2, 0, 0, 0, 0};  // decorations: none
    const Atom motifHints = x_.GetAtom("_MOTIF_WM_HINTS");
    XChangeProperty(dpy_, xid, motifHints, motifHints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(motif), 5);
    SetClass(hwnd, xid);
    Atom deleteWindow = x_.GetAtom("WM_DELETE_WINDOW");
    XSetWMProtocols(dpy_, xid, &deleteWindow, 1);
    dnd_.MakeAware(xid);
    windows_[hwnd].xid = xid;
    byXid_[xid] = hwnd;
    windows_[hwnd].bounds = r;
    SetSizeHints(windows_[hwnd]);
    x_.Flush();
  }

  // WM_CLASS carries the layer's class name, so other programs can find the window.
  void SetClass(HWND hwnd, Window xid) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    XClassHint hint{name, name};
    XSetClassHint(dpy_, xid, &hint);
  }

  bool ActivateForeign(const std::string& className, const std::string& title) override {
    Window rootReturn, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy_, x_.root(), &rootReturn, &parent, &children, &count)) return false;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
      if (byXid_.count(children[i])) continue;
      XClassHint hint{};
      if (!XGetClassHint(dpy_, children[i], &hint)) continue;
      const bool sameClass = hint.res_class && className == hint.res_class;
      XFree(hint.res_name);
      XFree(hint.res_class);
      if (sameClass && x_.ReadProperty(children[i], x_.GetAtom("_NET_WM_NAME")) == title) found = children[i];
    }
    if (children) XFree(children);
    if (!found) return false;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = found;
    ev.xclient.message_type = x_.GetAtom(kActivateRequest);
    ev.xclient.format = 32;
    XSendEvent(dpy_, found, False, NoEventMask, &ev);
    x_.Flush();
    return true;
  }

  void Destroy(HWND hwnd) override {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    XDestroyWindow(dpy_, it->second.xid);
    byXid_.erase(it->second.xid);
    windows_.erase(it);
    x_.Flush();
  }

  void SetBounds(HWND hwnd, const TRect& r) override {
    Native* n = Find(hwnd);
    if (!n) return;
    ++n->pendingConfigures;
    XMoveResizeWindow(dpy_, n->xid, r.Left, r.Top, unsigned(std::max(r.Width(), 1)), unsigned(std::max(r.Height(), 1)));
    n->bounds = r;
    SetSizeHints(*n);
    x_.Flush();
  }

  void SetSizeLimits(HWND hwnd, TSize min, TSize max) override {
    Native* n = Find(hwnd);
    if (!n || (n->min == min && n->max == max)) return;
    n->min = min, n->max = max;
    SetSizeHints(*n);
    x_.Flush();
  }

  void SetVisible(HWND hwnd, bool visible) override {
    Native* n = Find(hwnd);
    if (!n) return;
    if (visible) XMapRaised(dpy_, n->xid);
    else XUnmapWindow(dpy_, n->xid);
    x_.Flush();
  }

  void SetIconic(HWND hwnd, bool iconic) override {
    Native* n = Find(hwnd);
    if (!n) return;
    // Without a window manager nobody would iconify it: a minimized window is just not shown.
    if (iconic && HasWindowManager()) XIconifyWindow(dpy_, n->xid, x_.screen());
    else if (iconic) XUnmapWindow(dpy_, n->xid);
    else XMapRaised(dpy_, n->xid);
    x_.Flush();
  }

  void Activate(HWND hwnd) override {
    Native* n = Find(hwnd);
    if (!n) return;
    XRaiseWindow(dpy_, n->xid);
    if (n->mapped) XSetInputFocus(dpy_, n->xid, RevertToParent, CurrentTime);
    x_.Flush();
  }

  void SetTitle(HWND hwnd, const std::string& text) override {
    Native* n = Find(hwnd);
    if (!n) return;
    const std::string utf8 = AnsiToUtf8(text);
    for (const char* name : {"_NET_WM_NAME", "WM_NAME"})
      XChangeProperty(dpy_, n->xid, x_.GetAtom(name), x_.GetAtom("UTF8_STRING"), 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    x_.Flush();
  }

  void SetShape(HWND hwnd, const Region* shape) override {
    Native* n = Find(hwnd);
    if (!n) return;
    if (!shape) {
      XShapeCombineMask(dpy_, n->xid, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
      std::vector<XRectangle> rects;
      for (const TRect& r : shape->Rects())
        rects.push_back({short(r.Left), short(r.Top), static_cast<unsigned short>(r.Width()),
                         static_cast<unsigned short>(r.Height())});
      XShapeCombineRectangles(dpy_, n->xid, ShapeBounding, 0, 0, rects.data(), int(rects.size()), ShapeSet,
                              YXBanded);
    }
    x_.Flush();
  }

  void SetSkipTaskbar(HWND hwnd, bool skip) override {
    Native* n = Find(hwnd);
    if (!n) return;
    const Atom state = x_.GetAtom("_NET_WM_STATE"), skipAtom = x_.GetAtom("_NET_WM_STATE_SKIP_TASKBAR");
    if (skip) XChangeProperty(dpy_, n->xid, state, XA_ATOM, 32, PropModeReplace,
                              reinterpret_cast<const unsigned char*>(&skipAtom), 1);
    else XDeleteProperty(dpy_, n->xid, state);
    if (n->mapped) x_.SendToRoot(n->xid, state, {skip ? 1 : 0, long(skipAtom), 0, 1, 0});
    x_.Flush();
  }

  bool ShowPanels(bool show) override {
    if (show) {
      for (Window panel : hiddenPanels_) XMapWindow(dpy_, panel);
    } else {
      for (Window panel : Panels())
        if (std::find(hiddenPanels_.begin(), hiddenPanels_.end(), panel) == hiddenPanels_.end()) {
          XUnmapWindow(dpy_, panel);
          hiddenPanels_.push_back(panel);
        }
    }
    const bool any = !hiddenPanels_.empty();
    if (show) hiddenPanels_.clear();
    x_.Flush();
    return any;
  }

  void SetCursor(int cursorId) override {
    const Cursor cursor = CursorFor(cursorId);
    for (auto& [hwnd, n] : windows_) XDefineCursor(dpy_, n.xid, cursor);
    x_.Flush();
  }

  void SetCursorPos(POINT p) override {
    XWarpPointer(dpy_, None, x_.root(), 0, 0, 0, 0, p.X, p.Y);
    x_.Flush();
  }

  void Flush(HWND hwnd, const GdiBitmap& backing, const TRect& area) override {
    Native* n = Find(hwnd);
    if (n && area.Width() > 0 && area.Height() > 0) x_.PutPixels(n->xid, backing, area);
  }

  bool StartSystemMoveSize(HWND hwnd, int edge, POINT p) override {
    Native* n = Find(hwnd);
    if (!n || !WindowManagerSupports("_NET_WM_MOVERESIZE")) return false;
    XUngrabPointer(dpy_, CurrentTime);
    x_.SendToRoot(n->xid, x_.GetAtom("_NET_WM_MOVERESIZE"), {p.X, p.Y, kMoveResizeEdge[edge & 0xF], 1, 1});
    return true;
  }

  void GrabPointer(HWND hwnd, bool grab) override {
    Native* n = Find(hwnd);
    if (grab && n)
      XGrabPointer(dpy_, n->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                   GrabModeAsync, None, None, CurrentTime);
    else if (!grab)
      XUngrabPointer(dpy_, CurrentTime);
    x_.Flush();
  }

  bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override { return tray_.Notify(message, data); }
  bool TrayIconRect(UINT id, TRect& screen) override { return tray_.IconRect(id, screen); }
  void SetClipboard(const std::string& text) override { clipboard_.Set(text); }
  std::string GetClipboard() override { return clipboard_.Get(); }

  unsigned long NativeId(HWND hwnd) override {
    Native* n = Find(hwnd);
    return n ? n->xid : 0;
  }

  void Pump() override {
    while (XPending(dpy_)) {
      XEvent ev;
      XNextEvent(dpy_, &ev);
      Handle(ev);
    }
  }

private:
  Native* Find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
  }

  HWND HwndOf(Window xid) {
    auto it = byXid_.find(xid);
    return it == byXid_.end() ? 0 : it->second;
  }

  // WM_NORMAL_HINTS: the program's position and size, and the size limits.
  void SetSizeHints(const Native& n) {
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    const TRect& r = n.bounds;
    hints.x = r.Left, hints.y = r.Top, hints.width = r.Width(), hints.height = r.Height();
    if (n.max.cx > 0 && n.max.cy > 0) {
      hints.flags |= PMinSize | PMaxSize;
      hints.min_width = std::max(n.min.cx, 1), hints.min_height = std::max(n.min.cy, 1);
      hints.max_width = n.max.cx, hints.max_height = n.max.cy;
    }
    XSetWMNormalHints(dpy_, n.xid, &hints);
  }

  // Other programs' shown windows of the dock type, found among the top-level
  // windows and in the window manager's list of the windows it manages.
  std::vector<Window> Panels() {
    std::vector<Window> candidates;
    Window rootReturn, parent, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(dpy_, x_.root(), &rootReturn, &parent, &children, &count)) candidates.assign(children, children + count);
    if (children) XFree(children);
    const std::string managed = x_.ReadProperty(x_.root(), x_.GetAtom("_NET_CLIENT_LIST"));
    for (size_t i = 0; i + sizeof(long) <= managed.size(); i += sizeof(long))
      candidates.push_back(Window(*reinterpret_cast<const long*>(managed.data() + i)));
    const Atom type = x_.GetAtom("_NET_WM_WINDOW_TYPE"), dock = x_.GetAtom("_NET_WM_WINDOW_TYPE_DOCK");
    std::vector<Window> panels;
    for (Window w : candidates) {
      if (byXid_.count(w) || std::find(panels.begin(), panels.end(), w) != panels.end()) continue;
      XWindowAttributes a{};
      if (!XGetWindowAttributes(dpy_, w, &a) || a.map_state == IsUnmapped) continue;
      const std::string types = x_.ReadProperty(w, type);
      for (size_t i = 0; i + sizeof(long) <= types.size(); i += sizeof(long))
        if (*reinterpret_cast<const long*>(types.data() + i) == long(dock)) panels.push_back(w);
    }
    return panels;
  }

  bool HasWindowManager() {
    return x_.ReadProperty(x_.root(), x_.GetAtom("_NET_SUPPORTING_WM_CHECK")).size() >= sizeof(long);
  }

  bool WindowManagerSupports(const char* feature) {
    if (!HasWindowManager()) return false;
    const std::string supported = x_.ReadProperty(x_.root(), x_.GetAtom("_NET_SUPPORTED"));
    const Atom wanted = x_.GetAtom(feature);
    for (size_t i = 0; i + sizeof(long) <= supported.size(); i += sizeof(long))
      if (*reinterpret_cast<const long*>(supported.data() + i) == long(wanted)) return true;
    return false;
  }

  Cursor CursorFor(int id) {
    if (id == 0) return None;
    auto it = cursors_.find(id);
    if (it != cursors_.end()) return it->second;
    unsigned shape = XC_left_ptr;
    switch (id) {
      case 32513: shape = XC_xterm; break;
      case 32514: shape = XC_watch; break;
      case 32515: shape = XC_crosshair; break;
      case 32642: shape = XC_bottom_right_corner; break;
      case 32643: shape = XC_bottom_left_corner; break;
      case 32644: shape = XC_sb_h_double_arrow; break;
      case 32645: shape = XC_sb_v_double_arrow; break;
      case 32646: shape = XC_fleur; break;
      case 32648: shape = XC_X_cursor; break;
      case 32649: shape = XC_hand2; break;
    }
    return cursors_[id] = XCreateFontCursor(dpy_, shape);
  }

  // --- events ---------------------------------------------------------------------------------

  void QueuePointer(RawInput::Kind kind, const XButtonEvent& b) {
    RawInput input;
    input.kind = kind;
    input.screen = {b.x_root, b.y_root};
    if (b.button == Button4 || b.button == Button5) {
      if (kind == RawInput::ButtonUp) return;
      input.kind = RawInput::Wheel;
      input.wheelDelta = b.button == Button4 ? kWheelStep : -kWheelStep;
    } else {
      input.button = b.button == Button3 ? VK_RBUTTON : b.button == Button2 ? VK_MBUTTON : VK_LBUTTON;
    }
    QueueRawInput(input);
  }

  // AltGr reaches programs as Ctrl and Alt together, so what it types stays
  // ordinary characters and never becomes a menu shortcut.
  void QueueAltGr(bool down) {
    RawInput input;
    input.kind = down ? RawInput::KeyDown : RawInput::KeyUp;
    const int order[2] = {down ? VK_CONTROL : VK_MENU, down ? VK_MENU : VK_CONTROL};
    for (int vk : order) {
      input.virtualKey = vk;
      QueueRawInput(input);
    }
  }

  void QueueKey(XKeyEvent& k, bool down) {
    if (XLookupKeysym(&k, 0) == XK_ISO_Level3_Shift) return QueueAltGr(down);
    RawInput input;
    input.kind = down ? RawInput::KeyDown : RawInput::KeyUp;
    // The first symbol of the key that names a virtual key gives it, so the
    // number row of a national layout still reports its digits.
    for (int level = 0; level < 4 && !input.virtualKey; ++level)
      input.virtualKey = KeysymToVirtualKey(XLookupKeysym(&k, level));
    if (!input.virtualKey) input.virtualKey = VK_PACKET;
    if (down) {
      char buffer[8];
      KeySym typed = NoSymbol;
      const int n = XLookupString(&k, buffer, sizeof buffer, &typed, nullptr);
      input.chars = KeysymToAnsi(typed);
      if (n == 1 && static_cast<unsigned char>(buffer[0]) < 0x20) input.chars.assign(1, buffer[0]);
      if ((k.state & ControlMask) && input.chars.size() == 1 && input.chars[0] >= 0x20) input.chars.clear();
    }
    QueueRawInput(input);
  }

  void Configured(HWND hwnd, const XConfigureEvent& c) {
    Native* n = Find(hwnd);
    if (!n) return;
    if (!c.send_event && n->pendingConfigures > 0) {
      --n->pendingConfigures;
      return;
    }
    int x = c.x, y = c.y;
    if (!c.send_event) {
      Window child;
      XTranslateCoordinates(dpy_, n->xid, x_.root(), 0, 0, &x, &y, &child);
      x_.SchedulePump();
    }
    NativeWindowConfigured(hwnd, Bounds(x, y, c.width, c.height));
  }

  void Handle(XEvent& ev) {
    if (tray_.Handle(ev) || clipboard_.Handle(ev) || dnd_.Handle(ev)) return;
    if (ev.type == MappingNotify) {
      XRefreshKeyboardMapping(&ev.xmapping);
      return;
    }
    const HWND hwnd = HwndOf(ev.xany.window);
    if (!hwnd) return;
    switch (ev.type) {
      case Expose:
        NativeWindowExposed(hwnd, Bounds(ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height));
        break;
      case ConfigureNotify: Configured(hwnd, ev.xconfigure); break;
      case MapNotify:
        Find(hwnd)->mapped = true;
        if (GetActiveWindow() == hwnd) Activate(hwnd);  // focus can only go to a mapped window
        break;
      case UnmapNotify: Find(hwnd)->mapped = false; break;
      case ButtonPress: QueuePointer(RawInput::ButtonDown, ev.xbutton); break;
      case ButtonRelease: QueuePointer(RawInput::ButtonUp, ev.xbutton); break;
      case MotionNotify: {
        RawInput input;
        input.screen = {ev.xmotion.x_root, ev.xmotion.y_root};
        QueueRawInput(input);
        break;
      }
      case KeyPress: QueueKey(ev.xkey, true); break;
      case KeyRelease: QueueKey(ev.xkey, false); break;
      case ClientMessage:
        if (ev.xclient.message_type == x_.GetAtom(kActivateRequest)) NativeWindowActivateRequested(hwnd);
        else if (Atom(ev.xclient.data.l[0]) == x_.GetAtom("WM_DELETE_WINDOW")) NativeWindowCloseRequested(hwnd);
        break;
    }
  }

  X11Connection x_;
  Display* dpy_;
  X11Tray tray_;
  X11Clipboard clipboard_;
  X11Dnd dnd_;
  int watch_ = 0;
  std::map<HWND, Native> windows_;
  std::map<Window, HWND> byXid_;
  std::vector<Window> hiddenPanels_;  // the panels ShowPanels(false) hid
  std::map<int, Cursor> cursors_;
};

}  // namespace

WindowBackend* CreateX11Backend() {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return nullptr;
  int eventBase, errorBase;
  if (!XShapeQueryExtension(dpy, &eventBase, &errorBase)) {
    XCloseDisplay(dpy);
    return nullptr;
  }
  return new X11Backend(dpy);
}
