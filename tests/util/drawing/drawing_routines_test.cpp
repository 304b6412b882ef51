// The disabled look of glyphs, text shortening, fitting a rectangle to the
// screen and dropping a pending message.

#include "util/drawing/drawing_routines.h"

#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"

namespace {

constexpr TColor kBack = 0x00C0C0C0;
constexpr TColor kHighlight = 0x000000FF;
constexpr TColor kShadow = 0x00FF0000;

// A white 4 x 4 glyph with one black pixel at (1, 1).
std::unique_ptr<TBitmap> Glyph(bool monochrome) {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(4, 4);
  glyph->Canvas()->Brush()->SetColor(clWhite);
  glyph->Canvas()->FillRect(Rect(0, 0, 4, 4));
  glyph->Canvas()->SetPixels(1, 1, clBlack);
  if (monochrome) glyph->SetMonochrome(true);
  return glyph;
}

TEST(DisabledGlyph, OutlineIsEtchedInShadowOverAShiftedHighlight) {
  for (bool monochrome : {false, true}) {
    auto glyph = Glyph(monochrome);
    auto disabled = MakeDisabledBitmap(glyph.get(), clBlack, kBack, kHighlight, kShadow, true);
    ASSERT_EQ(disabled->Width(), 4);
    ASSERT_EQ(disabled->Height(), 4);
    TCanvas* c = disabled->Canvas();
    EXPECT_EQ(c->Pixels(1, 1), kShadow) << monochrome;
    EXPECT_EQ(c->Pixels(2, 2), kHighlight) << monochrome;
    EXPECT_EQ(c->Pixels(0, 0), kBack) << monochrome;
    EXPECT_EQ(c->Pixels(3, 3), kBack) << monochrome;
  }
  auto flat = MakeDisabledBitmap(Glyph(false).get(), clBlack, kBack, kHighlight, kShadow, false);
  EXPECT_EQ(flat->Canvas()->Pixels(2, 2), kBack);
  EXPECT_EQ(flat->Canvas()->Pixels(1, 1), kShadow);
}

TEST(DisabledGlyph, ButtonColoursForTheGlyph) {
  auto disabled = MakeDisabledGlyph(Glyph(false).get(), clBlack);
  EXPECT_EQ(ColorToRGB(disabled->Canvas()->Pixels(1, 1)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorToRGB(disabled->Canvas()->Pixels(2, 2)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorToRGB(disabled->Canvas()->Pixels(0, 3)), ColorToRGB(clBtnFace));
}

TEST(TextWidth, CutFromTheEndWithDotsUntilItFits) {
  TBitmap surface;
  surface.SetSize(10, 10);
  TCanvas* canvas = surface.Canvas();
  const AnsiString text = "abcdefgh";
  EXPECT_EQ(ShortenTextToWidth(text, canvas, canvas->TextWidth(text)), text);
  EXPECT_EQ(ShortenTextToWidth(text, canvas, canvas->TextWidth("abcde...")), "abcde...");
  EXPECT_EQ(ShortenTextToWidth(text, canvas, 0), "...");
  EXPECT_EQ(ShortenTextToWidth("", canvas, 0), "");
}

TEST(Rectangles, FittingMovesOntoTheScreenWithLeftAndTopWinning) {
  SetScreenSize(1024, 768);
  struct Case {
    TRect in;
    TRect out;
  } cases[] = {
      {Rect(10, 10, 110, 60), Rect(10, 10, 110, 60)},
      {Rect(1000, 700, 1100, 800), Rect(924, 668, 1024, 768)},
      {Rect(-50, -5, 50, 95), Rect(0, 0, 100, 100)},
      {Rect(100, 100, 1300, 900), Rect(0, 0, 1200, 800)},
  };
  for (Case& c : cases) {
    FitRectToScreen(c.in);
    EXPECT_EQ(c.in, c.out) << c.out.Left << "," << c.out.Top;
  }
  EXPECT_EQ(WidthOfRect(Rect(3, 4, 10, 20)), 7);
  EXPECT_EQ(HeightOfRect(Rect(3, 4, 10, 20)), 16);
}

TEST(PendingMessages, DropsOneAndKeepsAQuitRequest) {
  constexpr HWND kWindow = 5;
  PostMessage(kWindow, WM_USER + 1, 0, 0);
  PostMessage(kWindow, WM_USER + 1, 1, 0);
  DropPendingMessage(kWindow, WM_USER + 1);
  MSG msg;
  ASSERT_TRUE(PeekMessage(msg, kWindow, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_FALSE(PeekMessage(msg, kWindow, WM_USER + 1, WM_USER + 1, PM_REMOVE));

  PostQuitMessage(7);
  DropPendingMessage(kWindow, WM_USER + 9);
  ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
