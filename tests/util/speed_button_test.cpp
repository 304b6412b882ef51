// The speed buttons: how a source bitmap splits into state images and shares
// lists, the layout of picture and caption, groups, hold-to-repeat on the
// virtual clock, the drop-down menu, the flat and transparent looks, and the
// styled buttons' combo and menu looks with the spin arrows' pictures, and
// the buttons linked to actions (check mark, picture, click).
#include <gtest/gtest.h>

#include "platform/gui/actions.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/headless_backend.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "tests/util/shown_form.h"
#include "util/components/glyph_cache.h"
#include "util/components/button_drawing.h"
#include "util/components/speed_button.h"
#include "util/components/spin_button.h"
#include "util/components/styled_speed_button.h"

namespace {

std::unique_ptr<TBitmap> Picture(int w, int h, TColor color = clRed) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  b->Canvas()->SetPixels(0, h - 1, clFuchsia);  // the transparent colour
  return b;
}

TEST(ButtonGlyph, ASourceSplitsIntoItsImagesByWidthOverHeight) {
  struct Case {
    int width, height, numGlyphs;
  };
  for (const Case& c : {Case{64, 16, 4}, Case{80, 16, 5}, Case{96, 16, 1}, Case{50, 16, 2}}) {
    TUtlButtonGlyph glyph;
    glyph.SetImageCount(2);
    glyph.AssignGlyph(Picture(c.width, c.height).get());
    EXPECT_EQ(glyph.NumGlyphs(), c.numGlyphs) << c.width << " x " << c.height;
  }
}

TEST(ButtonGlyph, StateImagesOfOneSizeShareAListThatGoesWithTheLastImage) {
  TUtlButtonGlyph a, b, other;
  a.AssignGlyph(Picture(16, 16).get());
  b.AssignGlyph(Picture(16, 16).get());
  other.AssignGlyph(Picture(12, 12).get());
  EXPECT_EQ(a.StateImage(sbDown), a.StateImage(sbUp));  // one image: pressed shows the up picture
  EXPECT_NE(a.StateImage(sbDisabled), a.StateImage(sbUp));
  b.StateImage(sbUp);
  other.StateImage(sbUp);
  EXPECT_EQ(a.ImageStore(), b.ImageStore());
  EXPECT_NE(a.ImageStore(), other.ImageStore());
  EXPECT_EQ(a.ImageStore()->UsedCount(), 3);
  a.ReleaseImages();
  EXPECT_EQ(b.ImageStore()->UsedCount(), 1);
  // The freed position is taken again before the list grows.
  const int count = b.ImageStore()->Count();
  a.StateImage(sbUp);
  EXPECT_EQ(a.ImageStore()->Count(), count);
}

TEST(ButtonGlyph, TheInactiveImageIsGreyAndAFifthImageIsUsedAsIs) {
  TUtlButtonGlyph grey;
  grey.AssignGlyph(Picture(8, 8, TColor(RGB(200, 0, 0))).get());
  TBitmap out;
  out.SetSize(8, 8);
  const int index = grey.StateImage(sbInactive);
  grey.ImageStore()->Draw(out.Canvas(), 0, 0, index);
  const int g = (200 * 77) >> 8;
  EXPECT_EQ(out.Canvas()->Pixels(3, 3), TColor(RGB(g, g, g)));

  TUtlButtonGlyph five;
  auto strip = Picture(40, 8, clBlue);
  strip->Canvas()->Brush()->SetColor(clLime);
  strip->Canvas()->FillRect(Rect(32, 0, 40, 8));
  five.AssignGlyph(strip.get());
  const int fifth = five.StateImage(sbInactive);
  five.ImageStore()->Draw(out.Canvas(), 0, 0, fifth);
  EXPECT_EQ(out.Canvas()->Pixels(3, 3), clLime);
}

