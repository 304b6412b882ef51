// The MDI parent's skinned frame: its cascade and tile arrangements, the
// menu panel with the active child's menu and the buttons of a maximized
// skinned child, the window list, the frame questions a skinned child asks,
// and the client window's own procedure back once the frame is gone.
#include <gtest/gtest.h>

#include "platform/gui/form_loader.h"
#include "platform/gui/headless_backend.h"
#include "skin/skin_button.h"
#include "skin/skin_form.h"
#include "skin/skin_mdi_form.h"
#include "skin/skin_menus.h"
#include "skin/skin_texts.h"
#include "skin/title_bar.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

class MDIFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    parent_ = new TForm(Application);
    parent_->SetFormStyle(fsMDIForm);
    parent_->SetBorderStyle(border_);
    parent_->SetBounds(40, 40, 520, 380);
    parent_->SetCaption("Zálohy");
    previousMain_ = Application->MainForm();
    Application->SetMainForm(parent_);
  }
  void TearDown() override {
    for (TForm* child : children_) child->Free();
    parent_->Free();
    Application->SetMainForm(previousMain_);
  }
  // The frame, with the parent's client area at 500 x 300, shown.
  TsuiMDIForm* Frame() {
    frame_ = new TsuiMDIForm(parent_);
    parent_->SetClientWidth(500);
    parent_->SetClientHeight(300);
    parent_->Show();
    Application->ProcessMessages();
    return frame_;
  }
  TForm* Child(const AnsiString& caption, bool skinned = false) {
    auto* child = new TForm(Application);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(10, 10, 200, 150);
    child->SetCaption(caption);
    if (skinned) new TsuiForm(child);
    child->Show();
    Application->ProcessMessages();
    children_.push_back(child);
    return child;
  }
  static TRect Bounds(TForm* f) { return f->BoundsRect(); }
  static TsuiForm* SkinnedFrame(TForm* f) {
    for (int i = 0; i < f->ControlCount(); ++i)
      if (auto* frame = dynamic_cast<TsuiForm*>(f->Controls(i))) return frame;
    return nullptr;
  }
  static TMainMenu* MenuOf(TComponent* owner, std::initializer_list<const char*> captions) {
    auto* menu = new TsuiMainMenu(owner);
    for (const char* caption : captions) {
      auto* item = new TMenuItem(menu);
      item->SetCaption(caption);
      menu->Items()->Add(item);
    }
    return menu;
  }
  static std::vector<AnsiString> BarCaptions(TsuiMDIForm* frame) {
    std::vector<AnsiString> captions;
    for (int i = 0; i < frame->MenuBar()->ButtonCount(); ++i) captions.push_back(frame->MenuBar()->Buttons(i)->Caption());
    return captions;
  }

  TBorderStyle border_ = bsSizeable;
  TForm* parent_ = nullptr;
  TsuiMDIForm* frame_ = nullptr;
  std::vector<TForm*> children_;
  TCustomForm* previousMain_ = nullptr;
};

TEST_F(MDIFormTest, OnlyAFormTakesTheFrame) {
  auto* panel = new TPanel(parent_);
  for (TComponent* owner : {static_cast<TComponent*>(panel), static_cast<TComponent*>(nullptr)}) {
    try {
      new TsuiMDIForm(owner);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), kMDIFormNotOnForm);
    }
  }
  EXPECT_EQ(panel->ComponentCount(), 0);
}

// Read from stored form data: the menu is fixed up before Loaded builds the bar.
TEST_F(MDIFormTest, BuiltFromStoredDataItShowsItsMenu) {
  TFormLoader load(parent_);
  auto* menu = load.Create<TMainMenu>("MainMenu");
  for (const char* caption : {"&Soubor", "&Okna"}) {
    auto* item = load.Create<TMenuItem>(AnsiString("Item") + std::to_string(menu->Items()->Count()));
    load.Set(item, "Caption", caption);
    menu->Items()->Add(item);
  }
  auto* frame = load.Create<TsuiMDIForm>("Frame");
  load.Set(frame, {{"UIStyle", "WinXP"}, {"TitleBarDrawChildMenus", "False"}, {"Caption", "Sklad"}});
  load.Ref(frame, "Menu", "MainMenu");
  load.Finish();
  EXPECT_EQ(frame->Menu(), menu);
  EXPECT_EQ(frame->UIStyle(), WinXP);
  EXPECT_FALSE(frame->TitleBarDrawChildMenus());
  EXPECT_EQ(parent_->Caption(), "Sklad");
  EXPECT_EQ(BarCaptions(frame), (std::vector<AnsiString>{"&Soubor", "&Okna"}));
  EXPECT_TRUE(frame->MenuPanel()->Visible());
}

