// The standard controls on a shown form with scripted input: edits (typing,
// selection, clipboard keys, limits, the formatting rectangle), the memo
// (lines, saving, scrolling), the check list (check column, Space, code
// changes), popup menus and buttons inside panels.
#include <gtest/gtest.h>

#include "platform/gui/clipboard.h"
#include "platform/gui/edits.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/list_boxes.h"
#include "platform/gui/menus.h"
#include "platform/gui/scroll_info.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/tool_bars.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/support/file_reader.h"
#include "tests/support/temp_folder.h"

namespace {

struct ShownForm : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(50, 50, 400, 300);
  }
  void TearDown() override { form->Free(); }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    T* c = new T(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void Show() {
    form->Show();
    Application->ProcessMessages();
  }
  static void Type(const std::string& text) {
    for (char c : text) PressKey(0, std::string(1, c));
    Application->ProcessMessages();
  }
  static void Chord(int vk, int modifier) {
    HeadlessKeyDown(modifier);
    PressKey(vk);
    HeadlessKeyUp(modifier);
    Application->ProcessMessages();
  }
  TForm* form;
};

using Edits = ShownForm;

TEST_F(Edits, TypingEditingAndTheClipboardKeys) {
  auto* edit = Add<TEdit>(10, 10, 200, 22);
  auto* other = Add<TEdit>(10, 40, 200, 22);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  Show();
  edit->SetFocus();
  Type("Kůň");
  EXPECT_EQ(edit->Text(), "Kůň");
  EXPECT_EQ(changes, 3);
  PressKey(VK_BACK, "\b");
  PressKey(VK_HOME);
  HeadlessKeyDown(VK_SHIFT);
  PressKey(VK_RIGHT);
  HeadlessKeyUp(VK_SHIFT);
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), "Ků");
  EXPECT_EQ(edit->SelText(), "K");
  Chord('C', VK_CONTROL);
  EXPECT_EQ(Clipboard()->AsText(), "K");
  PressKey(VK_END);
  Chord('V', VK_CONTROL);
  EXPECT_EQ(edit->Text(), "KůK");
  Chord('Z', VK_CONTROL);
  EXPECT_EQ(edit->Text(), "Ků") << "one level of undo";

  // Pasting a multi-line text into one line keeps the first line only; the
  // limit cuts what is pasted, never what is there.
  other->SetFocus();
  other->SetMaxLength(5);
  Clipboard()->SetAsText("abcdefgh\r\nsecond");
  Chord('V', VK_CONTROL);
  EXPECT_EQ(other->Text(), "abcde");
  Type("x");
  EXPECT_EQ(other->Text(), "abcde");
  other->SetReadOnly(true);
  other->SelectAll();
  PressKey(VK_DELETE);
  Chord('X', VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(other->Text(), "abcde");
  EXPECT_EQ(Clipboard()->AsText(), "abcdefgh\r\nsecond") << "cutting from a read-only edit copies nothing";
}

TEST_F(Edits, FormattingRectangleAndSelectionMessages) {
  auto* edit = Add<TEdit>(10, 10, 200, 22);
  Show();
  RECT r;
  edit->Perform(EM_GETRECT, 0, LPARAM(&r));
  EXPECT_EQ(r.Left, 2);
  const RECT narrow = Rect(2, 1, 150, 18);
  edit->Perform(EM_SETRECTNP, 0, LPARAM(&narrow));
  EXPECT_EQ(edit->FormattingRect(), narrow);
  edit->SetText("0123456789");
  edit->Perform(EM_SETSEL, 2, 5);
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 3);
  edit->Perform(EM_REPLACESEL, 1, LPARAM("ab"));
  EXPECT_EQ(edit->Text(), "01ab56789");
  edit->Perform(EM_SETSEL, 0, -1);
  EXPECT_EQ(edit->SelLength(), 9);
  edit->Perform(EM_SETSEL, 50, 60);
  EXPECT_EQ(edit->SelStart(), 9) << "positions beyond the end stop at it";
  SendMessageA(edit->Handle(), WM_SETTEXT, 0, LPARAM("přes okno"));
  EXPECT_EQ(edit->Text(), "přes okno");
  char buffer[32];
  GetWindowTextA(edit->Handle(), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "přes okno");
}

