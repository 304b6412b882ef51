// The title bar on a skinned frame: buttons laid out from the right in
// collection order, a caption that gives way to them with "...", buttons
// without all three pictures left out, and the full title picture the frame
// continues.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gui/headless_backend.h"
#include "skin/title_bar.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_fixtures.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::FrameTest;
enum { kControlBox, kClose, kMax, kMin };

TEST_F(FrameTest, ButtonsStandFromTheRightCloseMaximizeMinimize) {
  for (int interval : {0, 5}) {
    TsuiTitleBar* bar = Frame(bsSingle, DeepBlue)->TitleBar();
    bar->SetButtonInterval(interval);
    bar->PaintNow();
    const auto& r = bar->ButtonRects();
    // From width - offset + border (2) - 1, kept one pixel inside the bar.
    EXPECT_EQ(r[kClose].Right, std::min(bar->Width() - bar->RightBtnXOffset() + 2 - 1, bar->Width() - 1));
    EXPECT_EQ(r[kMax].Right, r[kClose].Left - interval - 1);
    EXPECT_EQ(r[kMin].Right, r[kMax].Left - interval - 1);
    EXPECT_EQ(r[kClose].Width(), bar->Buttons(kClose)->PicNormal()->Width());
    Drop();
  }
}

TEST_F(FrameTest, ALongCaptionEndsInDotsBeforeTheButtons) {
  TsuiTitleBar* bar = Frame(bsSingle, DeepBlue, 260, 120)->TitleBar();
  bar->PaintNow();
  EXPECT_EQ(bar->DrawnCaption(), "Záloha");
  const AnsiString longCaption(60, 'W');
  frame_->SetCaption(longCaption);
  EXPECT_EQ(form_->Caption(), longCaption);
  bar->PaintNow();
  const AnsiString drawn = bar->DrawnCaption();
  ASSERT_GT(drawn.size(), 3u);
  EXPECT_EQ(drawn.substr(drawn.size() - 3), "...");
  EXPECT_EQ(drawn.substr(0, drawn.size() - 3), longCaption.substr(0, drawn.size() - 3));
  TBitmap probe;
  probe.Canvas()->SetFont(bar->Font());
  // The caption starts 21 pixels after the application icon's cursor.
  const int captionLeft = std::max(bar->LeftBtnXOffset() - 2 - 3, 0) + 21;
  EXPECT_LE(captionLeft + probe.Canvas()->TextWidth(drawn), bar->ButtonRects()[kMin].Left);
}

TEST_F(FrameTest, AButtonWithoutAllItsPicturesIsNotDrawn) {
  TsuiTitleBar* bar = Frame(bsSingle, DeepBlue)->TitleBar();
  bar->Buttons(kMax)->PicMouseOn()->SetSize(0, 0);
  bar->PaintNow();
  const auto& r = bar->ButtonRects();
  EXPECT_TRUE(r[kMax].Width() == 0);
  EXPECT_EQ(r[kMin].Right, r[kClose].Left - 1);  // the minimize button moves up
}

TEST_F(FrameTest, ASecondControlBoxIsRefused) {
  TsuiTitleBar* bar = Frame(bsSingle, DeepBlue)->TitleBar();
  bar->Buttons(kMin)->SetButtonType(suiControlBox);  // the message box is answered OK
  EXPECT_EQ(bar->Buttons(kMin)->ButtonType(), suiMin);
}

// The sections: one client section only (a second is refused with a message
// box, answered OK), a client section always stretches, auto size takes the
// picture's width, and a new picture shows at once.
TEST_F(FrameTest, SectionsKeepOneClientAndRepaintWhenChanged) {
  TsuiTitleBar* bar = Frame(bsSingle, DeepBlue)->TitleBar();
  ASSERT_EQ(bar->SectionCount(), 3);
  TsuiTitleBarSection* left = bar->Sections(0);
  TsuiTitleBarSection* right = bar->Sections(1);
  TsuiTitleBarSection* client = bar->Sections(2);
  left->SetAlign(suiClient);
  EXPECT_EQ(left->Align(), suiLeft);
  EXPECT_TRUE(client->Stretch());
  client->SetStretch(false);
  EXPECT_TRUE(client->Stretch());
  left->SetWidth(3);
  left->SetAutoSize(false);
  EXPECT_EQ(left->Width(), left->Picture()->Width());

  auto greenPixels = [&] {
    Application->ProcessMessages();
    const auto shot = skintest::Snapshot(bar);
    return std::count(shot->pixels.begin(), shot->pixels.end(), 0x00FF00u);
  };
  EXPECT_EQ(greenPixels(), 0);
  TBitmap green;
  green.SetSize(20, right->Picture()->Height());
  green.Canvas()->Brush()->SetColor(clLime);
  green.Canvas()->FillRect(Rect(0, 0, 20, green.Height()));
  right->SetPicture(&green);
  EXPECT_GT(greenPixels(), 0);
}