TEST_F(MDIFormTest, CascadeLaysTheChildrenDownFromTheHighestIndex) {
  Frame();
  TForm* first = Child("První");
  TForm* second = Child("Druhá");
  TForm* third = Child("Třetí");
  ASSERT_EQ(parent_->MDIChildCount(), 3);
  ASSERT_EQ(parent_->MDIChildren(0), third);
  ASSERT_EQ(parent_->ActiveMDIChild(), third);
  parent_->Cascade();
  EXPECT_EQ(Bounds(first), Rect(0, 0, 400, 180));
  EXPECT_EQ(Bounds(second), Rect(22, 22, 422, 202));
  EXPECT_EQ(Bounds(third), Rect(44, 44, 444, 224));
}

TEST_F(MDIFormTest, TilingKeepsTheIconRowOfAMinimizedChild) {
  Frame();
  TForm* minimized = Child("Ikona");
  TForm* lower = Child("Dolní");
  TForm* upper = Child("Horní");
  minimized->SetWindowState(wsMinimized);
  ASSERT_EQ(minimized->WindowState(), wsMinimized);
  const int usable = 300 - frame_->TitleBar()->Height() - 25;
  parent_->SetTileMode(tbVertical);
  parent_->Tile();
  EXPECT_EQ(Bounds(lower), Rect(0, 0, 248, usable - 4));
  EXPECT_EQ(Bounds(upper), Rect(248, 0, 496, usable - 4));
  parent_->SetTileMode(tbHorizontal);
  parent_->Tile();
  const int row = usable / 2;
  EXPECT_EQ(Bounds(lower), Rect(0, 0, 496, row - 2));
  EXPECT_EQ(Bounds(upper), Rect(0, row - 2, 496, 2 * (row - 2)));
}

TEST_F(MDIFormTest, MaximizedChildShowsButtonsForItsTitleButtons) {
  Frame();
  frame_->SetMenu(MenuOf(parent_, {"&Soubor", "&Okna"}));
  TForm* child = Child("Tabulky", true);
  TsuiTitleBar* title = SkinnedFrame(child)->TitleBar();
  title->ClearButtons();
  for (TsuiTitleBarBtnType type : {suiMin, suiClose}) title->AddButton()->SetButtonType(type);
  child->SetWindowState(wsMaximized);
  Application->ProcessMessages();
  const int width = frame_->MenuPanel()->Width();
  struct {
    int tag;
    bool shown;
    int left;
  } const cases[] = {{kMDICloseTag, true, width - 20}, {kMDIRestoreTag, false, width - 38},
                     {kMDIMinimizeTag, true, width - 56}};
  for (const auto& c : cases) {
    TsuiToolBarSpeedButton* button = frame_->ChildButton(c.tag);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Tag(), c.tag);
    EXPECT_EQ(button->Visible(), c.shown) << c.tag;
    EXPECT_EQ(button->Left(), c.left) << c.tag;
  }
  ExpectPicture(*Snapshot(frame_->MenuPanel()), "mdi_panel_maximized_child");
  // The child covers the client window with its title left to the parent's bar.
  EXPECT_FALSE(title->Visible());
  RECT area;
  GetClientRect(parent_->ClientHandle(), &area);
  EXPECT_EQ(child->ClientWidth(), area.Right);
  EXPECT_EQ(child->ClientHeight(), area.Bottom);

  child->SetWindowState(wsNormal);
  for (const auto& c : cases) EXPECT_FALSE(frame_->ChildButton(c.tag)->Visible());
  EXPECT_TRUE(title->Visible());
  EXPECT_EQ(Bounds(child), Rect(10, 10, 210, 160));
}