using Memos = ShownForm;

TEST_F(Memos, LinesEndInCrLfAndSaveAsWindows1250) {
  auto* memo = Add<TMemo>(10, 10, 300, 100);
  memo->Lines()->Add("řádek");
  memo->Lines()->Add("druhý");
  EXPECT_EQ(memo->Text(), "řádek\r\ndruhý\r\n");
  EXPECT_EQ(memo->Lines()->Count(), 2);
  memo->Lines()->Insert(1, "");
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Lines()->Text(), "\r\ndruhý\r\n");
  memo->SetText("bez konce");
  EXPECT_EQ(memo->Lines()->Count(), 1);
  memo->Lines()->Add("ř");
  EXPECT_EQ(memo->Text(), "bez konce\r\nř\r\n");
  EXPECT_THROW(memo->Lines()->Delete(5), EStringListError);

  TempFolder tmp;
  memo->Clear();
  memo->Lines()->Add("ř");
  memo->Lines()->SaveToFile(tmp.name() + "/protokol.txt");
  EXPECT_EQ(FileBytes(tmp.path() / "protokol.txt"), "\xF8\r\n");
}

TEST_F(Memos, EnterBreaksTheLineAndTheWheelAndScrollMessagesMoveTheView) {
  auto* memo = Add<TMemo>(10, 10, 300, 100);
  memo->SetScrollBars(ssVertical);
  Show();
  memo->SetFocus();
  Type("a");
  PressKey(VK_RETURN, "\r");
  Type("b");
  EXPECT_EQ(memo->Text(), "a\r\nb");
  PressKey(VK_BACK, "\b");
  PressKey(VK_BACK, "\b");
  Application->ProcessMessages();
  EXPECT_EQ(memo->Text(), "a") << "one Backspace takes the whole line end";

  for (int i = 0; i < 50; ++i) memo->Lines()->Add("line " + std::to_string(i));
  memo->Perform(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(memo->TopLine(), 0);
  memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(memo->TopLine(), 3);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(memo->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nPos, 3);
  EXPECT_EQ(si.nMax, memo->Lines()->Count());  // the empty line after the last CR LF counts for the view
  EXPECT_EQ(int(si.nPage), memo->VisibleLineCount());
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &bar));
  EXPECT_EQ(bar.rgstate[0], 0u) << "shown and usable";
  EXPECT_EQ(bar.rcScrollBar.Right, memo->ClientToScreen(Point(memo->ClientWidth(), 0)).X);
  const int thumbAfterWheel = bar.xyThumbTop;
  EXPECT_GT(thumbAfterWheel, bar.dxyLineButton);
  memo->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
  EXPECT_EQ(memo->TopLine(), si.nMax + 1 - memo->VisibleLineCount()) << "the thumb stops at the last page";
  GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &bar);
  EXPECT_EQ(bar.xyThumbBottom, bar.rcScrollBar.Bottom - bar.rcScrollBar.Top - bar.dxyLineButton);
  memo->SetScrollBars(ssNone);
  GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &bar);
  EXPECT_TRUE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

