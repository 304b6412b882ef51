// The skinned frame's menu bar: one button per top-level item under the
// title bar, greyed with its item, its gradient and the frame pieces beside
// it, Alt and the "&" letter, and shortcuts only while the form is active.
#include <gtest/gtest.h>

#include "platform/gui/headless_backend.h"
#include "skin/skin_menu_bar.h"
#include "skin/skin_menus.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

class MenuBarTest : public skintest::FrameTest {
protected:
  // A skinned main menu "&Soubor" (Nový Ctrl+N, &Konec), "Ú&pravy", "&Nápověda".
  TsuiMainMenu* Menu() {
    menu_ = new TsuiMainMenu(form_);
    for (const char* caption : {"&Soubor", "Ú&pravy", "&Nápověda"}) {
      auto* item = new TMenuItem(menu_);
      item->SetCaption(caption);
      menu_->Items()->Add(item);
    }
    newItem_ = Sub(0, "&Nový");
    newItem_->SetShortCut(ShortCut('N', ssCtrl));
    exitItem_ = Sub(0, "&Konec");
    return menu_;
  }
  TMenuItem* Sub(int top, const char* caption) {
    auto* item = new TMenuItem(menu_);
    item->SetCaption(caption);
    menu_->Items()->Items(top)->Add(item);
    return item;
  }
  TsuiForm* FrameWithMenu(TsuiUIStyle style = DeepBlue) {
    form_ = new TForm(Application);
    theme_ = new TsuiBuiltInFileTheme(form_);
    TsuiForm* frame = Frame(bsDialog, style);
    frame->SetMenu(Menu());
    menu_->SetFileTheme(theme_);
    menu_->SetUIStyle(style);
    Application->ProcessMessages();
    return frame;
  }
  // Every pixel of the window's row y between x0 and x1 (exclusive) has the colour.
  bool RowIs(int y, int x0, int x1, uint32_t rgb) const {
    for (int x = x0; x < x1; ++x)
      if (Pixel(x, y) != rgb) return false;
    return true;
  }

  TsuiMainMenu* menu_ = nullptr;
  TMenuItem* newItem_ = nullptr;
  TMenuItem* exitItem_ = nullptr;
};

TEST_F(MenuBarTest, BarComesAndGoesWithTheMenu) {
  TsuiForm* frame = Frame(bsSizeable, DeepBlue);
  EXPECT_EQ(frame->MenuBar(), nullptr);
  EXPECT_EQ(frame->MenuBarHeight(), 0);
  const int titleHeight = frame->TitleBar()->Height();
  EXPECT_EQ(frame->GetTitleBarBandHeight(), titleHeight + 3);

  frame->SetMenu(Menu());
  Application->ProcessMessages();
  TsuiMenuBar* bar = frame->MenuBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->OwnerForm(), frame);
  EXPECT_EQ(menu_->Frame(), frame);
  EXPECT_EQ(bar->Top(), titleHeight);
  EXPECT_EQ(frame->MenuBarHeight(), 22);
  EXPECT_EQ(frame->GetTitleBarBandHeight(), titleHeight + 3);
  ASSERT_EQ(bar->ButtonCount(), 3);
  int left = -1;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bar->Buttons(i)->MenuItem(), menu_->Items()->Items(i));
    EXPECT_EQ(bar->Buttons(i)->Caption(), menu_->Items()->Items(i)->Caption());
    EXPECT_GT(bar->Buttons(i)->Left(), left);
    left = bar->Buttons(i)->Left();
  }
  // Items added later get their buttons.
  auto* help = new TMenuItem(menu_);
  help->SetCaption("&Okna");
  menu_->Items()->Add(help);
  ASSERT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(bar->Buttons(3)->Caption(), "&Okna");

  // Removing the menu takes the bar away; freeing it does as well.
  frame->SetMenu(nullptr);
  EXPECT_EQ(frame->MenuBar(), nullptr);
  EXPECT_EQ(menu_->Frame(), nullptr);
  frame->SetMenu(menu_);
  ASSERT_NE(frame->MenuBar(), nullptr);
  menu_->Free();
  EXPECT_EQ(frame->MenuBar(), nullptr);
  EXPECT_EQ(frame->Menu(), nullptr);
}

