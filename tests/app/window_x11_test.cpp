// The backup program's main window on a real X server, made in this process
// as the program makes it, against the throwaway MariaDB server: the controls
// at their places (and a picture of the window in the scratch folder), a
// click on "zálohovat" that backs up the ticked table, and the scheduled mode
// that goes to the tray after three seconds and ends from the tray's menu.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>

#include "app/window/main_form.h"
#include "app/window/progress_form.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/gui/type_info.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/timer.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/text.h"
#include "skin/skin_button.h"
#include "skin/skin_check_list.h"
#include "skin/skin_dialogs.h"
#include "skin/skin_edit.h"
#include "skin/file_theme.h"
#include "skin/skin_menus.h"
#include "skin/image_panel.h"
#include "skin/skin_progress_bar.h"
#include "tests/fixtures/mariadb/server.h"
#include "tests/app/x11_input.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"
#include "tools/screen-grab/screen_grab.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const char* ansi) { return AnsiToUtf8(ansi); }

class MainWindowX11 : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    MariaDbServer::Get().Client(
        Utf8("set names utf8mb4; drop database if exists vx_win; create database vx_win character set utf8mb4;"
             "create table vx_win.sklad (id int primary key, zboží varchar(20));"
             "insert into vx_win.sklad values (1, 'Šroub'), (2, 'Matice');"
             "create table vx_win.ceník (id int primary key)"));
  }
  static void TearDownTestSuite() { MariaDbServer::Get().Client("drop database vx_win"); }

  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
    fs::create_directories(root_ / "bin");
    fs::create_symlink("/usr/bin/mysqldump", root_ / "bin/mysqldump");
    const MariaDbServer& server = MariaDbServer::Get();
    std::ofstream(root_ / "bin/vorbex05.ini", std::ios::binary)
        << "[LogOn]\r\nIP=127.0.0.1\r\nUser=" << server.user << "\r\nPassword=" << server.password
        << "\r\nSqlport=" << server.port << "\r\nDatabase=vx_win\r\n[TForm1]\r\nsuiedit2_Text=" << (root_ / "work").string()
        << "\r\nlabel3_Text=" << (root_ / "zip").string() << "\r\nVsechny=False\r\n[Checked]\r\nsklad=True\r\n";
    fs::create_directories(root_ / "work");
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    TForm1::StartFiles = ProgramFilesOf((root_ / "bin/vorbex05").string());
  }
  void TearDown() override {
    if (Form1) Form1->Free();
    Application->SetMainForm(nullptr);
  }

  void Make(TParamList params) {
    TForm1::StartParams = std::move(params);
    TForm1* form = nullptr;
    Application->CreateForm(form);
    ASSERT_FALSE(form->StartupRefused());
    ASSERT_TRUE(PumpUntil([&] { return form->Showing(); }));
  }
  // Runs the application's loop (which also ends it on request) until done.
  static bool PumpApp(const std::function<bool()>& done, int timeoutMs = 10000) {
    return PumpUntil([&] {
      Application->ProcessMessages();
      return done();
    }, timeoutMs);
  }
  // Runs the message loop until done() holds or the time is up.
  static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      ProcessMessagesFor(10);
    }
    return true;
  }
  // What the screen shows of the main window, for a person to look at.
  static void Picture(const char* name) {
    ProcessMessagesFor(300);
    const TRect r = Form1->BoundsRect();
    HBITMAP shot = GrabScreenArea(Form1->Handle(), Rect(r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10));
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(SavePng(shot, (TestScratchFolder() / name).c_str()));
    DeleteObject(shot);
  }
  static void Click(TControl* control, int x, int y) {
    const TPoint p = control->ClientToScreen(Point(x, y));
    XClickAt(p.X, p.Y);
  }

  TempFolder temp_;
  fs::path root_ = temp_.path();
};