// Not wrapped, a line wider than the memo is read by scrolling sideways: the
// horizontal bar lies along the bottom beside the vertical one, counts the
// widest line in pixels, and its arrow, the scroll requests and its thumb
// move the view. Wrapped lines fit, so the bar is then idle.
TEST_F(Memos, AnUnwrappedLongLineScrollsSideways) {
  auto* memo = Add<TMemo>(10, 10, 300, 100);
  memo->SetWordWrap(false);
  memo->SetScrollBars(ssBoth);
  memo->Lines()->Add("krátký");
  memo->Lines()->Add(AnsiString(120, 'W') + " konec");
  Show();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(memo->Handle(), SB_HORZ, &si));
  EXPECT_GT(si.nMax + 1, int(si.nPage) * 3);
  EXPECT_EQ(si.nPos, 0);
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_HSCROLL, &bar));
  EXPECT_EQ(bar.rgstate[0], 0u) << "shown and usable";
  const TPoint corner = memo->ClientToScreen(Point(memo->ClientWidth(), memo->ClientHeight()));
  EXPECT_EQ(bar.rcScrollBar, Rect(corner.X - memo->ClientWidth(), corner.Y - 16, corner.X - 16, corner.Y));

  HeadlessClick(bar.rcScrollBar.Right - 8, bar.rcScrollBar.Top + 8);  // the right arrow
  Application->ProcessMessages();
  EXPECT_EQ(GetScrollPos(memo->Handle(), SB_HORZ), 8);
  memo->Perform(WM_HSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(GetScrollPos(memo->Handle(), SB_HORZ), si.nMax + 1 - int(si.nPage)) << "the end of the line in view";
  GetScrollBarInfo(memo->Handle(), OBJID_HSCROLL, &bar);
  EXPECT_EQ(bar.xyThumbBottom, bar.rcScrollBar.Right - bar.rcScrollBar.Left - bar.dxyLineButton);
  // The thumb dragged back to the start.
  const int thumbY = bar.rcScrollBar.Top + 8, thumbX = bar.rcScrollBar.Left + bar.xyThumbTop + 2;
  HeadlessMouseMove(thumbX, thumbY);
  HeadlessMouseDown(thumbX, thumbY);
  HeadlessMouseMove(bar.rcScrollBar.Left, thumbY);
  HeadlessMouseUp(bar.rcScrollBar.Left, thumbY);
  Application->ProcessMessages();
  EXPECT_EQ(GetScrollPos(memo->Handle(), SB_HORZ), 0);

  memo->Perform(WM_HSCROLL, SB_BOTTOM, 0);
  memo->SetWordWrap(true);
  GetScrollBarInfo(memo->Handle(), OBJID_HSCROLL, &bar);
  EXPECT_EQ(bar.rgstate[0], DWORD(STATE_SYSTEM_UNAVAILABLE));
  EXPECT_EQ(GetScrollPos(memo->Handle(), SB_HORZ), 0);
}

using CheckLists = ShownForm;

TEST_F(CheckLists, OnClickCheckFiresForTheUsersChangesOnly) {
  auto* list = Add<TCheckListBox>(10, 10, 200, 120);
  for (const char* t : {"zakaznici", "objednavky", "faktury"}) list->Items()->Add(t);
  int clicks = 0, checks = 0;
  list->OnClickCheck = [&](TObject*) { ++checks; };
  list->OnClick = [&](TObject*) { ++clicks; };
  Show();

  list->SetChecked(0, true);
  EXPECT_TRUE(list->Checked(0));
  EXPECT_EQ(checks, 0) << "a change from code is not announced";

  const TRect item1 = list->ItemRect(1);
  const TPoint inColumn = list->ClientToScreen(Point(item1.Left + 5, item1.Top + 5));
  HeadlessClick(inColumn.X, inColumn.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(list->Checked(1));
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);

  const TPoint onText = list->ClientToScreen(Point(item1.Left + 60, item1.Top + 5));
  HeadlessClick(onText.X, onText.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(list->Checked(1)) << "a click on the text only selects";
  EXPECT_EQ(checks, 1);

  PressKey(VK_SPACE, " ");
  Application->ProcessMessages();
  EXPECT_FALSE(list->Checked(1));
  EXPECT_EQ(checks, 2);

  // Disabled items stay as they are; the state moves with its item.
  list->SetItemEnabled(2, false);
  PressKey(VK_DOWN);
  PressKey(VK_SPACE, " ");
  Application->ProcessMessages();
  EXPECT_FALSE(list->Checked(2));
  list->Items()->Delete(0);
  EXPECT_FALSE(list->Checked(0));
  EXPECT_FALSE(list->ItemEnabled(1));
}

TEST_F(CheckLists, OwnerDrawingGetsEveryVisibleItemAfterTheCheckColumn) {
  auto* list = Add<TCheckListBox>(10, 10, 200, 60);
  for (int i = 0; i < 10; ++i) list->Items()->Add("t" + std::to_string(i));
  list->SetStyle(lbOwnerDrawFixed);
  std::vector<int> drawn;
  list->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState) {
    drawn.push_back(index);
    EXPECT_EQ(rect.Left, TCheckListBox::GetCheckWidth());
  };
  Show();
  list->Update();
  const int visible = (list->ClientHeight() + list->ItemHeight() - 1) / list->ItemHeight();
  ASSERT_EQ(int(drawn.size()), visible);
  EXPECT_EQ(drawn.front(), 0);
  list->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(list->TopIndex(), 3);
  EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 3);
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &bar));
  EXPECT_EQ(bar.rgstate[0], 0u);
  while (list->Count() > 2) list->Items()->Delete(0);
  GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &bar);
  EXPECT_TRUE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "two items fit: no bar";
  EXPECT_EQ(list->TopIndex(), 0);
}