TEST_F(FrameTest, TheFrameContinuesTheFullTitlePicture) {
  TsuiTitleBar* bar = Frame(bsSingle, FromThemeFile)->TitleBar();
  TBitmap* full = nullptr;
  bar->GetSectionBitmap(-1, full);
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->Width(), form_->Width());
  EXPECT_EQ(full->Height(), bar->Height() + 3);
  EXPECT_EQ(full->Height(), 30);  // the skin's title pictures
  // The top strip of the window is the title picture's.
  TBitmap* onColor = nullptr;
  bar->GetSectionBitmap(-2, onColor);
  EXPECT_EQ(Pixel(form_->Width() / 2, 1), onColor->ScanLine(1)[form_->Width() / 2] & 0xFFFFFF);
}

// Five title sections: the caption section widens with the caption.
TEST_F(FrameTest, AFiveSectionSkinWidensTheCaptionSectionWithTheCaption) {
  TempFolder dir;
  std::string manifest = "SKIN2_TITLEFIVESECT boolean 1\nSKIN2_TITLEBARICONPOSX integer 8\n";
  const TColor colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00};
  for (int i = 0; i < 5; ++i) {
    TBitmap piece;
    piece.SetSize(i == 0 || i == 4 ? 20 : 10, 30);
    piece.Canvas()->Brush()->SetColor(colours[i]);
    piece.Canvas()->FillRect(Rect(0, 0, piece.Width(), 30));
    const std::string name = "t" + std::to_string(i + 1) + ".bmp";
    piece.SaveToFile(dir / name);
    manifest += "SKIN2_TITLEBAR" + std::to_string(i + 1) + " bitmap " + name + "\n";
  }
  form_ = new TForm(Application);
  theme_ = new TsuiBuiltInFileTheme(form_);
  theme_->SetThemeFile(skintest::MakeSkin(dir, "five", manifest));
  ASSERT_TRUE(theme_->Ready());
  Frame(bsSingle, FromThemeFile);
  TsuiTitleBar* bar = frame_->TitleBar();
  // The green caption section starts after the 20-pixel first one.
  auto captionWidth = [&](const AnsiString& caption) {
    frame_->SetCaption(caption);
    bar->PaintNow();
    TBitmap* full = nullptr;
    bar->GetSectionBitmap(-1, full);
    int x = 20;
    while (x < full->Width() && (full->ScanLine(5)[x] & 0xFFFFFF) == 0x00FF00) ++x;
    return x - 20;
  };
  const int shortWidth = captionWidth("Ab");
  const int longWidth = captionWidth("Abcdefghijkl");
  EXPECT_EQ(bar->CaptionSectionText(), "Abcdefghijkl");
  TBitmap probe;
  probe.Canvas()->SetFont(bar->Font());
  EXPECT_EQ(longWidth - shortWidth, probe.Canvas()->TextWidth("Abcdefghijkl") - probe.Canvas()->TextWidth("Ab"));
  EXPECT_EQ(shortWidth, probe.Canvas()->TextWidth("Ab") + 8 - 20 + 17);
}

void ClickButton(TsuiTitleBar* bar, int index) {
  bar->PaintNow();
  const TRect r = bar->ButtonRects()[size_t(index)];
  const TPoint p = bar->ClientToScreen(Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  HeadlessMouseMove(p.X, p.Y);
  Application->ProcessMessages();
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
}

TEST_F(FrameTest, AHelpButtonReportsItsIndexAndTheCloseButtonClosesTheForm) {
  TsuiTitleBar* bar = Frame(bsSingle, DeepBlue)->TitleBar();
  bar->AddButton()->SetButtonType(suiHelp);
  int helped = -1;
  frame_->SetOnTitleBarHelpBtnClick([&](TObject* sender, int index) {
    EXPECT_EQ(sender, bar);
    helped = index;
  });
  ClickButton(bar, 4);
  EXPECT_EQ(helped, 4);
  EXPECT_TRUE(form_->Visible());
  ClickButton(bar, kClose);
  EXPECT_FALSE(form_->Visible());
}

TEST_F(FrameTest, DoubleClickingTheBarMaximizesAndRestores) {
  TsuiTitleBar* bar = Frame(bsSizeable, DeepBlue)->TitleBar();
  HeadlessMouseMove(5, 700);  // the pointer over no button
  Application->ProcessMessages();
  bar->PaintNow();  // the hot button follows the pointer at each paint
  bar->Perform(WM_LBUTTONDBLCLK, 0, MAKELPARAM(bar->Width() / 2, 5));
  Application->ProcessMessages();
  EXPECT_EQ(form_->WindowState(), wsMaximized);
  bar->Perform(WM_LBUTTONDBLCLK, 0, MAKELPARAM(bar->Width() / 2, 5));
  Application->ProcessMessages();
  EXPECT_EQ(form_->WindowState(), wsNormal);
}

}  // namespace