TEST_F(MainWindowX11, OpensWithItsControlsInPlaceAndAClickOnZalohovatBacksUp) {
  Make({});
  TForm1& f = *Form1;
  EXPECT_EQ(f.Caption(), "MySQL - backup Kalmir05");
  EXPECT_EQ(f.ClientWidth(), 599);
  EXPECT_EQ(f.ClientHeight(), 466);
  // Places within their parents, as the window's form data gives them.
  struct Place {
    TControl* control;
    TRect bounds;
  };
  for (const Place& p : {Place{f.suiButton1, Bounds(345, 5, 80, 27)}, Place{f.suiButton2, Bounds(260, 5, 80, 27)},
                         Place{f.suiButton3, Bounds(175, 5, 80, 27)}, Place{f.Label5, Bounds(5, 7, 0, 0)},
                         Place{f.Label1, Bounds(5, 32, 0, 0)}})
  {
    EXPECT_EQ(p.control->Left(), p.bounds.Left) << p.control->Name().c_str();
    EXPECT_EQ(p.control->Top(), p.bounds.Top) << p.control->Name().c_str();
  }
  for (TControl* c : {static_cast<TControl*>(f.suiButton1), static_cast<TControl*>(f.suiButton2)})
    EXPECT_EQ(c->Width(), 80) << c->Name().c_str();
  // The bands: folders on top, the table list left of the protocol, buttons below.
  const TRect list = f.suiCheckListBox1->BoundsRect();
  EXPECT_EQ(list.Width(), 291);
  EXPECT_LE(f.suiImagePanel1->BoundsRect().Bottom, list.Top);
  EXPECT_LE(list.Bottom, f.suiImagePanel2->BoundsRect().Top);
  EXPECT_EQ(f.suiImagePanel3->BoundsRect().Left, list.Right);
  EXPECT_EQ(f.suiCheckListBox1->Items()->Count(), 2);
  EXPECT_FALSE(f.abmeter1->Visible());
  EXPECT_FALSE(f.Label8->Visible());  // the schedule's labels only in scheduled mode

  Picture("main_window.png");

  // The run ends with its message, answered here as a person would.
  AnsiString message;
  TTimer answer(nullptr);
  answer.SetInterval(50);
  answer.OnTimer = [&](TObject*) {
    if (auto* box = dynamic_cast<TfrmMsg*>(Screen->ActiveForm()); box && box->Modal()) {
      message = box->lbl->Caption();
      box->SetModalResult(mrOk);
    }
  };
  answer.SetEnabled(true);
  Click(f.suiButton2, 40, 13);
  ASSERT_TRUE(PumpApp([&] { return !message.empty(); }, 30000));
  EXPECT_EQ(message, "Záloha databáze vytvořena!");
  const fs::path dated = root_ / "zip" / Utf8(FormatDateTime("yyyymmdd", Now()).c_str());
  EXPECT_EQ(RunShell("unzip -tq '" + (dated / "sklad.zip").string() + "'").status, 0);
  EXPECT_FALSE(fs::exists(dated / Utf8("ceník.zip")));  // not ticked
  EXPECT_NE(f.suiMemo1->Lines()->Text().find("SKLAD - hotovo - 2 vět"), AnsiString::npos);
}

COLORREF ScreenPixel(TControl* control, int x, int y) {
  const TPoint at = control->ClientToScreen(Point(x, y));
  HBITMAP shot = GrabScreenArea(Form1->Handle(), Rect(at.X, at.Y, at.X + 1, at.Y + 1));
  if (!shot) return CLR_INVALID;
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, shot);
  const COLORREF seen = GetPixel(dc, 0, 0);
  DeleteDC(dc);
  DeleteObject(shot);
  return seen;
}

// Some pixel of one of the main skin's pictures (by number) has this colour.
bool SkinPicturesHold(TForm1& f, std::initializer_list<int> pictures, COLORREF colour) {
  for (int n : pictures) {
    TBitmap* picture = f.suiBuiltInFileTheme1->GetBitmap(uint8_t(n));
    for (int y = 0; picture && y < picture->Height(); ++y)
      for (int x = 0; x < picture->Width(); ++x)
        if (ColorToRGB(picture->Canvas()->Pixels(x, y)) == colour) return true;
  }
  return false;
}