using Menus = ShownForm;

TEST_F(Menus, PopupMeasuresAndDrawsEveryItemAndReturnsTheClickedOne) {
  auto* menu = new TPopupMenu(form);
  std::vector<std::string> measured, drawn;
  TMenuItem* items[3];
  const char* captions[] = {"&Otevřít", "-", "&Konec"};
  for (int i = 0; i < 3; ++i) {
    items[i] = new TMenuItem(form);
    items[i]->SetCaption(captions[i]);
    items[i]->OnMeasureItem = [&, i](TObject*, TCanvas*, int& w, int& h) {
      measured.push_back(captions[i]);
      w = 120;
      h = i == 1 ? 6 : 24;
    };
    items[i]->OnDrawItem = [&, i](TObject*, TCanvas* c, TRect r, bool) {
      drawn.push_back(captions[i]);
      c->FillRect(r);
    };
    menu->Items()->Add(items[i]);
  }
  int clicked = 0;
  items[2]->OnClick = [&](TObject*) { ++clicked; };
  Show();

  // The third item starts below 24 + 6 pixels of the first two.
  const int x = 300, y = 100;
  HeadlessClick(x + 20, y + 2 + 24 + 6 + 10);
  EXPECT_EQ(menu->Popup(x, y), items[2]);
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(measured, (std::vector<std::string>{"&Otevřít", "-", "&Konec"}));
  EXPECT_EQ(drawn.size() % 3, 0u);
  EXPECT_GE(drawn.size(), 3u);

  // Keys: Down skips the line, Enter chooses; a letter chooses at once; Esc
  // and a click outside dismiss.
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN, "\r");
  EXPECT_EQ(menu->Popup(x, y), items[2]);
  PressKey('O', "o");
  EXPECT_EQ(menu->Popup(x, y), items[0]);
  PressKey(VK_ESCAPE, "\x1b");
  EXPECT_EQ(menu->Popup(x, y), nullptr);
  HeadlessClick(10, 10);
  EXPECT_EQ(menu->Popup(x, y), nullptr);
  EXPECT_EQ(clicked, 2);
}

TEST_F(Menus, ShortcutsOfTheFormsMenuAndTheirText) {
  auto* menu = new TMainMenu(form);
  auto* file = new TMenuItem(form);
  file->SetCaption("&Soubor");
  auto* save = new TMenuItem(form);
  save->SetCaption("&Uložit");
  save->SetShortCut(ShortCut('S', ssCtrl));
  file->Add(save);
  menu->Items()->Add(file);
  form->SetMenu(menu);
  auto* edit = Add<TEdit>(10, 10, 100, 22);
  int saved = 0;
  save->OnClick = [&](TObject*) { ++saved; };
  Show();
  edit->SetFocus();
  Chord('S', VK_CONTROL);
  EXPECT_EQ(saved, 1);
  save->SetEnabled(false);
  Chord('S', VK_CONTROL);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ShortCutToText(save->ShortCut()), "Ctrl+S");
  EXPECT_EQ(TextToShortCut("Shift+F5"), ShortCut(VK_F1 + 4, ssShift));
  EXPECT_EQ(TextToShortCut("nonsense"), 0);
  EXPECT_EQ(menu->Items()->Find("soubor"), file);
  EXPECT_EQ(GetHotkey("&Uložit"), 'U');
  EXPECT_EQ(GetHotkey("A && B"), 0);
  form->SetMenu(nullptr);
  menu->Free();
  EXPECT_EQ(form->Menu(), nullptr);
}

