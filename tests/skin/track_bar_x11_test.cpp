// A track bar's slider dragged with the pointer on a real X server (run
// under Xvfb): the press on the slider, the motion and the release arrive as
// X events and the position follows the grab point.
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/window_backend.h"
#include "skin/image_panel.h"
#include "skin/track_bar.h"
#include "tests/platform/gui/x11_test_support.h"

#define Region XlibRegion
#include <X11/extensions/XTest.h>
#undef Region

namespace {

TEST(TrackBarX11, DraggingTheSliderWithThePointerMovesThePosition) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  auto* form = new TForm(Application);
  form->SetBounds(150, 120, 320, 120);
  auto* bar = new TsuiTrackBar(form);
  bar->SetParent(form);
  bar->SetBounds(20, 20, 211, 30);  // a 200-pixel run for the 11-pixel slider
  bar->SetMax(100);
  form->Show();
  ASSERT_NE(GetNativeWindowId(form->Handle()), 0u);
  PumpUntil([] { return false; }, 200);

  const TPoint grab = bar->Slider()->ClientToScreen(Point(5, 10));
  XTestFakeMotionEvent(dpy, -1, grab.X, grab.Y, 0);
  XTestFakeButtonEvent(dpy, 1, True, 0);
  XFlush(dpy);
  PumpUntil([] { return false; }, 100);
  for (int dx = 20; dx <= 100; dx += 20) {  // a drag of several motions
    XTestFakeMotionEvent(dpy, -1, grab.X + dx, grab.Y, 0);
    XFlush(dpy);
    PumpUntil([] { return false; }, 30);
  }
  XTestFakeButtonEvent(dpy, 1, False, 0);
  XFlush(dpy);
  EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 50; })) << bar->Position();
  EXPECT_EQ(bar->Slider()->Left(), 100);
  EXPECT_TRUE(bar->Focused());
  form->Free();
  XCloseDisplay(dpy);
}

}  // namespace