TEST(ButtonGlyph, APictureFromAnImageListInEachState) {
  // A red 6 x 6 square in the middle of a transparent 12 x 12 image.
  TImageList list(nullptr, 12, 12);
  auto image = Picture(12, 12, clFuchsia);
  image->Canvas()->Brush()->SetColor(TColor(RGB(200, 0, 0)));
  image->Canvas()->FillRect(Rect(3, 3, 9, 9));
  list.AddMasked(image.get(), clFuchsia);
  TUtlButtonGlyph glyph;
  glyph.AssignGlyph(Picture(20, 20, clBlue).get());  // the list wins over the glyph
  const int g = (200 * 77) >> 8;
  const struct {
    TSpeedButtonState state;
    TColor inside;
  } cases[] = {{sbUp, TColor(RGB(200, 0, 0))}, {sbDown, TColor(RGB(200, 0, 0))},
               {sbDisabled, clBtnShadow}, {sbInactive, TColor(RGB(g, g, g))}};
  for (const auto& c : cases) {
    TBitmap out;
    out.SetSize(32, 32);
    out.Canvas()->Brush()->SetColor(clWhite);
    out.Canvas()->FillRect(Rect(0, 0, 32, 32));
    glyph.DrawContentEx(out.Canvas(), Rect(0, 0, 32, 32), "", blGlyphTop, -1, -1, false, c.state, 0, &list, 0);
    // Centred: the image's top-left corner at (10, 10).
    EXPECT_EQ(ColorToRGB(out.Canvas()->Pixels(15, 15)), ColorToRGB(c.inside)) << int(c.state);
    EXPECT_EQ(out.Canvas()->Pixels(11, 11), clWhite) << int(c.state);  // the transparent edge
  }
  // Built once per state, in a list of the image list's size; a pressed button shares the up image.
  const int up = glyph.StateImageFromList(sbUp, &list, 0);
  EXPECT_EQ(glyph.StateImageFromList(sbDown, &list, 0), up);
  EXPECT_EQ(glyph.ImageStore()->Width(), 12);
  TImageList empty(nullptr, 12, 12);
  TUtlButtonGlyph none;
  EXPECT_EQ(none.StateImageFromList(sbUp, &empty, 0), -1);
  // An index the list does not have falls back to the glyph.
  EXPECT_EQ(glyph.ComputeLayout(nullptr, Rect(0, 0, 32, 32), "", blGlyphTop, -1, -1, false, 0, &list, 5).Picture,
            TPoint(6, 6));
}

TEST(ButtonGlyph, AutomaticMarginAndSpacingShareTheRoomInThree) {
  TUtlButtonGlyph glyph;
  glyph.AssignGlyph(Picture(16, 16).get());
  TBitmap canvasHost;
  canvasHost.SetSize(1, 1);
  TCanvas* c = canvasHost.Canvas();
  const AnsiString caption = "Ab";
  const int s = c->TextWidth(caption);
  const TUtlGlyphLayout l = glyph.ComputeLayout(c, Rect(0, 0, 60, 20), caption, blGlyphLeft, -1, -1, false, DT_CENTER);
  const int margin = (60 - 16 - s) / 3;
  EXPECT_EQ(l.Picture.X, margin);
  EXPECT_EQ(l.Text.Left, margin + 16 + margin);
  EXPECT_EQ(l.Picture.Y, 2);

  // A caption too wide for the room is cut and ends in "...".
  const TUtlGlyphLayout cut =
      glyph.ComputeLayout(c, Rect(0, 0, 40, 20), "A rather long caption", blGlyphLeft, 2, 2, false, 0);
  EXPECT_EQ(cut.Caption.substr(cut.Caption.size() - 3), "...");
  EXPECT_LE(c->TextWidth(cut.Caption), 40 - 16 - 4);
}

using SpeedButtonForm = ShownForm;

TUtlSpeedButton* Button(TForm* form, int left, int group = 0) {
  auto* b = new TUtlSpeedButton(form);
  b->SetParent(form);
  b->SetBounds(left, 10, 25, 25);
  b->SetGroupIndex(group);
  return b;
}

TEST_F(SpeedButtonForm, AGroupKeepsOneButtonDown) {
  TUtlSpeedButton* first = Button(form, 10, 1);
  TUtlSpeedButton* second = Button(form, 40, 1);
  first->SetDown(true);
  const TPoint p = second->ClientToScreen(Point(5, 5));
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(second->Down());
  EXPECT_EQ(second->State(), sbLatched);
  EXPECT_FALSE(first->Down());
  // Without AllowAllUp the latched button cannot be raised by clicking it.
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(second->Down());
  // A button outside any group never stays down; Margin below -1 is ignored.
  TUtlSpeedButton* loose = Button(form, 70);
  loose->SetDown(true);
  EXPECT_FALSE(loose->Down());
  loose->SetMargin(-2);
  EXPECT_EQ(loose->Margin(), -1);
}