TEST_F(Menus, AFormsMainMenuShowsAsABarUnderTheCaption) {
  auto* menu = new TMainMenu(form);
  auto* file = new TMenuItem(form);
  file->SetCaption("&Soubor");
  auto* quit = new TMenuItem(form);
  quit->SetCaption("&Konec");
  file->Add(quit);
  menu->Items()->Add(file);
  int quits = 0;
  quit->OnClick = [&](TObject*) { ++quits; };
  Show();
  const int plain = form->ClientHeight();
  form->SetMenu(menu);
  EXPECT_EQ(form->ClientHeight(), plain - GetSystemMetrics(SM_CYMENU));

  // A click on the entry drops the submenu down; Alt and its letter do the same.
  const TPoint entry = form->ClientToScreen(Point(12, -GetSystemMetrics(SM_CYMENU) / 2));
  EXPECT_EQ(SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(entry.X, entry.Y)), HTMENU);
  HeadlessClick(entry.X, entry.Y);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN, "\r");
  Application->ProcessMessages();
  EXPECT_EQ(quits, 1);
  HeadlessKeyDown(VK_MENU);
  PressKey('S', "s");
  HeadlessKeyUp(VK_MENU);
  PressKey('K', "k");
  Application->ProcessMessages();
  EXPECT_EQ(quits, 2);

  // Without items, or without the menu, the band goes.
  file->SetVisible(false);
  EXPECT_EQ(form->ClientHeight(), plain);
  file->SetVisible(true);
  form->SetMenu(nullptr);
  EXPECT_EQ(form->ClientHeight(), plain);
}

TEST_F(Menus, ToolBarButtonsOfMenuItemsDropTheirSubmenuDown) {
  auto* bar = Add<TToolBar>(0, 0, 400, 24);
  bar->SetShowCaptions(true);
  bar->SetFlat(true);
  auto* file = new TMenuItem(form);
  file->SetCaption("&Soubor");
  auto* quit = new TMenuItem(form);
  quit->SetCaption("&Konec");
  file->Add(quit);
  int quits = 0;
  quit->OnClick = [&](TObject*) { ++quits; };
  auto* help = new TMenuItem(form);
  help->SetCaption("&Nápověda");
  int helps = 0;
  help->OnClick = [&](TObject*) { ++helps; };
  TToolButton* buttons[2];
  int index = 0;
  for (TMenuItem* item : {file, help}) {
    auto* b = new TToolButton(form);
    b->SetParent(bar);
    b->SetAutoSize(true);
    b->SetMenuItem(item);
    buttons[index++] = b;
  }
  std::vector<std::pair<TToolButton*, TCustomDrawState>> drawn;
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton* b, TCustomDrawState state, bool& defaultDraw) {
    drawn.emplace_back(b, state);
    defaultDraw = true;
  };
  Show();
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(buttons[0]->Caption(), "&Soubor");
  EXPECT_EQ(buttons[1]->Left(), buttons[0]->Left() + buttons[0]->Width()) << "buttons stand in the menu's order";

  // Pressing the first button drops its submenu; the chosen item is clicked.
  const TPoint under = buttons[0]->ClientToScreen(Point(10, buttons[0]->Height() + 10));
  ClickOn(buttons[0]);
  HeadlessClick(under.X, under.Y);
  Application->ProcessMessages();
  EXPECT_EQ(quits, 1);
  // A button without sub-items clicks its item; Alt and a letter do the same.
  ClickOn(buttons[1]);
  Application->ProcessMessages();
  EXPECT_EQ(helps, 1);
  form->SetActiveControl(nullptr);
  HeadlessKeyDown(VK_MENU);
  PressKey('N', "n");
  HeadlessKeyUp(VK_MENU);
  Application->ProcessMessages();
  EXPECT_EQ(helps, 2);

  // The pointer over a button makes it hot for the drawing handler.
  drawn.clear();
  const TPoint over = CentreOf(buttons[1]);
  HeadlessMouseMove(over.X, over.Y);
  Application->ProcessMessages();
  bar->Update();
  EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(),
                          [&](auto& d) { return d.first == buttons[1] && (d.second & cdsHot); }));
}

using Controls = ShownForm;

