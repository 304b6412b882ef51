// The window layer against a real X server (run under Xvfb): the pixels on
// the server are the backing bitmap's, window regions become X shapes, XTest
// input arrives as the right messages, and a tray manager played by the test
// receives the dock request and passes clicks on the icon to the callback.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/gui/gdi_objects.h"
#include "platform/gui/window_backend.h"
#include "platform/rtl/text.h"
#include "tests/platform/gui/window_test_support.h"
#include "tests/platform/gui/x11_test_support.h"

#define Region XlibRegion
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef Region

namespace {

class X11 : public XDisplayTest {
protected:
  RecordingWindows rec_;
};

std::optional<LRESULT> PaintScene(HWND h, UINT m, WPARAM, LPARAM) {
  if (m != WM_PAINT) return std::nullopt;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  HBRUSH brush = CreateSolidBrush(RGB(30, 120, 200));
  HGDIOBJ old = SelectObject(dc, brush);
  Ellipse(dc, 10, 10, 90, 70);
  SelectObject(dc, old);
  DeleteObject(brush);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 20, 80, "Žluťoučký kůň", -1);
  EndPaint(h, &ps);
  return 0;
}

TEST_F(X11, ServerShowsTheBackingBitmapPixelForPixel) {
  rec_.handler = PaintScene;
  HWND h = rec_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(40, 40, 220, 160));
  rec_.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(120, 20, 60, 40), h);
  UpdateWindow(h);
  const Window xid = GetNativeWindowId(h);
  ASSERT_NE(xid, 0u);
  HBITMAP backing = GetWindowBackingBitmap(h);
  int differing = -1;
  PumpUntil([&] {
    XImage* image = XGetImage(dpy_, xid, 0, 0, 220, 160, AllPlanes, ZPixmap);
    if (!image) return false;
    differing = 0;
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 220; ++x)
        if ((XGetPixel(image, x, y) & 0xFFFFFF) != (backing->Row(y)[x] & 0xFFFFFF)) ++differing;
    XDestroyImage(image);
    return differing == 0;
  });
  EXPECT_EQ(differing, 0);
}

TEST_F(X11, WindowRegionBecomesTheBoundingShape) {
  HWND h = rec_.Create(WS_POPUP | WS_VISIBLE, Bounds(300, 40, 120, 90));
  SetWindowRgn(h, CreateRoundRectRgn(0, 0, 121, 91, 22, 22), 1);
  HRGN expected = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(h, expected), COMPLEXREGION);
  PumpUntil([] { return false; }, 100);
  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(dpy_, GetNativeWindowId(h), ShapeBounding, &count, &ordering);
  std::vector<TRect> got;
  for (int i = 0; i < count; ++i) got.push_back(Bounds(rects[i].x, rects[i].y, rects[i].width, rects[i].height));
  XFree(rects);
  EXPECT_TRUE(Region::FromRects(got) == expected->region) << count << " rectangles";
  DeleteObject(expected);
}