TEST_F(MenuBarTest, DisabledItemGreysItsButtonAtTheNextChange) {
  TsuiForm* frame = FrameWithMenu();
  TToolButton* edit = frame->MenuBar()->Buttons(1);
  EXPECT_TRUE(edit->Enabled());
  menu_->Items()->Items(1)->SetEnabled(false);
  EXPECT_FALSE(edit->Enabled());
  menu_->Items()->Items(0)->SetCaption("&Archiv");
  EXPECT_EQ(frame->MenuBar()->Buttons(0)->Caption(), "&Archiv");
  Application->ProcessMessages();
  ExpectPicture(*Snapshot(frame->MenuBar()), "menubar_disabled_item");
}

TEST_F(MenuBarTest, GradientRowsAndFramePieces) {
  TsuiForm* frame = FrameWithMenu();
  const int top = frame->MenuBar()->ClientToScreen(Point(0, 0)).Y - form_->Top();
  const int bottom = top + frame->MenuBarHeight() - 1;
  const int w = form_->Width();
  const int bw = frame->BorderWidth();
  // The plain bar keeps its colour, the pieces beside it too.
  const uint32_t plain = Rgb(frame->MenuBarColor());
  EXPECT_TRUE(RowIs(top, bw, w - bw, plain));
  EXPECT_TRUE(RowIs(bottom, bw, w - bw, plain));

  frame->SetMenuBarColor(0x0000FF);
  frame->SetMenuBarToColor(0xFF0000);
  frame->PaintFrame();
  EXPECT_TRUE(RowIs(top, bw, w - bw, 0xFF0000));
  EXPECT_TRUE(RowIs(bottom, bw, w - bw, 0x0000FF));
}

TEST_F(MenuBarTest, AltAndLetterOpenTheSubmenu) {
  FrameWithMenu();
  int exits = 0;
  exitItem_->OnClick = [&](TObject*) { ++exits; };
  // Without Alt the letters open nothing: "k" then finds no open menu.
  PressKey('S', "s");
  PressKey('K', "k");
  Application->ProcessMessages();
  EXPECT_EQ(exits, 0);
  // Alt+S drops "&Soubor" down, where "k" chooses "&Konec".
  PressKeyWith(VK_MENU, 'S', "s");
  PressKey('K', "k");
  Application->ProcessMessages();
  EXPECT_EQ(exits, 1);
}

// The pointer over a button lights it in the style's highlight (the MacOS
// picture, the skin's colours); while lit, a letter alone opens its item.
TEST_F(MenuBarTest, HotButtonIsLitAndTakesLettersWithoutAlt) {
  for (auto [style, picture] : {std::pair{DeepBlue, "menubar_hot_deepblue"}, {MacOS, "menubar_hot_macos"},
                                {FromThemeFile, "menubar_hot_skin"}}) {
    SCOPED_TRACE(picture);
    TsuiForm* frame = FrameWithMenu(style);
    TToolButton* file = frame->MenuBar()->Buttons(0);
    EXPECT_EQ(file->Tag(), 0);
    HeadlessMouseMove(CentreOf(file).X, CentreOf(file).Y);
    Application->ProcessMessages();
    UpdateWindow(form_->Handle());
    EXPECT_EQ(file->Tag(), kMenuBarLitMarker);
    ExpectPicture(*Snapshot(file), picture);
    int exits = 0;
    exitItem_->OnClick = [&](TObject*) { ++exits; };
    PressKey('S', "s");
    PressKey('K', "k");
    Application->ProcessMessages();
    EXPECT_EQ(exits, 1);
    HeadlessMouseMove(0, 0);
    Application->ProcessMessages();
    Drop();
  }
}

TEST_F(MenuBarTest, ShortcutRunsItsItemOnlyWhileTheFormIsActive) {
  FrameWithMenu();
  int created = 0;
  newItem_->OnClick = [&](TObject*) { ++created; };
  auto ctrlN = [] {
    PressKeyWith(VK_CONTROL, 'N');
    Application->ProcessMessages();
  };
  ctrlN();
  EXPECT_EQ(created, 1);

  TForm* other = new TForm(Application);
  other->SetBounds(400, 300, 200, 100);
  other->Show();
  Application->ProcessMessages();
  ASSERT_FALSE(form_->Active());
  ctrlN();
  EXPECT_EQ(created, 1);
  other->Free();
}

}  // namespace
