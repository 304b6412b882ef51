// The X11 backend: one undecorated X window per top-level window, filled from
// its backing bitmap on expose and after painting, shaped with XShape; pointer
// and keys turned into raw input; the window manager's move and size when it
// offers _NET_WM_MOVERESIZE (else the layer's own loop with the pointer
// grabbed); skip-taskbar through _NET_WM_STATE; the CLIPBOARD selection; and
// tray icons that dock with the freedesktop tray manager over XEmbed, docking
// again whenever a new manager announces itself.

#include <poll.h>

#include <cstring>
#include <map>
#include <vector>

#include "platform/gui/colors.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/x11_keys.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/text.h"

// Xlib's own Region type would hide ours.
#define Region XlibRegion
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#undef Region

namespace {

constexpr long kWindowEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               KeyPressMask | KeyReleaseMask | StructureNotifyMask;
constexpr long kTrayIconEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                 StructureNotifyMask;
constexpr int kTrayIconSize = 22;
constexpr long kSystemTrayRequestDock = 0;
constexpr long kXEmbedMapped = 1;
constexpr int kClipboardWaitMs = 1000;
constexpr int kWheelStep = 120;
constexpr long kMoveResizeMove = 8;
// _NET_WM_MOVERESIZE directions for the sizing edges 1-8 (left, right, top,
// top-left, top-right, bottom, bottom-left, bottom-right).
constexpr long kMoveResizeEdge[9] = {kMoveResizeMove, 7, 3, 1, 0, 2, 5, 6, 4};

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

struct Native {
  Window xid = 0;
  bool mapped = false;
  int pendingConfigures = 0;  // our own requests whose notifications are still to come
};

struct TrayIcon {
  Window xid = 0;
  NOTIFYICONDATAA data;
  int lastButton = 0;
  std::uint32_t lastTime = 0;
};

class X11Backend : public WindowBackend {
public:
  explicit X11Backend(Display* dpy) : dpy_(dpy) {
    XSetErrorHandler(IgnoreErrors);
    screen_ = DefaultScreen(dpy_);
    root_ = RootWindow(dpy_, screen_);
    visual_ = DefaultVisual(dpy_, screen_);
    depth_ = DefaultDepth(dpy_, screen_);
    gc_ = XCreateGC(dpy_, root_, 0, nullptr);
    XSelectInput(dpy_, root_, StructureNotifyMask);
    // Held keys repeat as presses without releases, so repeats are told apart.
    XkbSetDetectableAutoRepeat(dpy_, True, nullptr);
    helper_ = XCreateSimpleWindow(dpy_, root_, -10, -10, 1, 1, 0, 0, 0);
    trayAtom_ = Atom_("_NET_SYSTEM_TRAY_S" + std::to_string(screen_));
    watch_ = AddFdWatch(ConnectionNumber(dpy_), POLLIN, [this](int, short) { Pump(); });
    Flushed();
  }
  ~X11Backend() override {
    RemoveFdWatch(watch_);
    XCloseDisplay(dpy_);
  }

  TSize ScreenSize() override { return {DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_)}; }

  void Create(HWND hwnd, const TRect& r, DWORD style, DWORD) override {
    XSetWindowAttributes a;
    a.event_mask = kWindowEvents;
    a.background_pixmap = None;
    a.bit_gravity = NorthWestGravity;
    // Popups without a frame (menus, hints) are placed by us, not by the window manager.
    a.override_redirect = (style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME));
    const Window xid = XCreateWindow(dpy_, root_, r.Left, r.Top, unsigned(std::max(r.Width(), 1)),
                                     unsigned(std::max(r.Height(), 1)), 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWEventMask | CWBackPixmap | CWBitGravity | CWOverrideRedirect, &a);
    long motif[5] = {2, 0, 0, 0, 0};  // decorations: none
    XChangeProperty(dpy_, xid, Atom_("_MOTIF_WM_HINTS"), Atom_("_MOTIF_WM_HINTS"), 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
    Atom deleteWindow = Atom_("WM_DELETE_WINDOW");
    XSetWMProtocols(dpy_, xid, &deleteWindow, 1);
    windows_[hwnd].xid = xid;
    byXid_[xid] = hwnd;
    SetPositionHints(xid, r);
    Flushed();
  }

