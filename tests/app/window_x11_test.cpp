// The backup program's main window on a real X server, made in this process
// as the program makes it, against the throwaway MariaDB server: the controls
// at their places (and a picture of the window in the scratch folder), a
// click on "zálohovat" that backs up the ticked table, the skin as the screen
// shows it while zipping, in the dialogs and in the progress window (each
// pictured too), and the scheduled mode that goes to the tray after three
// seconds and ends from the tray's menu.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <vector>

#include "app/window/main_form.h"
#include "app/window/progress_form.h"
#include "archive/meter/ab_meter.h"
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
#include "skin/skin_form.h"
#include "skin/file_theme.h"
#include "skin/skin_menus.h"
#include "skin/image_panel.h"
#include "skin/skin_progress_bar.h"
#include "skin/title_bar.h"
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
    SavePicture(Form1, name);
  }
  // What the screen shows of a window now, with a margin, saved in the
  // test's output folder.
  static void SavePicture(TCustomForm* window, const char* name) {
    const TRect r = window->BoundsRect();
    HBITMAP shot = GrabScreenArea(window->Handle(), Rect(r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10));
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

// The colours the screen shows in an area (screen coordinates).
std::vector<COLORREF> ScreenColours(const TRect& area) {
  std::vector<COLORREF> seen;
  HBITMAP shot = GrabScreenArea(Form1->Handle(), area);
  if (!shot) return seen;
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, shot);
  for (int y = 0; y < area.Height(); ++y)
    for (int x = 0; x < area.Width(); ++x) seen.push_back(GetPixel(dc, x, y));
  DeleteDC(dc);
  DeleteObject(shot);
  return seen;
}

COLORREF ScreenPixel(TControl* control, int x, int y) {
  const TPoint at = control->ClientToScreen(Point(x, y));
  const std::vector<COLORREF> seen = ScreenColours(Rect(at.X, at.Y, at.X + 1, at.Y + 1));
  return seen.empty() ? CLR_INVALID : seen[0];
}

// A pixel of a window's frame, counted from the window's top left corner.
COLORREF WindowPixel(TCustomForm* window, int x, int y) {
  const std::vector<COLORREF> seen = ScreenColours(Bounds(window->Left() + x, window->Top() + y, 1, 1));
  return seen.empty() ? CLR_INVALID : seen[0];
}

// The control's text is on the screen in the colour of its font.
bool TextShownInItsColour(TControl* control) {
  const TPoint at = control->ClientToScreen(Point(0, 0));
  const COLORREF text = ColorToRGB(control->Font()->Color());
  for (COLORREF c : ScreenColours(Bounds(at.X, at.Y, control->Width(), control->Height())))
    if (c == text) return true;
  return false;
}

// The skin's pictures that make the title bar, a button's faces and the
// progress bar's pieces, and the frame's bottom band.
constexpr std::initializer_list<int> kTitlePictures = {0, 1, 2, 3, 4}, kButtonPictures = {15},
                                      kBarPictures = {19, 20, 21, 22}, kBottomPictures = {7, 8, 9};

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
  EXPECT_TRUE(SkinPicturesHold(f, kButtonPictures, face)) << std::hex << face;
  const COLORREF bar = ScreenPixel(f.abmeter1, f.abmeter1->Width() / 4, f.abmeter1->Height() / 2);
  EXPECT_TRUE(SkinPicturesHold(f, kBarPictures, bar)) << std::hex << bar;
}

// The buttons of a dialog window, in the order they were made.
std::vector<TsuiButton*> ButtonsOf(TCustomForm* window) {
  std::vector<TsuiButton*> buttons;
  for (int i = 0; i < window->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TsuiButton*>(window->Components(i))) buttons.push_back(b);
  return buttons;
}

// A dialog window as the screen shows it: the skin's title bar and button
// faces, and its text whole inside the frame in the dialog's colour.
void ExpectSkinnedDialog(TForm1& f, TCustomForm* window, TsuiForm* frame, TControl* text) {
  TsuiTitleBar* bar = frame->TitleBar();
  ASSERT_NE(bar, nullptr);
  const COLORREF title = ScreenPixel(bar, bar->Width() * 2 / 3, 3);
  EXPECT_TRUE(SkinPicturesHold(f, kTitlePictures, title)) << std::hex << title;
  const std::vector<TsuiButton*> buttons = ButtonsOf(window);
  EXPECT_FALSE(buttons.empty());
  for (TsuiButton* b : buttons) {
    const COLORREF face = ScreenPixel(b, 4, b->Height() / 2);
    EXPECT_TRUE(SkinPicturesHold(f, kButtonPictures, face)) << b->Caption() << " " << std::hex << face;
    EXPECT_LE(TextWidthIn(b->Font(), b->Caption()) + 8, b->Width()) << b->Caption();
  }
  EXPECT_TRUE(TextShownInItsColour(text));
  EXPECT_LE(text->Left() + text->Width(), frame->ClientWidth());
  for (TsuiButton* b : buttons) EXPECT_LE(text->Top() + text->Height(), b->Top());
}

