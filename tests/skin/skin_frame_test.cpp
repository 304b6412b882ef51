// The skinned form frame: client insets for dialog (3-pixel) and sizeable
// (4-pixel) frames in built-in styles and in the main skin, the border query,
// the painted bottom band, the window region, an inert second frame, and
// Alt+Space opening the system menu of every frame.
#include <gtest/gtest.h>

#include "platform/gui/headless_backend.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "tests/skin/skin_fixtures.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::FrameTest;

TEST_F(FrameTest, ClientInsetsFollowTheSystemFrameAndTheStyle) {
  struct Case {
    TBorderStyle border;
    TsuiUIStyle style;
    std::array<int, 4> insets;  // left, top, right, bottom
  } cases[] = {
      {bsSingle, DeepBlue, {3, 3, 3, 2}},        // border width 1: bottom 1 + 1
      {bsSingle, WinXP, {3, 3, 3, 3}},           // border width 3
      {bsSingle, FromThemeFile, {4, 3, 4, 4}},   // skin borders 4 wide and high
      {bsSizeable, DeepBlue, {4, 4, 4, 3}},
      {bsSizeable, WinXP, {4, 4, 4, 4}},
      {bsSizeable, FromThemeFile, {5, 4, 5, 5}},
  };
  for (const Case& c : cases) {
    Frame(c.border, c.style);
    EXPECT_EQ(Insets(), c.insets) << "border " << c.border << " style " << int(c.style);
    Drop();
  }
}

TEST_F(FrameTest, TheBorderQueryAnswersTheSkinBorderOrTheSystemFrameLessOne) {
  Frame(bsSingle, DeepBlue);
  EXPECT_EQ(SendMessageA(form_->Handle(), kSkinBorderQuery, 0, 0), 2);
  Drop();
  Frame(bsSizeable, DeepBlue);
  EXPECT_EQ(SendMessageA(form_->Handle(), kSkinBorderQuery, 0, 0), 3);
  Drop();

  // A skin whose left border is 2 pixels wide still answers 4.
  TempFolder dir;
  TBitmap narrow;
  narrow.SetSize(2, 10);
  narrow.SaveToFile(dir / "left.bmp");
  const std::string skin = skintest::MakeSkin(dir, "narrow", "SKIN2_FORMLEFTBORDER bitmap left.bmp\n");
  form_ = new TForm(Application);
  theme_ = new TsuiBuiltInFileTheme(form_);
  theme_->SetThemeFile(skin);
  ASSERT_TRUE(theme_->Ready());
  Frame(bsSingle, FromThemeFile);
  EXPECT_EQ(SendMessageA(form_->Handle(), kSkinBorderQuery, 0, 0), 4);
}

TEST_F(FrameTest, TheBottomBandShowsTheBorderAndTheFormColour) {
  for (TsuiUIStyle style : {DeepBlue, WinXP}) {  // border widths 1 and 3
    Frame(bsSingle, style);
    const int bw = GetBuiltInInteger(style, 17);
    const uint32_t border = Rgb(GetBuiltInColor(style, 16)), face = Rgb(GetBuiltInColor(style, 15));
    const int w = form_->Width(), h = form_->Height();
    for (int row = 1; row <= bw; ++row) EXPECT_EQ(Pixel(0, h - row), border) << "style " << int(style);
    EXPECT_EQ(Pixel(w / 2, h - 1), border);
    // The row inside the border is the form colour (over the border's last row for width 3).
    const int inner = bw == 3 ? h - 3 : h - 2;
    EXPECT_EQ(Pixel(w / 2, inner), face) << "style " << int(style);
    EXPECT_EQ(Pixel(1, bw == 3 ? h - 3 : h - 1), border);
    Drop();
  }
}

TEST_F(FrameTest, BuiltInStylesRoundTheTopCornersUnlessTheTitleBarIsHidden) {
  Frame(bsSingle, BlueGlass, 200, 100);  // corner radius 11
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form_->Handle(), region), RGN_ERROR);
  EXPECT_FALSE(region->region.Contains(0, 0));
  EXPECT_TRUE(region->region.Contains(100, 0));
  frame_->SetTitleBarVisible(false);
  GetWindowRgn(form_->Handle(), region);
  EXPECT_TRUE(region->region == Region::FromRects({{0, 0, 201, 51}, {0, 50, 201, 101}}));
  DeleteObject(region);
}

