// XTest clicks and the tray manager of the window test.
#include "tests/app/x11_input.h"

#include "tests/platform/gui/x11_test_support.h"

#include <X11/extensions/XTest.h>

namespace {

Display* TheDisplay() {
  static Display* dpy = XOpenDisplay(nullptr);
  return dpy;
}

}  // namespace

void XClickAt(int x, int y, int button) {
  Display* dpy = TheDisplay();
  XTestFakeMotionEvent(dpy, -1, x, y, 0);
  XTestFakeButtonEvent(dpy, unsigned(button), True, 0);
  XTestFakeButtonEvent(dpy, unsigned(button), False, 0);
  XFlush(dpy);
}

bool TrayManagerRunning() {
  Display* dpy = TheDisplay();
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(dpy));
  return XGetSelectionOwner(dpy, XInternAtom(dpy, name.c_str(), False)) != None;
}

struct TrayHost::Impl {
  FakeTrayManager manager{TheDisplay()};
};

TrayHost::TrayHost() : impl_(std::make_unique<Impl>()) {}
TrayHost::~TrayHost() = default;

bool TrayHost::DockIcon() {
  const Window icon = impl_->manager.TakeDockRequest();
  if (icon == 0) return false;
  impl_->manager.Embed(icon);
  return true;
}

int TrayHost::IconX() { return FakeTrayManager::kX + 11; }
int TrayHost::IconY() { return FakeTrayManager::kY + 11; }