  void Destroy(HWND hwnd) override {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    XDestroyWindow(dpy_, it->second.xid);
    byXid_.erase(it->second.xid);
    windows_.erase(it);
    Flushed();
  }

  void SetBounds(HWND hwnd, const TRect& r) override {
    Native* n = Find(hwnd);
    if (!n) return;
    ++n->pendingConfigures;
    XMoveResizeWindow(dpy_, n->xid, r.Left, r.Top, unsigned(std::max(r.Width(), 1)), unsigned(std::max(r.Height(), 1)));
    SetPositionHints(n->xid, r);
    Flushed();
  }

  void SetVisible(HWND hwnd, bool visible) override {
    Native* n = Find(hwnd);
    if (!n) return;
    if (visible) XMapRaised(dpy_, n->xid);
    else XUnmapWindow(dpy_, n->xid);
    Flushed();
  }

  void SetIconic(HWND hwnd, bool iconic) override {
    Native* n = Find(hwnd);
    if (!n) return;
    // Without a window manager nobody would iconify it: a minimized window is just not shown.
    if (iconic && HasWindowManager()) XIconifyWindow(dpy_, n->xid, screen_);
    else if (iconic) XUnmapWindow(dpy_, n->xid);
    else XMapRaised(dpy_, n->xid);
    Flushed();
  }

  void Activate(HWND hwnd) override {
    Native* n = Find(hwnd);
    if (!n) return;
    XRaiseWindow(dpy_, n->xid);
    if (n->mapped) XSetInputFocus(dpy_, n->xid, RevertToParent, CurrentTime);
    Flushed();
  }

  void SetTitle(HWND hwnd, const std::string& text) override {
    Native* n = Find(hwnd);
    if (!n) return;
    const std::string utf8 = AnsiToUtf8(text);
    for (const char* name : {"_NET_WM_NAME", "WM_NAME"})
      XChangeProperty(dpy_, n->xid, Atom_(name), Atom_("UTF8_STRING"), 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    Flushed();
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
    Flushed();
  }

  void SetSkipTaskbar(HWND hwnd, bool skip) override {
    Native* n = Find(hwnd);
    if (!n) return;
    const Atom state = Atom_("_NET_WM_STATE"), skipAtom = Atom_("_NET_WM_STATE_SKIP_TASKBAR");
    if (skip) XChangeProperty(dpy_, n->xid, state, XA_ATOM, 32, PropModeReplace,
                              reinterpret_cast<const unsigned char*>(&skipAtom), 1);
    else XDeleteProperty(dpy_, n->xid, state);
    if (n->mapped) SendToRoot(n->xid, state, {skip ? 1 : 0, long(skipAtom), 0, 1, 0});
    Flushed();
  }

  void SetCursor(int cursorId) override {
    const Cursor cursor = CursorFor(cursorId);
    for (auto& [hwnd, n] : windows_) XDefineCursor(dpy_, n.xid, cursor);
    Flushed();
  }

  void SetCursorPos(POINT p) override {
    XWarpPointer(dpy_, None, root_, 0, 0, 0, 0, p.X, p.Y);
    Flushed();
  }

  void Flush(HWND hwnd, const GdiBitmap& backing, const TRect& area) override {
    Native* n = Find(hwnd);
    if (!n || area.Width() <= 0 || area.Height() <= 0) return;
    PutPixels(n->xid, backing, area);
  }

  bool StartSystemMoveSize(HWND hwnd, int edge, POINT p) override {
    Native* n = Find(hwnd);
    if (!n || !WindowManagerSupports("_NET_WM_MOVERESIZE")) return false;
    XUngrabPointer(dpy_, CurrentTime);
    SendToRoot(n->xid, Atom_("_NET_WM_MOVERESIZE"), {p.X, p.Y, kMoveResizeEdge[edge & 0xF], 1, 1});
    Flushed();
    return true;
  }

  void GrabPointer(HWND hwnd, bool grab) override {
    Native* n = Find(hwnd);
    if (grab && n)
      XGrabPointer(dpy_, n->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                   GrabModeAsync, None, None, CurrentTime);
    else if (!grab)
      XUngrabPointer(dpy_, CurrentTime);
    Flushed();
  }

  bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
    auto it = tray_.find(data.uID);
    switch (message) {
      case NIM_ADD: {
        if (it != tray_.end()) return false;
        TrayIcon& icon = tray_[data.uID];
        icon.data = data;
        icon.xid = CreateTrayWindow();
        trayByXid_[icon.xid] = data.uID;
        SetTip(icon);
        return Dock(icon);
      }
      case NIM_MODIFY:
        if (it == tray_.end()) return false;
        it->second.data = data;
        SetTip(it->second);
        XClearArea(dpy_, it->second.xid, 0, 0, 0, 0, True);
        Flushed();
        return true;
      case NIM_DELETE:
        if (it == tray_.end()) return false;
        XDestroyWindow(dpy_, it->second.xid);
        trayByXid_.erase(it->second.xid);
        tray_.erase(it);
        Flushed();
        return true;
    }
    return false;
  }

