// Tray icons on a real X server with a tray manager played by the test: the
// icon docks, a double click on it restores the minimized main window, and
// the balloon icon's balloon maps by the docked icon.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/window_backend.h"
#include "tests/platform/gui/x11_test_support.h"
#include "util/components/balloon_tray_icon.h"
#include "util/components/tray_icon.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

namespace {

TEST(TrayIconX11, TheIconDocksAndADoubleClickRestoresTheWindow) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  FakeTrayManager manager(dpy);

  auto* form = new TForm(nullptr);
  form->SetBounds(50, 50, 300, 200);
  Application->SetMainForm(form);
  form->Show();
  auto* tray = new TUtlTrayIcon(form);
  tray->SetShowIcon(tyAllways);
  const Window icon = manager.TakeDockRequest();
  ASSERT_NE(icon, 0u);
  manager.Embed(icon);

  Application->Minimize();
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(form->Handle()) != 0; }));
  const int x = FakeTrayManager::kX + 11, y = FakeTrayManager::kY + 11;
  XTestFakeMotionEvent(dpy, -1, x, y, 0);
  for (int i = 0; i < 2; ++i) {
    XTestFakeButtonEvent(dpy, 1, True, 0);
    XTestFakeButtonEvent(dpy, 1, False, 0);
  }
  XFlush(dpy);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(form->Handle()); }));

  Application->SetMainForm(nullptr);
  form->Free();
  XCloseDisplay(dpy);
}

TEST(TrayIconX11, TheBalloonIconDocksAndItsBalloonMapsByIt) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  FakeTrayManager manager(dpy);
  auto* form = new TForm(nullptr);
  auto* tray = new TUtlBalloonTrayIcon(form);
  tray->SetVisible(true);
  const Window icon = manager.TakeDockRequest();
  ASSERT_NE(icon, 0u);
  manager.Embed(icon);
  bool shown = false;
  tray->OnBalloonShow = [&](TObject*) { shown = true; };
  tray->SetInfoText("Záloha je hotová.");
  tray->ShowBalloon();
  ASSERT_TRUE(PumpUntil([&] { return shown; }));
  const Window balloon = GetNativeWindowId(FindWindowA("VxTrayBalloon", nullptr));
  XWindowAttributes a{};
  ASSERT_TRUE(PumpUntil([&] { return XGetWindowAttributes(dpy, balloon, &a) && a.map_state == IsViewable; }));
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(dpy, balloon, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
  EXPECT_EQ(y, FakeTrayManager::kY + 22 + 2);
  EXPECT_LE(x, FakeTrayManager::kX + 11);
  EXPECT_GE(x + a.width, FakeTrayManager::kX + 11);
  form->Free();
  XCloseDisplay(dpy);
}

// ShowTaskBar False hides the desktop's panel, another program's dock
// window; True brings it back.
TEST(TrayIconX11, ShowTaskBarHidesAndShowsTheDesktopsPanel) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  const Window panel = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 740, 1024, 28, 0, 0, 0);
  const Atom dock = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DOCK", False);
  XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dock), 1);
  XMapWindow(dpy, panel);
  XFlush(dpy);
  auto mapState = [&] {
    XWindowAttributes a{};
    XGetWindowAttributes(dpy, panel, &a);
    return a.map_state;
  };
  ASSERT_TRUE(PumpUntil([&] { return mapState() == IsViewable; }));

  auto* form = new TForm(nullptr);
  auto* tray = new TUtlTrayIcon(form);
  EXPECT_TRUE(tray->ShowTaskBar());
  tray->SetShowTaskBar(false);
  EXPECT_TRUE(PumpUntil([&] { return mapState() == IsUnmapped; }));
  tray->SetShowTaskBar(true);
  EXPECT_TRUE(PumpUntil([&] { return mapState() == IsViewable; }));
  form->Free();
  XDestroyWindow(dpy, panel);
  XCloseDisplay(dpy);
}

}  // namespace
