// Tray icon through the headless tray: the record it adds, the menu on a
// right press before the event, restore on a left double click, the task
// entry rule on the virtual clock, showing on minimize only, switching off,
// the tip and blinking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/headless_backend.h"
#include "platform/rtl/clock.h"
#include "tests/util/shown_form.h"
#include "util/components/tray_icon.h"

namespace {

struct TrayIcon : ShownForm {
  void SetUp() override {
    ShownForm::SetUp();
    HeadlessClearTrayCalls();
    Application->SetMainForm(form);
    menu = new TPopupMenu(form);
    menu->OnPopup = [this](TObject*) { log.push_back("menu"); };
    tray = new TUtlTrayIcon(form);
    tray->SetPopupMenu(menu);
    tray->SetHint("Vorbex05");
    tray->OnMouseRightDown = [this](TObject*) { log.push_back("right down"); };
  }
  void TearDown() override {
    Application->SetMainForm(nullptr);
    ShownForm::TearDown();
  }
  bool HasTaskEntry() const { return !(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW); }
  std::vector<DWORD> Calls() const {
    std::vector<DWORD> out;
    for (const TrayCall& c : HeadlessTrayCalls()) out.push_back(c.message);
    return out;
  }

  TPopupMenu* menu = nullptr;
  TUtlTrayIcon* tray = nullptr;
  std::vector<std::string> log;
};

TEST_F(TrayIcon, TheProgramsSettingsKeepTheIconAndHideTheTaskEntryWhileMinimized) {
  tray->SetShowIcon(tyAllways);
  ASSERT_EQ(Calls(), std::vector<DWORD>{NIM_ADD});
  const NOTIFYICONDATAA& d = HeadlessTrayCalls()[0].data;
  EXPECT_EQ(d.hWnd, tray->Window());
  EXPECT_EQ(d.uID, 1u);
  EXPECT_EQ(d.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(d.uCallbackMessage, UINT(WM_USER + 1));
  EXPECT_STREQ(d.szTip, "Vorbex05");
  EXPECT_EQ(d.hIcon, Application->Icon()->Handle());

  // The menu opens (and is closed with Esc) before the press is reported.
  ASSERT_TRUE(HeadlessTrayMouse(1, WM_RBUTTONDOWN));
  HeadlessKeyDown(VK_ESCAPE);
  HeadlessKeyUp(VK_ESCAPE);
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"menu", "right down"}));
  EXPECT_EQ(menu->PopupComponent(), tray);

  Application->Minimize();
  Tick(240);
  EXPECT_TRUE(HasTaskEntry()) << "the rule runs every 250 ms";
  Tick(20);
  EXPECT_FALSE(HasTaskEntry());
  EXPECT_TRUE(tray->IconShown());

  ASSERT_TRUE(HeadlessTrayMouse(1, WM_LBUTTONDBLCLK));
  Application->ProcessMessages();
  EXPECT_FALSE(IsIconic(form->Handle()));
  Tick(260);
  EXPECT_TRUE(HasTaskEntry());
}

TEST_F(TrayIcon, OnMinimizedTheIconComesWithMinimizingAndGoesWithRestoring) {
  tray->SetShowIcon(tyOnMinimized);
  EXPECT_TRUE(Calls().empty());
  Application->Minimize();
  EXPECT_EQ(Calls(), std::vector<DWORD>{NIM_ADD});
  Application->Restore();
  EXPECT_EQ(Calls(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
  EXPECT_FALSE(tray->IconShown());
}

TEST_F(TrayIcon, OnePressCanPopTheMenuAndThenRestore) {
  tray->Action()->SetPopup(paLeftUp);
  tray->Action()->SetRestore(paLeftUp);
  tray->SetShowIcon(tyAllways);
  tray->OnMouseLeftUp = [this](TObject*) { log.push_back("left up"); };
  Application->Minimize();
  HeadlessTrayMouse(1, WM_LBUTTONUP);
  HeadlessKeyDown(VK_ESCAPE);
  HeadlessKeyUp(VK_ESCAPE);
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"menu", "left up"}));
  EXPECT_FALSE(IsIconic(form->Handle()));
}

TEST_F(TrayIcon, SwitchingOffRemovesTheIconAndBringsBackTheTaskEntry) {
  tray->SetShowIcon(tyAllways);
  Application->Minimize();
  Tick(250);
  ASSERT_FALSE(HasTaskEntry());
  tray->SetEnabled(false);
  EXPECT_EQ(Calls().back(), NIM_DELETE);
  EXPECT_TRUE(HasTaskEntry());
  EXPECT_FALSE(HeadlessTrayMouse(1, WM_LBUTTONDBLCLK));
}

TEST_F(TrayIcon, TheTipHoldsSixtyThreeCharactersAndBlinkingSwapsTheIcon) {
  tray->SetShowIcon(tyAllways);
  const AnsiString long63(63, 'x');
  tray->SetHint(long63);
  EXPECT_EQ(HeadlessTrayCalls().back().data.szTip, std::string(63, 'x'));
  tray->SetHint(long63 + "yz");
  EXPECT_EQ(HeadlessTrayCalls().back().data.szTip, std::string(63, 'x'));

  std::vector<std::string> phases;
  tray->OnBlinkVisible = [&](TObject*) { phases.push_back("on"); };
  tray->OnBlinkInVisible = [&](TObject*) { phases.push_back("off"); };
  tray->Blink()->SetInterval(500);
  tray->Blink()->SetEnabled(true);
  HeadlessClearTrayCalls();
  Tick(500);
  Tick(500);
  EXPECT_EQ(phases, (std::vector<std::string>{"off", "on"}));
  ASSERT_EQ(Calls(), (std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY}));
  EXPECT_NE(HeadlessTrayCalls()[0].data.hIcon, HeadlessTrayCalls()[1].data.hIcon);
  tray->Blink()->SetEnabled(false);
  Tick(1000);
  EXPECT_EQ(phases.size(), 3u);
}

}  // namespace