TEST_F(SpeedButtonForm, AHeldButtonRepeatsAfterThePauseThenAtTheInterval) {
  TUtlSpeedButton* b = Button(form, 10);
  b->SetAllowTimer(true);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  const TPoint p = b->ClientToScreen(Point(5, 5));
  HeadlessMouseDown(p.X, p.Y);
  Application->ProcessMessages();
  Tick(499);
  EXPECT_EQ(clicks, 0);
  Tick(1);
  EXPECT_EQ(clicks, 1);
  Tick(100);
  Tick(100);
  EXPECT_EQ(clicks, 3);
  HeadlessMouseUp(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 4);
  Tick(1000);
  EXPECT_EQ(clicks, 4);

  // Released away from the button: the repeats stop and no final click.
  HeadlessMouseDown(p.X, p.Y);
  Application->ProcessMessages();
  Tick(500);
  const TPoint away = b->ClientToScreen(Point(100, 100));
  HeadlessMouseMove(away.X, away.Y);
  Application->ProcessMessages();
  HeadlessMouseUp(away.X, away.Y);
  Application->ProcessMessages();
  Tick(1000);
  EXPECT_EQ(clicks, 5);
}

// A menu that records where it was asked to show instead of showing.
struct RecordedMenu : TPopupMenu {
  using TPopupMenu::TPopupMenu;
  TMenuItem* Popup(int x, int y) override {
    shownAt.push_back(Point(x, y));
    return nullptr;
  }
  std::vector<TPoint> shownAt;
};

TEST_F(SpeedButtonForm, APressShowsTheDropDownMenuBelowAndGivesNoClick) {
  TUtlSpeedButton* b = Button(form, 10);
  auto* menu = new RecordedMenu(form);
  b->SetDropDownMenu(menu);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  const TPoint p = b->ClientToScreen(Point(5, 5));
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  ASSERT_EQ(menu->shownAt.size(), 1u);
  EXPECT_EQ(menu->shownAt[0], b->ClientToScreen(Point(-1, 25)));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(b->State(), sbUp);
  // A menu freed before the button is forgotten.
  menu->Free();
  EXPECT_EQ(b->DropDownMenu(), nullptr);
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonForm, FlatButtonsShowNoBorderAndTransparentOnesTheirParent) {
  form->SetColor(clRed);
  Button(form, 10);
  TUtlSpeedButton* flat = Button(form, 40);
  flat->SetFlat(true);
  TUtlSpeedButton* clear = Button(form, 70);
  clear->SetFlat(true);
  clear->SetTransparent(true);
  TBitmap shot;
  shot.SetSize(form->ClientWidth(), form->ClientHeight());
  form->PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(ColorToRGB(shot.Canvas()->Pixels(10, 10)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorToRGB(shot.Canvas()->Pixels(40, 10)), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorToRGB(shot.Canvas()->Pixels(70, 10)), ColorToRGB(clRed));
}

TEST_F(SpeedButtonForm, InAGroupDownFollowsTheActionsCheckMark) {
  struct Case {
    int group;
    bool loading, downBefore, checked, downAfter;
  };
  // While the action loads, a button already down keeps its state.
  for (const Case& c : {Case{1, false, false, true, true}, Case{1, false, true, false, false},
                        Case{0, false, false, true, false}, Case{1, true, false, true, true},
                        Case{1, true, true, false, true}}) {
    TUtlSpeedButton* b = Button(form, 10, c.group);
    b->SetAllowAllUp(true);
    b->SetDown(c.downBefore);
    TOwned<TCustomAction> action(new TCustomAction(nullptr));
    action->SetChecked(c.checked);
    if (c.loading) action->BeginLoading();
    b->SetAction(action.get());
    if (c.loading) action->EndLoading();
    EXPECT_EQ(b->Down(), c.downAfter) << c.group << c.loading << c.downBefore << c.checked;
    action->SetChecked(!c.checked);  // a change of the action is always followed
    EXPECT_EQ(b->Down(), c.group != 0 && !c.checked) << c.group << c.loading << c.downBefore << c.checked;
    b->Free();
  }
}

// An action list whose picture 0 is blue, 8 x 8, masked on fuchsia (its
// bottom-left pixel is transparent), and the actions' picture cases: only an
// existing picture is taken, and never over the button's own glyph.
TActionList* ListWithABluePicture(TComponent* owner) {
  TImageList* images = new TImageList(owner, 8, 8);
  images->AddMasked(Picture(8, 8, clBlue).get(), clFuchsia);
  auto* list = new TActionList(owner);
  list->SetImages(images);
  return list;
}

struct ActionPictureCase {
  int index;
  bool ownGlyph, taken;
};
constexpr ActionPictureCase kActionPictureCases[] = {{0, false, true}, {1, false, false}, {-1, false, false}, {0, true, false}};

TEST_F(SpeedButtonForm, AButtonWithoutAGlyphTakesTheActionsPictureOnFuchsia) {
  TActionList* list = ListWithABluePicture(form);
  for (const ActionPictureCase& c : kActionPictureCases) {
    TUtlSpeedButton* b = Button(form, 10);
    if (c.ownGlyph) b->SetGlyph(Picture(16, 16, clLime).get());
    TOwned<TCustomAction> action(new TCustomAction(nullptr));
    action->SetActionList(list);
    action->SetImageIndex(c.index);
    b->SetAction(action.get());
    TBitmap* glyph = b->Glyph();
    if (c.taken) {
      ASSERT_EQ(glyph->Width(), 8);
      EXPECT_EQ(glyph->Height(), 8);
      EXPECT_EQ(glyph->Canvas()->Pixels(3, 3), clBlue);
      EXPECT_EQ(glyph->Canvas()->Pixels(0, 7), clFuchsia);
      EXPECT_EQ(glyph->TransparentColor(), clFuchsia);
      EXPECT_EQ(b->ButtonGlyph()->MaskColor(), clFuchsia);
    } else {
      EXPECT_EQ(glyph->Width(), c.ownGlyph ? 16 : 0) << c.index;
    }
    b->Free();
  }
}

TEST_F(SpeedButtonForm, AClickRunsTheActionAndAFreedActionOrListLeavesTheButtonSafe) {
  TUtlSpeedButton* b = Button(form, 10, 1);
  b->SetAllowAllUp(true);
  auto* images = new TImageList(form, 8, 8);
  auto* list = new TActionList(form);
  list->SetImages(images);
  auto* action = new TCustomAction(form);
  action->SetActionList(list);
  int executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  b->SetAction(action);
  const TPoint p = b->ClientToScreen(Point(5, 5));
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(executed, 1);

  images->Free();
  action->SetImageIndex(0);
  list->Free();
  action->SetImageIndex(1);
  EXPECT_TRUE(b->Glyph()->Empty());
  action->Free();
  EXPECT_EQ(b->Action(), nullptr);
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(executed, 1);
}

TEST(StyledButtonGlyph, ASourceSplitsIntoAtMostFourImages) {
  struct Case {
    int width, numGlyphs;
  };
  for (const Case& c : {Case{64, 4}, Case{80, 1}, Case{32, 2}}) {
    TUtlStyledButtonGlyph glyph;
    glyph.AssignGlyph(Picture(c.width, 16).get());
    EXPECT_EQ(glyph.NumGlyphs(), c.numGlyphs) << c.width;
  }
}

TEST(ButtonDrawing, MonoPicturesTakeTwoColoursAndEmbossedTextGrowsItsRectangle) {
  auto b = Picture(2, 1, clWhite);
  b->Canvas()->SetPixels(0, 0, clBlack);
  RecolorMonoBitmap(b.get(), clBtnFace, clBtnText);
  EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(0, 0)), ColorToRGB(clBtnText));
  EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(1, 0)), ColorToRGB(clBtnFace));

  TRect r = Rect(0, 0, 100, 20);
  TBitmap host;
  host.SetSize(100, 20);
  DrawEmbossedText(host.Canvas(), "Ab", r, DT_CALCRECT);
  EXPECT_EQ(r.Right, host.Canvas()->TextWidth("Ab") + 1);
}