TEST_F(X11, TestInputArrivesAsClicksDoubleClicksAndCzechCharacters) {
  HWND h = rec_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 300, 200, 150), 0, "RecWndDbl");
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  PumpUntil([] { return false; }, 200);  // mapped and focused
  rec_.Clear();
  Click(origin.X + 15, origin.Y + 25);
  Click(origin.X + 16, origin.Y + 25);
  ASSERT_TRUE(PumpUntil([&] { return rec_.Of(h, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK).size() >= 4; }));
  const auto clicks = rec_.Of(h, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK);
  EXPECT_EQ(clicks[0].message, UINT(WM_LBUTTONDOWN));
  EXPECT_EQ(clicks[0].lParam, MAKELPARAM(15, 25));
  EXPECT_EQ(clicks[1].message, UINT(WM_LBUTTONUP));
  EXPECT_EQ(clicks[2].message, UINT(WM_LBUTTONDBLCLK));
  EXPECT_EQ(clicks[2].lParam, MAKELPARAM(16, 25));

  const KeyCode spare = SpareKeycode(dpy_);
  ASSERT_NE(spare, 0);
  KeySym ccaron = XK_ccaron;
  XChangeKeyboardMapping(dpy_, spare, 1, &ccaron, 1);
  XSync(dpy_, False);
  PumpUntil([] { return false; }, 100);  // the layer hears of the new mapping
  rec_.Clear();
  XTestFakeKeyEvent(dpy_, spare, True, 0);
  XTestFakeKeyEvent(dpy_, spare, False, 0);
  XFlush(dpy_);
  ASSERT_TRUE(PumpUntil([&] { return !rec_.Of(h, WM_KEYUP, WM_KEYUP).empty(); }));
  const auto keys = rec_.Of(h, WM_KEYDOWN, WM_CHAR);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].message, UINT(WM_KEYDOWN));
  EXPECT_EQ(keys[1].message, UINT(WM_CHAR));
  EXPECT_EQ(keys[1].wParam, WPARAM(0xE8));  // č in Windows-1250

  // AltGr arrives as Ctrl and Alt, so a character typed with it stays a character.
  const KeyCode altGr = XKeysymToKeycode(dpy_, XK_ISO_Level3_Shift);
  ASSERT_NE(altGr, 0);
  rec_.Clear();
  XTestFakeKeyEvent(dpy_, altGr, True, 0);
  XTestFakeKeyEvent(dpy_, spare, True, 0);
  XTestFakeKeyEvent(dpy_, spare, False, 0);
  XTestFakeKeyEvent(dpy_, altGr, False, 0);
  XFlush(dpy_);
  ASSERT_TRUE(PumpUntil([&] { return rec_.Of(h, WM_KEYUP, WM_KEYUP).size() >= 3; }));
  const auto withAltGr = rec_.Of(h, WM_KEYDOWN, WM_SYSCHAR);
  ASSERT_GE(withAltGr.size(), 3u);
  EXPECT_EQ(withAltGr[0].wParam, WPARAM(VK_CONTROL));
  EXPECT_EQ(withAltGr[1].wParam, WPARAM(VK_MENU));
  EXPECT_EQ(withAltGr[1].message, UINT(WM_KEYDOWN));
  EXPECT_TRUE(rec_.Of(h, WM_SYSKEYDOWN, WM_SYSCHAR).empty());
  EXPECT_EQ(rec_.Of(h, WM_CHAR, WM_CHAR).size(), 1u);
  KeySym none = NoSymbol;
  XChangeKeyboardMapping(dpy_, spare, 1, &none, 1);
  XSync(dpy_, False);
}

TEST_F(X11, ToolWindowsSkipTheTaskbar) {
  HWND h = rec_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(500, 400, 100, 80));
  const Window xid = GetNativeWindowId(h);
  const Atom state = XInternAtom(dpy_, "_NET_WM_STATE", False);
  const Atom skip = XInternAtom(dpy_, "_NET_WM_STATE_SKIP_TASKBAR", False);
  auto skips = [&] {
    XSync(dpy_, False);
    const std::string atoms = ReadProperty(dpy_, xid, state);
    for (size_t i = 0; i + sizeof(long) <= atoms.size(); i += sizeof(long))
      if (*reinterpret_cast<const long*>(atoms.data() + i) == long(skip)) return true;
    return false;
  };
  EXPECT_FALSE(skips());
  SetWindowLongPtrA(h, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  EXPECT_TRUE(PumpUntil(skips, 1000));
  SetWindowLongPtrA(h, GWL_EXSTYLE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !skips(); }, 1000));
}

TEST_F(X11, MinimizedWindowsLeaveTheScreenWithoutAWindowManager) {
  HWND h = rec_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(600, 400, 120, 80));
  const Window xid = GetNativeWindowId(h);
  auto viewable = [&] {
    XWindowAttributes a;
    return XGetWindowAttributes(dpy_, xid, &a) && a.map_state == IsViewable;
  };
  EXPECT_TRUE(PumpUntil(viewable, 1000));
  ShowWindow(h, SW_MINIMIZE);
  EXPECT_TRUE(PumpUntil([&] { return !viewable(); }, 1000));
  ShowWindow(h, SW_RESTORE);
  EXPECT_TRUE(PumpUntil(viewable, 1000));
}

