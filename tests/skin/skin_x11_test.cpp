// A skinned frame on a real X server (run under Xvfb): in the BlueGlass
// style the window's bounding shape is the frame's region, and dragging the
// title bar with the pointer moves the window.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/gui/application.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/window_backend.h"
#include "skin/skin_form.h"
#include "skin/window_region.h"
#include "tests/platform/gui/x11_test_support.h"

#define Region XlibRegion
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#undef Region

namespace {

class SkinX11 : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests need an X server";
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
    form_ = new TForm(Application);
    form_->SetBorderStyle(bsSingle);
    form_->SetBounds(150, 120, 320, 180);
    form_->SetCaption("Záloha");
    frame_ = new TsuiForm(form_);
    frame_->SetUIStyle(BlueGlass);
    form_->Show();
    ASSERT_NE(GetNativeWindowId(form_->Handle()), 0u);
    PumpUntil([] { return false; }, 200);
  }
  void TearDown() override {
    if (form_) form_->Free();
    if (dpy_) XCloseDisplay(dpy_);
  }
  Display* dpy_ = nullptr;
  TForm* form_ = nullptr;
  TsuiForm* frame_ = nullptr;
};

TEST_F(SkinX11, TheWindowIsShapedByTheFrameRegion) {
  // BlueGlass rounds the top corners with radius 11.
  HRGN expected = MakeBuiltInRegion(form_->Width(), form_->Height(), 11, 0);
  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(dpy_, GetNativeWindowId(form_->Handle()), ShapeBounding, &count, &ordering);
  std::vector<TRect> got;
  for (int i = 0; i < count; ++i) got.push_back(Bounds(rects[i].x, rects[i].y, rects[i].width, rects[i].height));
  XFree(rects);
  const Region shape = Region::FromRects(got);
  EXPECT_TRUE(shape == expected->region) << count << " rectangles";
  DeleteObject(expected);
  EXPECT_FALSE(shape.Contains(0, 0));
}

TEST_F(SkinX11, DraggingTheTitleBarMovesTheWindow) {
  const int x = 150 + 160, y = 120 + 12;  // the middle of the title bar
  XTestFakeMotionEvent(dpy_, -1, x, y, 0);
  XTestFakeButtonEvent(dpy_, 1, True, 0);
  XFlush(dpy_);
  PumpUntil([] { return false; }, 100);
  XTestFakeMotionEvent(dpy_, -1, x + 40, y + 30, 0);
  XTestFakeButtonEvent(dpy_, 1, False, 0);
  XFlush(dpy_);
  RECT r;
  EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(form_->Handle(), &r) && r.Left == 190 && r.Top == 150; }))
      << r.Left << "," << r.Top;
}

TEST(RenderForm, TheSkinnedDemoIsAPictureOfAnEmptySkinnedForm) {
  const std::filesystem::path png =
      std::filesystem::temp_directory_path() / ("vx_skinned_demo_" + std::to_string(getpid()) + ".png");
  const std::string tool = std::string(VX_BINARY_DIR) + "/tools/render-form/render-form";
  ASSERT_EQ(std::system((tool + " skinned-demo " + png.string()).c_str()), 0);
  const std::string bytes = [&] {
    std::ifstream in(png, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), {}};
  }();
  std::filesystem::remove(png);
  ASSERT_GT(bytes.size(), 500u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
}

}  // namespace