TEST_F(Controls, GraphicChildrenGetTheirClicksAndAlignedChildrenFillTheirParent) {
  auto* panel = Add<TPanel>(0, 0, 100, 40);
  panel->SetAlign(alTop);
  auto* image = new TImage(form);
  image->SetParent(panel);
  image->SetBounds(10, 5, 30, 30);
  auto* rest = Add<TPanel>(0, 0, 10, 10);
  rest->SetAlign(alClient);
  int clicks = 0;
  image->OnClick = [&](TObject*) { ++clicks; };
  Show();
  EXPECT_EQ(panel->Width(), form->ClientWidth());
  EXPECT_EQ(rest->BoundsRect(), Rect(0, 40, form->ClientWidth(), form->ClientHeight()));
  ClickOn(image);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  image->Free();  // the panel forgets the child it held
  const TPoint p = panel->ClientToScreen(Point(20, 20));
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  form->SetBounds(50, 50, 500, 300);
  Application->ProcessMessages();
  EXPECT_EQ(rest->Width(), form->ClientWidth());
}

TEST_F(Controls, PaintToDrawsTheControlWithItsGraphicChildrenIntoAnyDC) {
  auto* panel = Add<TPanel>(10, 10, 60, 40);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clRed);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetBounds(30, 0, 30, 40);
  label->SetColor(clBlue);
  label->SetCaption("");
  Show();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(80, 60, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  panel->PaintTo(dc, 5, 5);
  EXPECT_EQ(GetPixel(dc, 6, 6), COLORREF(clRed));
  EXPECT_EQ(GetPixel(dc, 40, 20), COLORREF(clBlue)) << "the label, drawn at its place inside the panel";
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  // What lies under a point, who holds the mouse, and messages to every child.
  EXPECT_EQ(FindDragTarget(label->ClientToScreen(Point(5, 5)), false), label);
  EXPECT_EQ(FindDragTarget(panel->ClientToScreen(Point(5, 5)), false), panel);
  label->SetMouseCapture(true);
  EXPECT_TRUE(label->MouseCapture());
  form->SendCancelMode(nullptr);
  EXPECT_FALSE(label->MouseCapture());
  std::vector<TControl*> heard;
  for (TControl* c : {static_cast<TControl*>(label), static_cast<TControl*>(Add<TEdit>(100, 10, 50, 20))})
    c->OnMouseEnter = [&heard, c](TObject*) { heard.push_back(c); };
  TMessage enter{CM_MOUSEENTER, 0, 0, 0};
  form->Broadcast(enter);
  panel->Broadcast(enter);
  EXPECT_EQ(heard.size(), 2u) << "the form's direct children and the panel's own";

  // A size below zero is none, before and after the window exists.
  auto* flat = Add<TPanel>(5, 5, -5, -7);
  EXPECT_EQ(flat->BoundsRect(), Bounds(5, 5, 0, 0));
  flat->SetBounds(5, 5, -1, 10);
  EXPECT_EQ(flat->BoundsRect(), Bounds(5, 5, 0, 10));
}

TEST_F(Controls, AnchoredControlsFollowTheirSidesOnceTheFormIsBuilt) {
  TFormLoader load(form);
  load.Set(form, "ClientWidth", "600");
  load.Set(form, "ClientHeight", "400");
  auto* button = load.Create<TButton>("Run", form);
  button->SetBounds(500, 360, 80, 27);
  button->SetAnchors(akRight | akBottom);
  auto* memo = load.Create<TMemo>("Log", form);
  memo->SetBounds(10, 10, 580, 300);
  memo->SetAnchors(akLeft | akTop | akRight);
  load.Finish();
  EXPECT_EQ(form->ClientWidth(), 600);
  EXPECT_EQ(button->BoundsRect(), Bounds(500, 360, 80, 27)) << "the size reached by building moves nothing";
  Show();
  form->SetBounds(form->Left(), form->Top(), form->Width() + 100, form->Height() + 50);
  Application->ProcessMessages();
  EXPECT_EQ(button->BoundsRect(), Bounds(600, 410, 80, 27));
  EXPECT_EQ(memo->BoundsRect(), Bounds(10, 10, 680, 300));
  // The form's minimum size holds when the window is sized.
  form->Constraints()->SetMinWidth(300);
  MINMAXINFO info{};
  form->Perform(WM_GETMINMAXINFO, 0, LPARAM(&info));
  EXPECT_EQ(info.ptMinTrackSize.X, 300);
}

}  // namespace