TEST_F(X11, ClipboardTextTravelsAsUtf8BothWays) {
  const Atom clipboard = XInternAtom(dpy_, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(dpy_, "UTF8_STRING", False);
  const Atom property = XInternAtom(dpy_, "TEST_CLIP", False);
  const Window mine = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
  ASSERT_TRUE(SetClipboardText("Žluťoučký kůň"));
  PumpUntil([] { return false; }, 50);
  XConvertSelection(dpy_, clipboard, utf8, property, mine, CurrentTime);
  XFlush(dpy_);
  XEvent ev;
  ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(dpy_, mine, SelectionNotify, &ev) == True; }));
  ASSERT_EQ(ev.xselection.property, property);
  EXPECT_EQ(ReadProperty(dpy_, mine, property), AnsiToUtf8("Žluťoučký kůň"));

  // Another program owns the clipboard: its UTF-8 text arrives in Windows-1250.
  XSetSelectionOwner(dpy_, clipboard, mine, CurrentTime);
  XSync(dpy_, False);
  std::thread owner = AnswerSelectionRequest(dpy_, mine, AnsiToUtf8("Příliš žluťoučký"));
  const std::string got = GetClipboardText();
  owner.join();
  EXPECT_EQ(got, "Příliš žluťoučký");
}

TEST_F(X11, CaptionDragMovesTheWindowUnlessAWindowManagerTakesTheMove) {
  HWND h = rec_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(200, 200, 200, 120));
  const Window xid = GetNativeWindowId(h);
  PumpUntil([] { return false; }, 200);
  // Without a window manager the layer follows the grabbed pointer itself.
  XTestFakeMotionEvent(dpy_, -1, 300, 210, 0);
  XTestFakeButtonEvent(dpy_, 1, True, 0);
  XTestFakeMotionEvent(dpy_, -1, 340, 250, 0);
  XTestFakeButtonEvent(dpy_, 1, False, 0);
  XFlush(dpy_);
  RECT r;
  EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(h, &r) && r.Left == 240 && r.Top == 240; }));
  int x = 0, y = 0;
  Window child;
  EXPECT_TRUE(PumpUntil([&] {
    XTranslateCoordinates(dpy_, xid, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
    return x == 240 && y == 240;
  }));

  // A window manager that offers the move gets asked to do it.
  const Window root = DefaultRootWindow(dpy_);
  const Window check = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom moveResize = XInternAtom(dpy_, "_NET_WM_MOVERESIZE", False);
  const Atom checkAtom = XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False);
  const Atom supported = XInternAtom(dpy_, "_NET_SUPPORTED", False);
  XChangeProperty(dpy_, root, checkAtom, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&check), 1);
  XChangeProperty(dpy_, root, supported, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&moveResize), 1);
  XSelectInput(dpy_, root, SubstructureRedirectMask);
  XSync(dpy_, False);
  XTestFakeMotionEvent(dpy_, -1, 340, 250, 0);
  XTestFakeButtonEvent(dpy_, 1, True, 0);
  XFlush(dpy_);
  XEvent ev{};
  const bool asked = PumpUntil([&] {
    while (XCheckTypedEvent(dpy_, ClientMessage, &ev))
      if (ev.xclient.message_type == moveResize) return true;
    return false;
  });
  XTestFakeButtonEvent(dpy_, 1, False, 0);
  XSelectInput(dpy_, root, 0);
  XDeleteProperty(dpy_, root, checkAtom);
  XDeleteProperty(dpy_, root, supported);
  XSync(dpy_, False);
  ASSERT_TRUE(asked);
  EXPECT_EQ(ev.xclient.window, xid);
  EXPECT_EQ(ev.xclient.data.l[0], 340);
  EXPECT_EQ(ev.xclient.data.l[1], 250);
  EXPECT_EQ(ev.xclient.data.l[2], 8);  // move
}

