// Screen grabbing for render-window and render-form.
#include "tools/screen-grab/screen_grab.h"

#include <fstream>

#include "platform/gui/bitmap.h"
#include "platform/gui/headless_backend.h"
#include "platform/gui/image_io.h"
#include "platform/gui/window_backend.h"

#define Region XlibRegion
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Region

namespace {

HBITMAP GrabFromServer(const TRect& area) {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return nullptr;
  XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), area.Left, area.Top, unsigned(area.Width()),
                            unsigned(area.Height()), AllPlanes, ZPixmap);
  HBITMAP shot = nullptr;
  if (image) {
    shot = CreateBitmap(area.Width(), area.Height(), 1, 32, nullptr);
    for (int y = 0; y < area.Height(); ++y)
      for (int x = 0; x < area.Width(); ++x) shot->Row(y)[x] = Pixel(XGetPixel(image, x, y)) & kRgbMask;
    XDestroyImage(image);
  }
  XCloseDisplay(dpy);
  return shot;
}

HBITMAP GrabFromHeadlessScreen(const TRect& area) {
  HBITMAP screen = HeadlessScreenImage();
  HBITMAP shot = CreateBitmap(area.Width(), area.Height(), 1, 32, nullptr);
  for (int y = 0; y < area.Height(); ++y)
    for (int x = 0; x < area.Width(); ++x) shot->Row(y)[x] = screen->Row(area.Top + y)[area.Left + x];
  DeleteObject(screen);
  return shot;
}

}  // namespace

HBITMAP GrabScreenArea(HWND window, const TRect& area) {
  return GetNativeWindowId(window) ? GrabFromServer(area) : GrabFromHeadlessScreen(area);
}

bool SavePng(HBITMAP bitmap, const char* fileName) {
  const Bytes png = WritePng(*bitmap);
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  return bool(out);
}
