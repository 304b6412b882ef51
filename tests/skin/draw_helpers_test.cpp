// The shared drawing helpers on small bitmaps whose pixels say where they
// came from.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/picture.h"
#include "skin/draw_helpers.h"

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kYellow = 0x00FFFF, kGrey = 0x808080,
                 kWhite = 0xFFFFFF;

// A bitmap whose pixel (x, y) is colour(x, y).
template <class F>
void Paint(TBitmap& b, int w, int h, F colour) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Canvas()->SetPixels(x, y, colour(x, y));
}

TColor At(TBitmap& b, int x, int y) { return b.Canvas()->Pixels(x, y); }

void WhiteTarget(TBitmap& t, int w, int h) {
  Paint(t, w, h, [](int, int) { return kWhite; });
}

TEST(CopyBitmapFrame, TheLastFrameIsCutFromTheRightEdge) {
  TBitmap strip, frame;
  Paint(strip, 10, 2, [](int x, int) { return TColor(x * 10); });
  struct Case {
    int index, firstColumn;
  } cases[] = {{1, 0}, {2, 3}, {3, 7}};
  for (const Case& c : cases) {
    CopyBitmapFrame(&strip, &frame, 3, c.index);
    ASSERT_EQ(frame.Width(), 3);
    ASSERT_EQ(frame.Height(), 2);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(frame, x, 1), TColor((c.firstColumn + x) * 10)) << c.index;
  }
  CopyBitmapFrame(&strip, &frame, 3, 0);  // outside the strip: nothing to cut
  EXPECT_TRUE(frame.Empty());
}

TEST(PointInRect, EdgesAreInside) {
  const TRect r = Rect(0, 0, 10, 10);
  EXPECT_TRUE(PointInRect(Point(10, 10), r));
  EXPECT_TRUE(PointInRect(0, 0, r));
  EXPECT_FALSE(PointInRect(11, 5, r));
  EXPECT_FALSE(PointInRect(5, -1, r));
}

TEST(Gradients, EndsInTheirColoursAndStepByTruncation) {
  TBitmap t;
  WhiteTarget(t, 6, 6);
  DrawVerticalGradient(t.Canvas(), Rect(0, 0, 3, 2), kRed, kBlue);
  EXPECT_EQ(At(t, 1, 0), kRed);
  EXPECT_EQ(At(t, 1, 1), kBlue);
  EXPECT_EQ(At(t, 1, 2), kWhite);

  const TColor to = MakeRGB(0, 0, 200);
  DrawVerticalGradient(t.Canvas(), Rect(0, 0, 1, 5), 0, to);
  EXPECT_EQ(At(t, 0, 1), MakeRGB(0, 0, 0));   // steps from y - Top - 1
  EXPECT_EQ(At(t, 0, 2), MakeRGB(0, 0, 40));
  EXPECT_EQ(At(t, 0, 4), to);
  DrawHorizontalGradient(t.Canvas(), Rect(0, 5, 5, 6), 0, to);
  EXPECT_EQ(At(t, 1, 5), MakeRGB(0, 0, 40));  // steps from x - Left
  EXPECT_EQ(At(t, 2, 5), MakeRGB(0, 0, 80));
  EXPECT_EQ(At(t, 4, 5), to);
  DrawHorizontalGradient(t.Canvas(), Rect(3, 0, 3, 6), kRed, kRed);  // empty: nothing
  EXPECT_EQ(At(t, 3, 0), kWhite);
}

