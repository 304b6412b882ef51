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
#include "platform/gui/timer.h"
#include "skin/skin_button.h"
#include "skin/skin_dialogs.h"
#include "skin/skin_form.h"
#include "skin/window_region.h"
#include "tests/platform/gui/x11_test_support.h"

#define Region XlibRegion
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
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

// Shows the dialog; once its window is up, act(window) sends X input. A loop
// the input did not end gives up after five seconds with -1.
int ShowWithX(TsuiDialog& dialog, const std::function<void(TCustomForm*)>& act) {
  TTimer starter(nullptr), watchdog(nullptr);
  starter.SetInterval(50);
  starter.OnTimer = [&](TObject*) {
    TCustomForm* window = Screen->ActiveForm();
    if (!window || !window->Visible() || !GetNativeWindowId(window->Handle())) return;
    starter.SetEnabled(false);
    act(window);
  };
  watchdog.SetInterval(5000);
  watchdog.OnTimer = [](TObject*) {
    if (TCustomForm* window = Screen->ActiveForm()) window->SetModalResult(-1);
  };
  return dialog.ShowModal();
}

TEST(SkinDialogsX11, MessageDialogReturnsOneOnAClickAndInputDialogTheTypedText) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests need an X server";
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  TsuiMessageDialog message(nullptr);
  message.SetIconType(TsuiIconType::suiInformation);
  message.SetText("Záloha je hotová.");
  EXPECT_EQ(ShowWithX(message,
                      [&](TCustomForm* window) {
                        TsuiButton* ok = nullptr;
                        for (int i = 0; i < window->ComponentCount(); ++i)
                          if (auto* b = dynamic_cast<TsuiButton*>(window->Components(i))) ok = b;
                        const TPoint p = ok->ClientToScreen(Point(ok->Width() / 2, ok->Height() / 2));
                        XTestFakeMotionEvent(dpy, -1, p.X, p.Y, 0);
                        XTestFakeButtonEvent(dpy, 1, True, 0);
                        XTestFakeButtonEvent(dpy, 1, False, 0);
                        XFlush(dpy);
                      }),
            1);
  TsuiInputDialog input(nullptr);
  input.SetValueText("");
  EXPECT_EQ(ShowWithX(input,
                      [&](TCustomForm*) {
                        for (KeySym key : {XK_a, XK_d, XK_m, XK_i, XK_n, XK_Return}) {
                          const KeyCode code = XKeysymToKeycode(dpy, key);
                          XTestFakeKeyEvent(dpy, code, True, 0);
                          XTestFakeKeyEvent(dpy, code, False, 0);
                        }
                        XFlush(dpy);
                      }),
            1);
  EXPECT_EQ(input.ValueText(), "admin");
  XCloseDisplay(dpy);
}

}  // namespace