TUtlStyledSpeedButton* Styled(TForm* form, int left, TUtlSpeedButtonStyle style, int width = 40) {
  auto* b = new TUtlStyledSpeedButton(form);
  b->SetParent(form);
  b->SetBounds(left, 50, width, 22);
  b->SetStyle(style);
  return b;
}

TEST_F(SpeedButtonForm, AComboButtonIgnoresFlatTransparentAndGroups) {
  TUtlStyledSpeedButton* b = Styled(form, 10, sbsComboButton);
  b->SetFlat(true);
  b->SetTransparent(true);
  b->SetGroupIndex(3);
  b->SetAllowAllUp(true);
  b->SetDown(true);
  EXPECT_FALSE(b->Flat());
  EXPECT_FALSE(b->Transparent());
  EXPECT_EQ(b->GroupIndex(), 0);
  EXPECT_FALSE(b->AllowAllUp());
  EXPECT_FALSE(b->Down());

  // Normal buttons of one group latch in turn.
  TUtlStyledSpeedButton* first = Styled(form, 60, sbsNormal);
  TUtlStyledSpeedButton* second = Styled(form, 110, sbsNormal);
  first->SetGroupIndex(1);
  second->SetGroupIndex(1);
  first->SetDown(true);
  EXPECT_EQ(first->State(), sbLatched);
  const TPoint p = second->ClientToScreen(Point(5, 5));
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(second->Down());
  EXPECT_FALSE(first->Down());
}