// The theme manager hands the skin to every control it lists, in both
// windows; the popup menus keep their own colours and measures over it; and
// the screen shows the skin's button picture, not a built-in style.
TEST_F(MainWindowX11, TheSkinReachesEveryListedControlOfBothWindows) {
  Make({});
  TForm1& f = *Form1;
  TForm2* progress = nullptr;
  Application->CreateForm(progress);
  std::vector<TComponent*> themed = {progress->FindComponent("suiForm1"), progress->FindComponent("suiProgressBar1")};
  for (const char* name : {"suiForm1", "suiCheckListBox1", "suiButton1", "suiButton2", "suiButton3", "abmeter1",
                           "suiMemo1", "suiMessageDialog1", "suiPopupMenu1", "suiPopupMenu2", "suiInputDialog1"})
    themed.push_back(f.FindComponent(name));
  for (TComponent* c : themed) {
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(GetOrdProp(c, "UIStyle"), FromThemeFile) << c->Name().c_str();
    EXPECT_EQ(GetObjectProp(c, "FileTheme"), f.suiBuiltInFileTheme1) << c->Name().c_str();
  }
  progress->Free();

  for (TsuiPopupMenu* menu : {f.suiPopupMenu1, f.suiPopupMenu2}) {
    const TsuiMenuLook& look = menu->Look();
    EXPECT_EQ(look.MenuItemHeight, 21);
    EXPECT_EQ(look.SeparatorHeight, 5);
    EXPECT_EQ(look.BarWidth, 26);
    EXPECT_EQ(ColorToRGB(look.BarColor), RGB(0, 201, 0));
    EXPECT_EQ(ColorToRGB(look.Color), RGB(155, 255, 155));
    EXPECT_EQ(ColorToRGB(look.SeparatorColor), RGB(132, 130, 132));
    EXPECT_EQ(ColorToRGB(look.SelectedColor), RGB(0, 201, 0));
    EXPECT_EQ(ColorToRGB(look.SelectedBorderColor), RGB(0, 201, 0));
    EXPECT_EQ(ColorToRGB(look.SelectedFontColor), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(look.FontColor), RGB(44, 99, 74));
  }

  // On the screen: a pixel of the button's face left of its caption, and one
  // of the filled part of the archive bar, come from the skin's pictures.
  f.abmeter1->SetPosition(50);
  f.abmeter1->SetVisible(true);
  ProcessMessagesFor(300);
  const COLORREF face = ScreenPixel(f.suiButton2, 4, f.suiButton2->Height() / 2);
  EXPECT_TRUE(SkinPicturesHold(f, {15}, face)) << std::hex << face;
  const COLORREF bar = ScreenPixel(f.abmeter1, f.abmeter1->Width() / 4, f.abmeter1->Height() / 2);
  EXPECT_TRUE(SkinPicturesHold(f, {19, 20, 21, 22}, bar)) << std::hex << bar;
}

// What the scheduled window shows has room with the fonts here: the whole
// time beside the edit's arrows, a gap on both sides of the day, the button's
// caption inside it; a long archive path ends left of the buttons, and a
// long protocol line wraps.
void TextFitsItsRoom(TForm1& f) {
  auto* time = dynamic_cast<TControl*>(f.FindComponent("rmTimeSpinEdit1"));
  ASSERT_NE(time, nullptr);
  EXPECT_LE(TextWidthIn(f.Label11->Font(), "23:30:00") + 15 + 4, time->Width());
  EXPECT_LE(time->Left() + time->Width(), 593);
  const int dayWidth = TextWidthIn(f.Label11->Font(), "čt");
  EXPECT_GE(f.Label11->Left() + f.Label11->Width() - dayWidth, f.Label9->Left() + f.Label9->Width() + 4);
  EXPECT_LE(f.Label11->Left() + f.Label11->Width() + 4, time->Left());
  EXPECT_LE(TextWidthIn(f.suiButton1->Font(), "zminimalizovat") + 8, f.suiButton1->Width());
  EXPECT_LE(f.suiButton1->Left() + f.suiButton1->Width(), dynamic_cast<TControl*>(f.FindComponent("AbMeter2"))->Left());

  f.SetLabelText(TFormLabel::Label6, "/var/backups/" + AnsiString(60, 'x') + "/20261211/zboží.zip");
  EXPECT_LE(f.Label6->Left() + f.Label6->Width(), f.suiButton3->Left());
  EXPECT_TRUE(f.Label6->Caption().ends_with("/zboží.zip")) << f.Label6->Caption();
  f.SetLabelText(TFormLabel::Label6, "");
  EXPECT_TRUE(f.suiMemo1->WordWrap());
}

TEST_F(MainWindowX11, ScheduledModeGoesToTheTrayAndItsMenuEndsTheProgram) {
  TrayHost tray;
  Make({"/A:23:59:59"});
  // From here the three seconds pass on the virtual clock.
  SetVirtualClock(true);
  ASSERT_TRUE(tray.DockIcon());
  EXPECT_EQ(Form1->suiButton1->Caption(), "zminimalizovat");
  EXPECT_TRUE(Form1->Label8->Visible());
  TextFitsItsRoom(*Form1);
  Picture("scheduled_window.png");
  ProcessMessagesFor(2400);
  EXPECT_FALSE(IsIconic(Form1->Handle()));
  ProcessMessagesFor(700);
  SetVirtualClock(false);
  EXPECT_TRUE(PumpApp([] { return IsIconic(Form1->Handle()) != 0; }));

  // Right button on the icon opens the menu; its last item ends the program.
  const int x = TrayHost::IconX(), y = TrayHost::IconY();
  XClickAt(x, y, 3);
  TTimer pick(nullptr);
  pick.SetInterval(300);
  pick.OnTimer = [&](TObject*) {
    pick.SetEnabled(false);
    XClickAt(x + 30, y + 38);
  };
  pick.SetEnabled(true);
  EXPECT_TRUE(PumpApp([] { return Application->Terminated(); }));
}

}  // namespace