// Maximized, a child's content moves up into its hidden title's place and
// comes back when restored, each time.
TEST_F(MDIFormTest, ChildContentFollowsTheHiddenTitle) {
  Frame();
  auto contentTop = [](TForm* child) {
    auto* button = new TButton(child);
    button->SetParent(SkinnedFrame(child));
    button->SetBounds(10, 40, 60, 20);
    return button;
  };
  TForm* child = Child("Tabulky", true);
  TButton* button = contentTop(child);
  const int title = SkinnedFrame(child)->TitleBar()->Height();
  child->SetWindowState(wsMaximized);
  Application->ProcessMessages();
  EXPECT_EQ(button->Top(), 40 - title + 3);
  child->SetWindowState(wsNormal);
  Application->ProcessMessages();
  EXPECT_EQ(button->Top(), 40);
  child->SetWindowState(wsMaximized);
  child->SetWindowState(wsNormal);
  Application->ProcessMessages();
  EXPECT_EQ(button->Top(), 40);
}

// A child read maximized from its stored data gets its frame before its
// content: every restore puts the content back where it was designed, and
// every later maximize moves it up into the hidden title's place.
TEST_F(MDIFormTest, ChildCreatedMaximizedRestoresItsContentWhereDesigned) {
  Frame();
  auto* child = new TForm(Application);
  children_.push_back(child);
  TFormLoader load(child);
  load.Set(child, {{"FormStyle", "fsMDIChild"}, {"WindowState", "wsMaximized"}, {"Left", "10"}, {"Top", "10"},
                   {"Width", "200"}, {"Height", "150"}});
  auto* frame = load.Create<TsuiForm>("suiForm1", child);
  auto* button = load.Create<TButton>("Button1", frame);
  load.Set(button, {{"Left", "10"}, {"Top", "40"}, {"Width", "60"}, {"Height", "20"}});
  load.Finish();
  child->Show();
  Application->ProcessMessages();
  ASSERT_EQ(child->WindowState(), wsMaximized);
  const int moved = 40 - frame->TitleBar()->Height() + 3;
  for (int round = 0; round < 2; ++round) {
    child->SetWindowState(wsNormal);
    Application->ProcessMessages();
    EXPECT_EQ(button->Top(), 40) << "restore " << round;
    EXPECT_TRUE(frame->TitleBar()->Visible());
    child->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    EXPECT_EQ(button->Top(), moved) << "maximize " << round;
  }
}

// Closing the maximized child restores the client's state: the parent's bar
// no longer shows the buttons of a child that is gone.
TEST_F(MDIFormTest, FreeingTheMaximizedChildHidesItsButtons) {
  Frame();
  frame_->SetMenu(MenuOf(parent_, {"&Soubor"}));
  TForm* child = Child("Tabulky", true);
  child->SetWindowState(wsMaximized);
  Application->ProcessMessages();
  ASSERT_TRUE(frame_->ChildButton(kMDICloseTag)->Visible());
  children_.pop_back();
  child->Free();
  Application->ProcessMessages();
  EXPECT_FALSE(frame_->ChildButton(kMDICloseTag)->Visible());
}

// The client window's WM_MDIRESTORE and WM_MDIREFRESHMENU, while a test listens.
std::vector<std::pair<UINT, WPARAM>> heard;
WNDPROC heardNext = nullptr;
LRESULT Hear(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_MDIRESTORE || msg == WM_MDIREFRESHMENU) heard.emplace_back(msg, wparam);
  return CallWindowProcA(heardNext, hwnd, msg, wparam, lparam);
}