TEST_F(SpeedButtonForm, AMenuButtonOpensItsMenuFromTheArrowPartAndClicksFromTheMain) {
  TUtlStyledSpeedButton* b = Styled(form, 10, sbsMenu);
  auto* menu = new RecordedMenu(form);
  b->SetDropDownMenu(menu);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  const TPoint arrow = b->ClientToScreen(Point(35, 10));
  HeadlessClick(arrow.X, arrow.Y);
  Application->ProcessMessages();
  ASSERT_EQ(menu->shownAt.size(), 1u);
  EXPECT_EQ(menu->shownAt[0], b->ClientToScreen(Point(0, 22)));
  EXPECT_EQ(clicks, 0);
  // A press on the arrow part released over the main part does nothing.
  const TPoint main = b->ClientToScreen(Point(10, 10));
  HeadlessMouseDown(arrow.X, arrow.Y);
  HeadlessMouseMove(main.X, main.Y);
  HeadlessMouseUp(main.X, main.Y);
  Application->ProcessMessages();
  EXPECT_EQ(menu->shownAt.size(), 1u);
  EXPECT_EQ(clicks, 0);
  HeadlessClick(main.X, main.Y);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(menu->shownAt.size(), 1u);
}

TEST_F(SpeedButtonForm, AStyledButtonWithoutAGlyphTakesTheActionsPictureButNotItsCheckMark) {
  TActionList* list = ListWithABluePicture(form);
  for (const ActionPictureCase& c : kActionPictureCases) {
    TUtlStyledSpeedButton* b = Styled(form, 10, sbsNormal);
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    if (c.ownGlyph) b->SetGlyph(Picture(16, 16, clLime).get());
    TOwned<TCustomAction> action(new TCustomAction(nullptr));
    action->SetActionList(list);
    action->SetImageIndex(c.index);
    action->SetChecked(true);
    b->SetAction(action.get());
    EXPECT_FALSE(b->Down()) << c.index;  // only the other family follows the check mark
    TBitmap* glyph = b->Glyph();
    if (c.taken) {
      ASSERT_EQ(glyph->Width(), 8);
      EXPECT_EQ(glyph->Canvas()->Pixels(3, 3), clBlue);
      EXPECT_EQ(glyph->Canvas()->Pixels(0, 7), clFuchsia);
      EXPECT_EQ(glyph->TransparentColor(), clFuchsia);
    } else {
      EXPECT_EQ(glyph->Width(), c.ownGlyph ? 16 : 0) << c.index;
    }
    b->Free();
  }
}

TEST_F(SpeedButtonForm, SpinArrowsShowTheBuiltInArrowUntilGivenAPicture) {
  auto* spin = new TUtlSpinButton(form);
  spin->SetParent(form);
  spin->SetBounds(10, 80, 20, 30);
  EXPECT_TRUE(spin->UpGlyphIsDefault());
  EXPECT_EQ(spin->UpButton()->Style(), sbsComboButton);
  // The built-in arrows: a triangle round column 5 whose corner pixel, the
  // one taken as transparent, is the face, so the arrow itself is drawn.
  for (TUtlTimerSpeedButton* arrow : {spin->UpButton(), spin->DownButton()}) {
    TBitmap* glyph = arrow->Glyph();
    const bool up = arrow == spin->UpButton();
    ASSERT_EQ(glyph->Width(), 9);
    ASSERT_EQ(glyph->Height(), 4);
    EXPECT_EQ(ColorToRGB(glyph->Canvas()->Pixels(5, up ? 0 : 3)), ColorToRGB(clBtnText)) << up;
    EXPECT_EQ(ColorToRGB(glyph->Canvas()->Pixels(2, up ? 3 : 0)), ColorToRGB(clBtnText)) << up;
    EXPECT_EQ(ColorToRGB(glyph->Canvas()->Pixels(4, up ? 0 : 3)), ColorToRGB(clBtnFace)) << up;
    EXPECT_EQ(ColorToRGB(glyph->TransparentColor()), ColorToRGB(clBtnFace)) << up;
  }
  spin->SetUpGlyph(Picture(10, 10).get());
  EXPECT_FALSE(spin->UpGlyphIsDefault());
  EXPECT_EQ(spin->UpButton()->Glyph()->Width(), 10);
  spin->SetUpGlyph(nullptr);
  EXPECT_TRUE(spin->UpGlyphIsDefault());
  EXPECT_EQ(spin->UpButton()->Glyph()->Width(), 9);
}

}  // namespace