  void SetClipboard(const std::string& text) override {
    clipboard_ = text;
    XSetSelectionOwner(dpy_, Atom_("CLIPBOARD"), helper_, CurrentTime);
    Flushed();
  }

  std::string GetClipboard() override {
    const Atom clipboard = Atom_("CLIPBOARD");
    const Window owner = XGetSelectionOwner(dpy_, clipboard);
    if (owner == helper_) return clipboard_;
    if (owner == None) return {};
    const Atom property = Atom_("VX_CLIPBOARD");
    XConvertSelection(dpy_, clipboard, Atom_("UTF8_STRING"), property, helper_, CurrentTime);
    Flushed();
    XEvent ev;
    const uint64_t deadline = GetTickCount64() + kClipboardWaitMs;
    bool answered = false;
    while (!(answered = XCheckTypedWindowEvent(dpy_, helper_, SelectionNotify, &ev)) && GetTickCount64() < deadline) {
      pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
      poll(&fd, 1, 10);
    }
    SchedulePump();
    if (!answered || ev.xselection.property == None) return {};
    const std::string utf8 = ReadProperty(helper_, property);
    XDeleteProperty(dpy_, helper_, property);
    return Utf8ToAnsi(utf8);
  }

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
  Atom Atom_(const std::string& name) {
    auto it = atoms_.find(name);
    if (it != atoms_.end()) return it->second;
    const Atom atom = XInternAtom(dpy_, name.c_str(), False);
    SchedulePump();
    return atoms_[name] = atom;
  }