// A real run with both tables ticked, one big enough for the zipper to
// report its progress: while that table is packed, the program keeps its
// name on the status line for a second, and the screen is read and pictured
// then. The message that ends the run and the mask's input dialog are read
// and pictured as they appear.
TEST_F(MainWindowX11, WhileZippingAndInItsDialogsTheScreenShowsTheSkin) {
  struct BigTable {
    BigTable() {
      MariaDbServer::Get().Client(
          "create table vx_win.pohyby (id int primary key, popis varchar(80));"
          "insert into vx_win.pohyby with recursive n(i) as (select 1 union all select i + 1 from n where i < 400)"
          " select i, concat('pohyb ', i, ' ', repeat('x', 60)) from n");
    }
    ~BigTable() { MariaDbServer::Get().Client("drop table vx_win.pohyby"); }
  } big;
  std::ofstream(root_ / "bin/vorbex05.ini", std::ios::binary | std::ios::app) << "pohyby=True\r\n";
  Make({});
  TForm1& f = *Form1;

  int ticks = 0, boxTicks = 0;
  bool zipping = false;
  AnsiString message;
  TTimer watch(nullptr);
  watch.SetInterval(50);
  watch.OnTimer = [&](TObject*) {
    if (!zipping && f.Label7->Visible() && !f.Label7->Caption().empty() && ++ticks == 4) {
      zipping = true;
      SavePicture(&f, "zipping_window.png");
      const COLORREF face = ScreenPixel(f.suiButton2, 4, f.suiButton2->Height() / 2);
      EXPECT_TRUE(SkinPicturesHold(f, kButtonPictures, face)) << std::hex << face;
      const COLORREF track = ScreenPixel(f.abmeter1, f.abmeter1->Width() * 3 / 4, f.abmeter1->Height() / 2);
      EXPECT_TRUE(SkinPicturesHold(f, kBarPictures, track)) << std::hex << track;
      EXPECT_TRUE(f.AbMeter2->Visible());
      EXPECT_TRUE(TextShownInItsColour(f.Label7));
      EXPECT_LE(f.Label6->Left() + f.Label6->Width(), f.suiButton3->Left());
      EXPECT_LE(f.Label7->Left() + f.Label7->Width(), f.suiImagePanel2->Width());
    }
    auto* box = dynamic_cast<TfrmMsg*>(Screen->ActiveForm());
    if (!box || !box->Modal() || ++boxTicks < 4) return;
    SavePicture(box, "message_dialog.png");
    ExpectSkinnedDialog(f, box, box->suiForm1, box->lbl);
    message = box->lbl->Caption();
    box->SetModalResult(mrOk);
  };
  watch.SetEnabled(true);
  Click(f.suiButton2, 40, 13);
  ASSERT_TRUE(PumpApp([&] { return !message.empty(); }, 30000));
  EXPECT_TRUE(zipping);
  EXPECT_EQ(message, "Záloha databáze vytvořena!");

  ticks = 0;
  bool asked = false;
  watch.OnTimer = [&](TObject*) {
    auto* box = dynamic_cast<TfrmInput*>(Screen->ActiveForm());
    if (!box || !box->Modal() || ++ticks < 4) return;
    SavePicture(box, "input_dialog.png");
    ExpectSkinnedDialog(f, box, box->suiForm1, box->lbl_prompt);
    asked = true;
    box->SetModalResult(mrCancel);
  };
  f.Maskaproignorovat1->Click();
  EXPECT_TRUE(asked);
}

// The CD-writing window (the program makes it but never shows it) shown
// here: its bar's filled and empty parts and its frame come from the skin,
// the frame closed on top where the window has no title bar.
TEST_F(MainWindowX11, TheProgressWindowShowsTheSkinOnItsBarAndFrame) {
  Make({});
  TForm1& f = *Form1;
  TForm2* progress = nullptr;
  Application->CreateForm(progress);
  TsuiProgressBar* bar = progress->suiProgressBar1;
  bar->SetPosition(40);
  progress->Show();
  ProcessMessagesFor(300);
  SavePicture(progress, "progress_window.png");

  const COLORREF filled = ScreenPixel(bar, bar->Width() / 5, bar->Height() / 2);
  const COLORREF empty = ScreenPixel(bar, bar->Width() * 4 / 5, bar->Height() / 2);
  EXPECT_TRUE(SkinPicturesHold(f, kBarPictures, filled)) << std::hex << filled;
  EXPECT_TRUE(SkinPicturesHold(f, kBarPictures, empty)) << std::hex << empty;
  EXPECT_NE(filled, empty);
  for (int x : {1, progress->Width() / 2, progress->Width() - 2}) {
    const COLORREF top = WindowPixel(progress, x, 0), bottom = WindowPixel(progress, x, progress->Height() - 1);
    EXPECT_TRUE(SkinPicturesHold(f, kBottomPictures, top)) << x << " " << std::hex << top;
    EXPECT_EQ(top, bottom) << x;
  }
  EXPECT_TRUE(TextShownInItsColour(progress->Label1));
  EXPECT_LE(TextWidthIn(progress->Label1->Font(), progress->Label1->Caption()), progress->Label1->Width());
  progress->Free();
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

// Last of the tests: ending the program ends the application's loop for
// good, so no later test in this process could show a modal dialog.
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