// A skinned child that goes while maximized leaves the client restored (the
// next child is not shown maximized for it), and the last child to go has
// the menu refreshed even when it was not the active one.
TEST_F(MDIFormTest, AGoingChildRestoresTheClientAndTheLastOneRefreshesTheMenu) {
  Frame();
  const HWND client = parent_->ClientHandle();
  heardNext = WNDPROC(SetWindowLongPtrA(client, GWLP_WNDPROC, LONG_PTR(&Hear)));
  auto freeChild = [&](TForm* child) {
    std::erase(children_, child);
    heard.clear();
    child->Free();
    Application->ProcessMessages();
  };
  TForm* plain = Child("Seznam");
  TForm* maximized = Child("Tabulky", true);
  maximized->SetWindowState(wsMaximized);
  Application->ProcessMessages();
  const HWND going = maximized->Handle();
  freeChild(maximized);
  EXPECT_NE(std::find(heard.begin(), heard.end(), std::pair<UINT, WPARAM>(WM_MDIRESTORE, WPARAM(going))), heard.end());
  EXPECT_EQ(plain->WindowState(), wsNormal);
  freeChild(plain);

  TForm* last = Child("Poslední", true);
  last->Hide();
  Application->ProcessMessages();
  freeChild(last);
  EXPECT_NE(std::find(heard.begin(), heard.end(), std::pair<UINT, WPARAM>(WM_MDIREFRESHMENU, 0)), heard.end());
  SetWindowLongPtrA(client, GWLP_WNDPROC, LONG_PTR(heardNext));
}

TEST_F(MDIFormTest, BarShowsTheActiveChildsOwnMenu) {
  Frame();
  TMainMenu* own = MenuOf(parent_, {"&Soubor", "&Okna"});
  parent_->SetWindowMenu(own->Items()->Items(1));
  frame_->SetMenu(own);
  TForm* plain = Child("Protokol");
  TForm* skinned = Child("Tabulky", true);
  SkinnedFrame(skinned)->SetMenu(MenuOf(skinned, {"&Tabulka", "&Záloha"}));
  EXPECT_EQ(SkinnedFrame(skinned)->MenuBar(), nullptr);  // the parent shows it

  SendMessageA(parent_->ClientHandle(), WM_MDIACTIVATE, WPARAM(plain->Handle()), 0);
  EXPECT_FALSE(SkinnedFrame(skinned)->TitleBar()->FormActive());
  SendMessageA(parent_->ClientHandle(), WM_MDIACTIVATE, WPARAM(skinned->Handle()), 0);
  EXPECT_TRUE(SkinnedFrame(skinned)->TitleBar()->FormActive());
  EXPECT_EQ(frame_->ShownMenu(), SkinnedFrame(skinned)->Menu());
  EXPECT_EQ(BarCaptions(frame_), (std::vector<AnsiString>{"&Tabulka", "&Záloha"}));

  // The parent's own menu lists the children under its window menu.
  SendMessageA(parent_->ClientHandle(), WM_MDIACTIVATE, WPARAM(plain->Handle()), 0);
  EXPECT_EQ(frame_->ShownMenu(), own);
  EXPECT_EQ(BarCaptions(frame_), (std::vector<AnsiString>{"&Soubor", "&Okna"}));
  TMenuItem* windows = own->Items()->Items(1);
  ASSERT_EQ(windows->Count(), 3);
  EXPECT_EQ(windows->Items(0)->Caption(), "-");
  EXPECT_EQ(windows->Items(1)->Caption(), "Tabulky");
  EXPECT_EQ(windows->Items(2)->Caption(), "Protokol");
  // Its item brings the child to the front.
  windows->Items(1)->Click();
  EXPECT_EQ(parent_->ActiveMDIChild(), skinned);

  // A child that goes hands the bar back.
  children_.pop_back();
  skinned->Free();
  EXPECT_EQ(parent_->ActiveMDIChild(), plain);
  EXPECT_EQ(frame_->ShownMenu(), own);
}

TEST_F(MDIFormTest, ShortcutsRunInTheMenuOnTheBar) {
  Frame();
  TMainMenu* own = MenuOf(parent_, {"&Soubor"});
  frame_->SetMenu(own);
  TForm* child = Child("Tabulky", true);
  TMainMenu* childMenu = MenuOf(child, {"&Tabulka"});
  int ownRuns = 0, childRuns = 0;
  for (auto [menu, runs] : {std::pair{own, &ownRuns}, {childMenu, &childRuns}}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption("&Nový");
    item->SetShortCut(ShortCut('N', ssCtrl));
    item->OnClick = [runs = runs](TObject*) { ++*runs; };
    menu->Items()->Items(0)->Add(item);
  }
  auto ctrlN = [] {
    PressKeyWith(VK_CONTROL, 'N');
    Application->ProcessMessages();
  };
  ctrlN();
  EXPECT_EQ(ownRuns, 1);
  SkinnedFrame(child)->SetMenu(childMenu);
  EXPECT_EQ(frame_->ShownMenu(), childMenu);
  ctrlN();
  EXPECT_EQ(childRuns, 1);
  EXPECT_EQ(ownRuns, 1);
}