  Native* Find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
  }

  HWND HwndOf(Window xid) {
    auto it = byXid_.find(xid);
    return it == byXid_.end() ? 0 : it->second;
  }

  void Flushed() {
    XFlush(dpy_);
    SchedulePump();
  }

  // Events that Xlib read while answering a request wait in its queue where
  // the descriptor watch cannot see them; the loop is asked to look.
  void SchedulePump() {
    if (XEventsQueued(dpy_, QueuedAlready)) PostMessage(0, WM_INPUT, 1, 0);
  }

  void SetPositionHints(Window xid, const TRect& r) {
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = r.Left, hints.y = r.Top, hints.width = r.Width(), hints.height = r.Height();
    XSetWMNormalHints(dpy_, xid, &hints);
  }

  void SendToRoot(Window about, Atom type, std::initializer_list<long> data) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = about;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    int i = 0;
    for (long v : data) ev.xclient.data.l[i++] = v;
    XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  }

  std::string ReadProperty(Window xid, Atom property) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(dpy_, xid, property, 0, 1 << 24, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success && data) {
      // Xlib hands 32-bit items over as longs.
      out.assign(reinterpret_cast<char*>(data), count * (format == 32 ? sizeof(long) : unsigned(format / 8)));
      XFree(data);
    }
    return out;
  }

  bool HasWindowManager() {
    const bool present = ReadProperty(root_, Atom_("_NET_SUPPORTING_WM_CHECK")).size() >= sizeof(long);
    SchedulePump();
    return present;
  }

  bool WindowManagerSupports(const char* feature) {
    if (!HasWindowManager()) return false;
    const std::string supported = ReadProperty(root_, Atom_("_NET_SUPPORTED"));
    const Atom wanted = Atom_(feature);
    SchedulePump();
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

  // Our pixels are 0x00RRGGBB in memory order, as a 24-bit TrueColor server stores them.
  void PutPixels(Window xid, const GdiBitmap& bitmap, const TRect& area) {
    XImage* image = XCreateImage(dpy_, visual_, unsigned(depth_), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<::Pixel*>(bitmap.pixels.data())),
                                 unsigned(bitmap.width), unsigned(bitmap.height), 32, bitmap.width * 4);
    XPutImage(dpy_, xid, gc_, image, area.Left, area.Top, area.Left, area.Top, unsigned(area.Width()),
              unsigned(area.Height()));
    image->data = nullptr;  // the bitmap keeps its pixels
    XDestroyImage(image);
    Flushed();
  }

  // --- tray -----------------------------------------------------------------------------------

  Window CreateTrayWindow() {
    XSetWindowAttributes a;
    a.event_mask = kTrayIconEvents;
    a.background_pixel = ColorToPixel(GetSysColor(COLOR_BTNFACE));
    const Window xid = XCreateWindow(dpy_, root_, 0, 0, kTrayIconSize, kTrayIconSize, 0, CopyFromParent,
                                     InputOutput, CopyFromParent, CWEventMask | CWBackPixel, &a);
    long info[2] = {0, kXEmbedMapped};
    const Atom xembedInfo = Atom_("_XEMBED_INFO");
    XChangeProperty(dpy_, xid, xembedInfo, xembedInfo, 32, PropModeReplace, reinterpret_cast<unsigned char*>(info), 2);
    return xid;
  }

  void SetTip(const TrayIcon& icon) {
    // The tip holds at most 63 characters, whether or not the caller ended it with a NUL.
    const char* tip = icon.data.szTip;
    const std::string text = (icon.data.uFlags & NIF_TIP) ? std::string(tip, strnlen(tip, sizeof icon.data.szTip - 1)) : "";
    const std::string utf8 = AnsiToUtf8(text);
    XChangeProperty(dpy_, icon.xid, Atom_("_NET_WM_NAME"), Atom_("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
  }

  bool Dock(const TrayIcon& icon) {
    const Window manager = XGetSelectionOwner(dpy_, trayAtom_);
    SchedulePump();
    if (manager == None) return false;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = manager;
    ev.xclient.message_type = Atom_("_NET_SYSTEM_TRAY_OPCODE");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = kSystemTrayRequestDock;
    ev.xclient.data.l[2] = long(icon.xid);
    XSendEvent(dpy_, manager, False, NoEventMask, &ev);
    Flushed();
    SchedulePump();
    return true;
  }

  void PaintTrayIcon(const TrayIcon& icon) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy_, icon.xid, &attributes)) return;
    HBITMAP bitmap = CreateBitmap(attributes.width, attributes.height, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    RECT all{0, 0, attributes.width, attributes.height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (icon.data.hIcon) DrawIconEx(dc, 0, 0, icon.data.hIcon, attributes.width, attributes.height, 0, nullptr, DI_NORMAL);
    DeleteDC(dc);
    PutPixels(icon.xid, *bitmap, {0, 0, attributes.width, attributes.height});
    DeleteObject(bitmap);
  }

  void TrayButton(TrayIcon& icon, const XButtonEvent& b, bool press) {
    const int button = b.button == Button3 ? VK_RBUTTON : b.button == Button2 ? VK_MBUTTON : VK_LBUTTON;
    if (b.button > Button3) return;
    int phase = press ? 0 : 1;
    const std::uint32_t now = GetTickCount();
    if (press) {
      const bool dbl = icon.lastButton == button && now - icon.lastTime <= kDoubleClickTimeMs;
      phase = dbl ? 2 : 0;
      icon.lastButton = dbl ? 0 : button;
      icon.lastTime = now;
    }
    const UINT base = button == VK_RBUTTON ? WM_RBUTTONDOWN : button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
    if (icon.data.uFlags & NIF_MESSAGE)
      PostMessage(icon.data.hWnd, icon.data.uCallbackMessage, icon.data.uID, LPARAM(base + UINT(phase)));
  }

  bool HandleTray(const XEvent& ev) {
    auto it = trayByXid_.find(ev.xany.window);
    if (it == trayByXid_.end()) return false;
    TrayIcon& icon = tray_[it->second];
    switch (ev.type) {
      case Expose: if (ev.xexpose.count == 0) PaintTrayIcon(icon); break;
      case ButtonPress: TrayButton(icon, ev.xbutton, true); break;
      case ButtonRelease: TrayButton(icon, ev.xbutton, false); break;
      case MotionNotify:
        if (icon.data.uFlags & NIF_MESSAGE)
          PostMessage(icon.data.hWnd, icon.data.uCallbackMessage, icon.data.uID, LPARAM(WM_MOUSEMOVE));
        break;
    }
    return true;
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

  void QueueKey(XKeyEvent& k, bool down) {
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
      XTranslateCoordinates(dpy_, n->xid, root_, 0, 0, &x, &y, &child);
      SchedulePump();
    }
    NativeWindowConfigured(hwnd, Bounds(x, y, c.width, c.height));
  }

  void Handle(XEvent& ev) {
    if (ev.type == ClientMessage && ev.xclient.window == root_) {
      if (ev.xclient.message_type == Atom_("MANAGER") && Atom(ev.xclient.data.l[1]) == trayAtom_) {
        for (auto& [id, icon] : tray_) Dock(icon);
        BroadcastTaskbarCreated();
      }
      return;
    }
    if (ev.type == SelectionRequest) return AnswerSelection(ev.xselectionrequest);
    if (ev.type == MappingNotify) {
      XRefreshKeyboardMapping(&ev.xmapping);
      return;
    }
    if (HandleTray(ev)) return;
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
        if (Atom(ev.xclient.data.l[0]) == Atom_("WM_DELETE_WINDOW")) NativeWindowCloseRequested(hwnd);
        break;
    }
  }

  void AnswerSelection(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    const Atom utf8 = Atom_("UTF8_STRING"), targets = Atom_("TARGETS");
    if (request.target == targets) {
      const Atom list[2] = {targets, utf8};
      XChangeProperty(dpy_, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list), 2);
      reply.xselection.property = request.property;
    } else if (request.target == utf8) {
      const std::string text = AnsiToUtf8(clipboard_);
      XChangeProperty(dpy_, request.requestor, request.property, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
      reply.xselection.property = request.property;
    }
    XSendEvent(dpy_, request.requestor, False, NoEventMask, &reply);
    Flushed();
  }

  Display* dpy_;
  int screen_ = 0;
  Window root_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 24;
  GC gc_ = nullptr;
  Window helper_ = 0;  // owns the clipboard selection
  Atom trayAtom_ = 0;
  int watch_ = 0;
  std::map<HWND, Native> windows_;
  std::map<Window, HWND> byXid_;
  std::map<UINT, TrayIcon> tray_;
  std::map<Window, UINT> trayByXid_;
  std::map<int, Cursor> cursors_;
  std::map<std::string, Atom> atoms_;
  std::string clipboard_;
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