TEST_F(X11, TrayIconDocksTakesClicksAndDocksAgainWithANewManager) {
  FakeTrayManager manager(dpy_);
  HWND h = rec_.Create(WS_POPUP, Bounds(0, 0, 10, 10));
  PumpUntil([] { return false; }, 100);
  NOTIFYICONDATAA nid;
  nid.hWnd = h;
  nid.uID = 3;
  nid.uFlags = NIF_MESSAGE;
  nid.uCallbackMessage = WM_USER + 5;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
  const Window icon = manager.TakeDockRequest();
  ASSERT_NE(icon, 0u);
  manager.Embed(icon);
  rec_.Clear();
  Click(FakeTrayManager::kX + 11, FakeTrayManager::kY + 11);
  std::vector<Recorded> got;
  ASSERT_TRUE(PumpUntil([&] {
    got.clear();
    for (const Recorded& r : rec_.Of(h, WM_USER + 5, WM_USER + 5))
      if (r.lParam != LPARAM(WM_MOUSEMOVE)) got.push_back(r);
    return got.size() >= 2;
  }));
  EXPECT_EQ(got[0].wParam, 3u);
  EXPECT_EQ(got[0].lParam, LPARAM(WM_LBUTTONDOWN));
  EXPECT_EQ(got[1].lParam, LPARAM(WM_LBUTTONUP));

  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  rec_.Clear();
  FakeTrayManager newer(dpy_);
  EXPECT_EQ(newer.TakeDockRequest(), icon);
  EXPECT_TRUE(PumpUntil([&] { return !rec_.Of(h, taskbarCreated, taskbarCreated).empty(); }));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
}

// A tray's announcement that reaches the program after its icon asked that
// very tray to dock it (sent before the icon was added, or while it was being
// added) changes nothing: no second dock, no window told to add its icon
// anew, so the icon and its open balloon stay.
TEST_F(X11, ALateAnnouncementOfTheIconsOwnTrayLeavesTheIconAndItsBalloon) {
  HWND h = rec_.Create(WS_POPUP, Bounds(0, 0, 10, 10));
  FakeTrayManager manager(dpy_);
  XSync(dpy_, False);  // the announcement is out before the icon asks for the owner
  NOTIFYICONDATAA nid;
  nid.hWnd = h;
  nid.uID = 5;
  nid.uFlags = NIF_MESSAGE | NIF_INFO;
  nid.uCallbackMessage = WM_USER + 7;
  std::strcpy(nid.szInfo, "Hotovo.");
  nid.uTimeout = 30000;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
  manager.Embed(manager.TakeDockRequest());
  const HWND balloon = FindWindowA("VxTrayBalloon", nullptr);
  ASSERT_NE(balloon, 0u);
  manager.Announce();
  PumpUntil([] { return false; }, 300);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  EXPECT_TRUE(rec_.Of(h, taskbarCreated, taskbarCreated).empty());
  EXPECT_EQ(FindWindowA("VxTrayBalloon", nullptr), balloon);
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
}

TEST_F(X11, ABalloonMapsByTheDockedIconAndAClickClosesIt) {
  FakeTrayManager manager(dpy_);
  HWND h = rec_.Create(WS_POPUP, Bounds(0, 0, 10, 10));
  NOTIFYICONDATAA nid;
  nid.hWnd = h;
  nid.uID = 4;
  nid.uFlags = NIF_MESSAGE | NIF_INFO;
  nid.uCallbackMessage = WM_USER + 6;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
  manager.Embed(manager.TakeDockRequest());
  std::strcpy(nid.szInfoTitle, "Záloha");
  std::strcpy(nid.szInfo, "Hotovo.");
  nid.uTimeout = 30000;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &nid));
  const HWND balloon = FindWindowA("VxTrayBalloon", nullptr);
  ASSERT_NE(balloon, 0u);
  const Window xid = GetNativeWindowId(balloon);
  XWindowAttributes a{};
  ASSERT_TRUE(PumpUntil([&] { return XGetWindowAttributes(dpy_, xid, &a) && a.map_state == IsViewable; }));
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(dpy_, xid, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  // The icon sits at the screen's top: the balloon hangs just below it, its right part by the icon.
  EXPECT_EQ(y, FakeTrayManager::kY + 22 + 2);
  EXPECT_LE(x, FakeTrayManager::kX + 11);
  EXPECT_GE(x + a.width, FakeTrayManager::kX + 11);
  Click(x + 5, y + 5);
  EXPECT_TRUE(PumpUntil([&] {
    for (const Recorded& r : rec_.Of(h, WM_USER + 6, WM_USER + 6))
      if (r.lParam == LPARAM(NIN_BALLOONUSERCLICK)) return true;
    return false;
  }));
  EXPECT_EQ(FindWindowA("VxTrayBalloon", nullptr), 0u);
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
}

}  // namespace