// The whole parent in the main window's skin: title, bar, bands and three
// cascaded skinned children.
TEST_F(MDIFormTest, ParentInTheSkinWithCascadedChildren) {
  auto* theme = new TsuiBuiltInFileTheme(parent_);
  skintest::LoadMainSkin(theme);
  Frame();
  frame_->SetFileTheme(theme);
  frame_->SetUIStyle(FromThemeFile);
  frame_->SetMenu(MenuOf(parent_, {"&Soubor", "Ú&pravy", "&Okna"}));
  for (const char* caption : {"Tabulky", "Protokol", "Nastavení"}) {
    SkinnedFrame(Child(caption, true))->SetFileTheme(theme);
    SkinnedFrame(children_.back())->SetUIStyle(FromThemeFile);
  }
  parent_->Cascade();
  Application->ProcessMessages();
  ExpectPicture(*Snapshot(parent_), "mdi_parent_skin");
}

TEST_F(MDIFormTest, SkinnedChildTakesTheParentsFrameMeasures) {
  border_ = bsDialog;
  TearDown();
  SetUp();
  Frame();
  const LRESULT bottom = SendMessageA(parent_->Handle(), kMDIBottomFrameQuery, 0, 0);
  const LRESULT left = SendMessageA(parent_->Handle(), kMDILeftFrameQuery, 0, 0);
  EXPECT_EQ(bottom, 3);
  EXPECT_EQ(left, 3);
  // A sizeable child measured alone would answer 4 - 1.
  TForm* child = Child("Tabulky", true);
  EXPECT_EQ(SendMessageA(child->Handle(), kSkinBorderQuery, 0, 0), bottom - 1);
}

// A skinned child made with a fixed border answers its edges as a plain
// border even where its window has a sizing frame (as MDI children may get
// on other window systems); a sizeable one answers sizing edges.
TEST_F(MDIFormTest, FixedBorderChildCannotBeSizedAtItsEdges) {
  Frame();
  auto hitAtCorner = [&](TBorderStyle border) {
    auto* child = new TForm(Application);
    children_.push_back(child);
    child->SetFormStyle(fsMDIChild);
    child->SetBorderStyle(border);
    child->SetBounds(10, 10, 200, 150);
    new TsuiForm(child);
    child->Show();
    Application->ProcessMessages();
    const HWND h = child->Handle();
    SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_THICKFRAME);
    RECT r;
    GetWindowRect(h, &r);
    return SendMessageA(child->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.Right - 1, r.Bottom - 1));
  };
  EXPECT_EQ(hitAtCorner(bsSizeable), HTBOTTOMRIGHT);
  EXPECT_EQ(hitAtCorner(bsSingle), HTBORDER);
}

TEST_F(MDIFormTest, ClientGetsItsOwnProcedureBack) {
  parent_->Show();
  const HWND client = parent_->ClientHandle();
  const LONG_PTR own = GetWindowLongPtrA(client, GWLP_WNDPROC);
  Frame();
  EXPECT_NE(GetWindowLongPtrA(client, GWLP_WNDPROC), own);
  TForm* first = Child("První");
  TForm* second = Child("Druhá");
  frame_->Free();
  frame_ = nullptr;
  EXPECT_EQ(GetWindowLongPtrA(client, GWLP_WNDPROC), own);
  // The client's own cascade: three quarters of its area, a caption apart.
  RECT area;
  GetClientRect(client, &area);
  EXPECT_EQ(SendMessageA(client, WM_MDICASCADE, 0, 0), 1);
  EXPECT_EQ(Bounds(first), Rect(0, 0, area.Right * 3 / 4, area.Bottom * 3 / 4));
  EXPECT_EQ(Bounds(second).Left, GetSystemMetrics(SM_CYCAPTION) + 4);
  SendMessageA(client, WM_PAINT, 0, 0);
  SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
}

}  // namespace
