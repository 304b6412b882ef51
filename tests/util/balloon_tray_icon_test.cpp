// The balloon tray icon through the headless tray: the order of its mouse
// events and the menu, a new tray getting the icon again, the balloon's
// record, its picture against tests/util/expected/ and its show, timeout and
// click events, icon cycling on the virtual clock, and minimizing into the
// tray and back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/headless_backend.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "tests/skin/pixel_compare.h"
#include "tests/util/shown_form.h"
#include "util/components/balloon_tray_icon.h"

namespace {

// The screen inside the rectangle, compared with tests/util/expected/<name>.png.
void ExpectScreenPicture(const RECT& r, const std::string& name) {
  HBITMAP screen = HeadlessScreenImage();
  GdiBitmap actual(r.Right - r.Left, r.Bottom - r.Top, 24);
  for (int y = 0; y < actual.height; ++y)
    for (int x = 0; x < actual.width; ++x) actual.Row(y)[x] = screen->Row(r.Top + y)[r.Left + x] & 0xFFFFFF;
  DeleteObject(screen);
  skintest::ExpectPictureIn("tests/util", actual, name);
}

struct BalloonTray : ShownForm {
  void SetUp() override {
    ShownForm::SetUp();
    HeadlessRestartTray();
    Application->ProcessMessages();
    HeadlessClearTrayCalls();
    Application->SetMainForm(form);
    tray = new TUtlBalloonTrayIcon(form);
    tray->SetIconID(5);
    tray->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      log.push_back(b == mbLeft ? "left down" : "right down");
    };
    tray->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      log.push_back(b == mbLeft ? "left up" : "right up");
    };
    tray->OnClick = [this](TObject*) { log.push_back("click"); };
    tray->OnPopupMenu = [this](TObject*) { log.push_back("popup event"); };
    tray->OnBalloonShow = [this](TObject*) { log.push_back("balloon shown"); };
    tray->OnBalloonTimeout = [this](TObject*) { log.push_back("balloon timeout"); };
    tray->OnBalloonClick = [this](TObject*) { log.push_back("balloon click"); };
    tray->SetVisible(true);
  }
  void TearDown() override {
    Application->SetMainForm(nullptr);
    ShownForm::TearDown();
  }
  void Mouse(UINT message) {
    ASSERT_TRUE(HeadlessTrayMouse(5, message));
    Application->ProcessMessages();
  }
  std::vector<DWORD> Calls() const {
    std::vector<DWORD> out;
    for (const TrayCall& c : HeadlessTrayCalls()) out.push_back(c.message);
    return out;
  }
  TUtlBalloonTrayIcon* tray = nullptr;
  std::vector<std::string> log;
};

TEST_F(BalloonTray, MouseEventsComeInOrderAndTheMenuOpensAfterTheRightRelease) {
  const NOTIFYICONDATAA& added = HeadlessTrayCalls().at(0).data;
  EXPECT_EQ(added.cbSize, NOTIFYICONDATAA_V2_SIZE);
  EXPECT_EQ(added.uFlags, UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
  EXPECT_EQ(added.uCallbackMessage, 1235u);
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONUP);  // no press before it: no click
  auto* menu = new TPopupMenu(form);
  menu->OnPopup = [this](TObject*) { log.push_back("menu"); };
  tray->SetPopupMenu(menu);
  Mouse(WM_RBUTTONDOWN);
  ASSERT_TRUE(HeadlessTrayMouse(5, WM_RBUTTONUP));
  HeadlessKeyDown(VK_ESCAPE);
  HeadlessKeyUp(VK_ESCAPE);
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"left down", "left up", "click", "left up", "right down", "right up",
                                           "menu", "popup event"}));
  EXPECT_EQ(menu->PopupComponent(), tray);
  tray->SetHint(std::string(200, 'h'));
  EXPECT_EQ(std::strlen(HeadlessTrayCalls().back().data.szTip), 127u);
}

TEST_F(BalloonTray, ANewTrayGetsTheIconAgain) {
  HeadlessClearTrayCalls();
  HeadlessRestartTray();
  Application->ProcessMessages();
  EXPECT_EQ(Calls(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
  EXPECT_TRUE(HeadlessTrayMouse(5, WM_MOUSEMOVE));
}

TEST_F(BalloonTray, ABalloonReportsItsShowingTimeoutAndClick) {
  tray->SetInfoTitle("Záloha");
  tray->SetInfoText("Hotovo");
  tray->SetInfoType(tiiWarning);
  tray->SetInfoTimeout(3000);
  tray->ShowBalloon();
  const NOTIFYICONDATAA& b = HeadlessTrayCalls().back().data;
  EXPECT_TRUE(b.uFlags & NIF_INFO);
  EXPECT_STREQ(b.szInfo, "Hotovo");
  EXPECT_STREQ(b.szInfoTitle, "Záloha");
  EXPECT_EQ(b.dwInfoFlags, DWORD(NIIF_WARNING));
  EXPECT_EQ(b.uTimeout, 3000u);
  Application->ProcessMessages();
  RECT shown;
  ASSERT_TRUE(GetWindowRect(FindWindowA("VxTrayBalloon", nullptr), &shown));
  ExpectScreenPicture(shown, "balloon_warning");
  Tick(2999);
  EXPECT_EQ(log, std::vector<std::string>{"balloon shown"});
  Tick(1);
  EXPECT_EQ(log, (std::vector<std::string>{"balloon shown", "balloon timeout"}));

  tray->ShowBalloon();
  Application->ProcessMessages();
  RECT r;
  GetWindowRect(FindWindowA("VxTrayBalloon", nullptr), &r);
  HeadlessClick(r.Left + 4, r.Top + 4);
  Application->ProcessMessages();
  EXPECT_EQ(log.back(), "balloon click");
}

TEST_F(BalloonTray, CyclingStepsThroughTheImagesAtTheInterval) {
  TImageList list(form, 16, 16);
  for (TColor c : {clRed, clLime, clBlue}) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    list.AddMasked(&b, clFuchsia);
  }
  tray->SetImageList(&list);
  std::vector<int> shown;
  tray->OnCycleIcons = [&](TObject*) { shown.push_back(tray->ImageIndex()); };
  tray->SetCycleIcons(true);
  Tick(200);
  Tick(200);
  Tick(200);
  Tick(199);
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 0}));
  Tick(1);
  EXPECT_EQ(shown.back(), 1);
  tray->SetCycleIcons(false);
  tray->SetImageList(nullptr);
}

TEST_F(BalloonTray, MinimizingGoesIntoTheTrayAndADoubleClickComesBack) {
  tray->SetVisible(false);
  tray->SetMinimizeToTray(true);
  int minimized = 0;
  tray->OnMinimize = [&](TObject*) { ++minimized; };
  Application->Minimize();
  Application->ProcessMessages();
  EXPECT_EQ(minimized, 1);
  EXPECT_TRUE(tray->Visible());
  EXPECT_FALSE(form->Visible());
  Mouse(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(form->Visible());
}

}  // namespace