TEST(RotateBitmap, LeftThenRightRestoresTheBitmap) {
  TBitmap b;
  Paint(b, 3, 2, [](int x, int y) { return TColor(x + 10 * y); });
  RotateBitmapLeft(&b);
  ASSERT_EQ(b.Width(), 2);
  ASSERT_EQ(b.Height(), 3);
  EXPECT_EQ(At(b, 0, 2), TColor(0));   // (0, 0) goes to (0, 3 - 1 - 0)
  EXPECT_EQ(At(b, 1, 0), TColor(12));  // (2, 1) goes to (1, 0)
  RotateBitmapRight(&b);
  ASSERT_EQ(b.Width(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(b, x, y), TColor(x + 10 * y));
}

TEST(ShortenText, ReturnsTheFirstShortenedFormThatReachesTheWidth) {
  TBitmap t;
  WhiteTarget(t, 4, 4);
  TCanvas* c = t.Canvas();
  EXPECT_EQ(ShortenText(c, "Hello", 1000), "Hello");
  EXPECT_EQ(ShortenText(c, "Hello", 0), "H...");
  // The first form at least as wide as asked, even when it is wider.
  const int reach = c->TextWidth("Hel...");
  EXPECT_EQ(ShortenText(c, "Hello world", reach), "Hel...");
  EXPECT_EQ(ShortenText(c, "Hello world", reach - 1), "Hel...");
  EXPECT_EQ(ShortenText(c, "W", 0), "W");  // nothing shorter to try
  EXPECT_EQ(ShortenText(c, "", 0), "");
}

// A 9 x 9 picture: red, green, blue and yellow quarters around a grey cross.
TColor NineSliceSource(int x, int y) {
  if (x == 4 || y == 4) return kGrey;
  if (y < 4) return x < 4 ? kRed : kGreen;
  return x < 4 ? kBlue : kYellow;
}

TEST(DrawNineSliceBitmap, CornersKeepTheirSizeAndTheRestStretches) {
  TBitmap src, t;
  Paint(src, 9, 9, NineSliceSource);
  WhiteTarget(t, 20, 20);
  DrawNineSliceBitmap(&src, t.Canvas(), Rect(0, 0, 20, 20), false);
  EXPECT_EQ(At(t, 0, 0), kRed);
  EXPECT_EQ(At(t, 3, 3), kRed);
  EXPECT_EQ(At(t, 19, 0), kGreen);
  EXPECT_EQ(At(t, 17, 3), kGreen);
  EXPECT_EQ(At(t, 0, 19), kBlue);
  EXPECT_EQ(At(t, 19, 19), kYellow);
  EXPECT_EQ(At(t, 10, 10), kGrey);  // centre
  EXPECT_EQ(At(t, 1, 10), kGrey);   // left edge

  // A rectangle smaller than the picture: corners stay within their quarter.
  WhiteTarget(t, 6, 6);
  DrawNineSliceBitmap(&src, t.Canvas(), Rect(0, 0, 6, 6), false);
  EXPECT_EQ(At(t, 2, 2), kRed);
  EXPECT_EQ(At(t, 5, 0), kGreen);
  EXPECT_EQ(At(t, 0, 5), kBlue);
  EXPECT_EQ(At(t, 5, 5), kYellow);
}

TEST(DrawNineSliceBitmap, TransparentCornersLetTheBackgroundThrough) {
  TBitmap src, t;
  Paint(src, 9, 9, [](int x, int y) { return x == 0 && y == 0 ? kSkinMagenta : NineSliceSource(x, y); });
  for (bool transparent : {false, true}) {
    WhiteTarget(t, 20, 20);
    DrawNineSliceBitmap(&src, t.Canvas(), Rect(0, 0, 20, 20), transparent);
    EXPECT_EQ(At(t, 0, 0), transparent ? kWhite : kSkinMagenta);
    EXPECT_EQ(At(t, 1, 1), kRed);
  }
  // Degenerate sizes draw what fits and nothing else.
  TBitmap tiny;
  Paint(tiny, 1, 1, [](int, int) { return kRed; });
  WhiteTarget(t, 3, 3);
  DrawNineSliceBitmap(&tiny, t.Canvas(), Rect(0, 0, 3, 3), false);
  DrawNineSliceBitmap(&src, t.Canvas(), Rect(0, 0, 0, 0), false);
}

TEST(DrawThreePartImage, CapsStayAndTheMiddleStretches) {
  TBitmap src, t;
  Paint(src, 9, 2, [](int x, int) { return x < 3 ? kRed : x < 6 ? kGreen : kBlue; });
  WhiteTarget(t, 12, 3);
  DrawThreePartImage(&src, t.Canvas(), Rect(1, 0, 11, 3), false, kSkinMagenta);
  EXPECT_EQ(At(t, 0, 0), kWhite);
  EXPECT_EQ(At(t, 1, 0), kRed);
  EXPECT_EQ(At(t, 3, 1), kRed);
  EXPECT_EQ(At(t, 4, 0), kGreen);
  EXPECT_EQ(At(t, 7, 0), kGreen);
  EXPECT_EQ(At(t, 8, 0), kBlue);
  EXPECT_EQ(At(t, 10, 1), kBlue);
  EXPECT_EQ(At(t, 5, 2), kWhite);  // only the picture's height

  WhiteTarget(t, 12, 3);
  DrawThreePartImage(&src, t.Canvas(), Rect(0, 0, 2, 3), false, kSkinMagenta);  // narrower than a cap
  EXPECT_EQ(At(t, 1, 0), kRed);
  EXPECT_EQ(At(t, 2, 0), kWhite);
}

TEST(DrawThreePartImage, AutoMaskFillsTheMiddleAndCoversTheHeight) {
  TBitmap src, t;
  // The bottom-left pixel is the mask colour; the middle part is all mask.
  Paint(src, 9, 2, [](int x, int y) { return (x >= 3 && x < 6) || (x == 0 && y == 1) ? kGrey : kRed; });
  WhiteTarget(t, 12, 4);
  DrawThreePartImageAutoMask(&src, t.Canvas(), Rect(0, 0, 12, 4), true, kYellow, false);
  EXPECT_EQ(At(t, 0, 1), kWhite);   // masked cap pixel
  EXPECT_EQ(At(t, 1, 1), kRed);
  EXPECT_EQ(At(t, 5, 3), kYellow);  // the fill, stretched to the bottom
}

TEST(BitmapHelpers, ReplaceColourTileAndColourParts) {
  TBitmap b;
  Paint(b, 2, 1, [](int x, int) { return x ? kRed : kBlue; });
  b.SetPixelFormat(pf32bit);
  ReplaceBitmapColor(&b, kRed, kGreen);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(At(b, 1, 0), kGreen);
  EXPECT_EQ(At(b, 0, 0), kBlue);

  TBitmap t;
  WhiteTarget(t, 5, 5);
  TPicture empty;
  TileImage(t.Canvas(), &empty, Rect(0, 0, 5, 5));  // an empty picture must not loop
  TPicture tile;
  tile.Bitmap()->Assign(&b);
  TileImage(t.Canvas(), &tile, Rect(3, 3, 8, 8));  // the position is not used
  EXPECT_EQ(At(t, 0, 4), kBlue);
  EXPECT_EQ(At(t, 3, 4), kGreen);

  uint8_t r, g, bl;
  SplitRGB(MakeRGB(1, 2, 3), r, g, bl);
  EXPECT_EQ(MakeRGB(1, 2, 3), 0x030201);
  EXPECT_EQ(r + 10 * g + 100 * bl, 321);
  EXPECT_EQ(PCharToString(nullptr), "");
  EXPECT_EQ(PCharToString("abc"), "abc");
}

}  // namespace