TEST_F(FrameTest, TheMainSkinCutsTheTitlePicturesTransparentCorners) {
  Frame(bsSingle, FromThemeFile);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form_->Handle(), region), RGN_ERROR);
  const int w = form_->Width(), h = form_->Height();
  EXPECT_FALSE(region->region.Contains(0, 0));
  EXPECT_FALSE(region->region.Contains(w - 1, 0));
  EXPECT_TRUE(region->region.Contains(w / 2, 0));
  EXPECT_TRUE(region->region.Contains(0, h - 1));
  DeleteObject(region);
}

TEST_F(FrameTest, ASecondFrameOnTheSameFormStaysAPlainPanel) {
  TsuiForm* first = Frame(bsSingle, DeepBlue);
  auto* second = new TsuiForm(form_);
  EXPECT_EQ(second->Form(), nullptr);
  EXPECT_EQ(second->TitleBar(), nullptr);
  second->SetUIStyle(BlueGlass);  // stored, nothing taken over
  EXPECT_EQ(SendMessageA(form_->Handle(), kSkinBorderQuery, 0, 0), 2);
  EXPECT_EQ(first->Form(), form_);
  EXPECT_EQ(GetOwnerUIStyle(form_), DeepBlue);
  second->Free();
  EXPECT_EQ(SendMessageA(form_->Handle(), kSkinBorderQuery, 0, 0), 2);
}

TEST_F(FrameTest, RemovingTheFrameGivesTheFormItsCaptionBack) {
  Frame(bsSingle, DeepBlue);
  EXPECT_FALSE(GetWindowLongPtrA(form_->Handle(), GWL_STYLE) & WS_CAPTION);
  frame_->Free();
  EXPECT_EQ(GetWindowLongPtrA(form_->Handle(), GWL_STYLE) & WS_CAPTION, LONG_PTR(WS_CAPTION));
  EXPECT_EQ(SendMessageA(form_->Handle(), kSkinBorderQuery, 0, 0), 0);
}

TEST_F(FrameTest, AMaximizedFormReachesBeyondTheWorkArea) {
  Frame(bsSizeable, DeepBlue);
  form_->SetWindowState(wsMaximized);
  Application->ProcessMessages();
  const TRect area = GetWorkAreaRect();
  RECT r;
  GetWindowRect(form_->Handle(), &r);
  EXPECT_EQ(r.Left, area.Left - 2);
  EXPECT_EQ(r.Top, area.Top - 2);
  EXPECT_EQ(r.Right, area.Right + 2);
  EXPECT_EQ(r.Bottom, area.Bottom - 1);
}

// A form created maximized stays maximized and fitted to the work area
// through the sizes of its showing and any later ones, and goes to its
// designed bounds when restored.
TEST_F(FrameTest, AFormCreatedMaximizedStaysSoUntilRestoredToItsDesignedBounds) {
  form_ = new TForm(Application);
  theme_ = new TsuiBuiltInFileTheme(form_);
  form_->SetWindowState(wsMaximized);
  Frame(bsSizeable, DeepBlue);
  const TRect area = GetWorkAreaRect();
  const TRect fitted = Rect(area.Left - 2, area.Top - 2, area.Right + 2, area.Bottom - 1);
  for (int i = 0; i < 4; ++i) {
    RECT r;
    GetWindowRect(form_->Handle(), &r);
    EXPECT_EQ(r, fitted) << i;
    EXPECT_EQ(form_->WindowState(), wsMaximized);
    SendMessageA(form_->Handle(), WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(r.Width(), r.Height()));
  }
  form_->SetWindowState(wsNormal);
  Application->ProcessMessages();
  EXPECT_EQ(form_->BoundsRect(), Rect(50, 60, 350, 260));
}

TEST_F(FrameTest, AltSpaceOpensTheSystemMenuOfEveryFrame) {
  Frame(bsSingle, DeepBlue);
  TForm* other = new TForm(Application);
  auto* otherFrame = new TsuiForm(other);
  other->Show();
  int opened = 0;
  frame_->TitleBar()->SystemMenu()->OnPopup = [&](TObject*) { ++opened; };
  otherFrame->TitleBar()->SystemMenu()->OnPopup = [&](TObject*) { ++opened; };
  form_->SetFocus();
  Application->ProcessMessages();
  HeadlessKeyDown(VK_MENU);
  HeadlessKeyDown(VK_SPACE, " ");
  HeadlessKeyUp(VK_SPACE);
  HeadlessKeyUp(VK_MENU);
  for (int i = 0; i < 2; ++i) {  // each open menu is dismissed
    HeadlessKeyDown(VK_ESCAPE, "\x1b");
    HeadlessKeyUp(VK_ESCAPE);
  }
  Application->ProcessMessages();
  EXPECT_EQ(opened, 2);
  other->Free();
}

}  // namespace
