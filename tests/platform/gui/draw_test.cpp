// Drawing operations: pixel conventions, the raster-operation engine through
// monochrome masks, stretching, device-context state and image lists.
#include <gtest/gtest.h>

#include "gui_test_surface.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/image_list.h"
#include "platform/gui/picture.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
                   kBlue = RGB(0, 0, 255);

// Pixels inside r have colour in, the rest out.
void ExpectArea(const TestSurface& s, int w, int h, const RECT& r, COLORREF in, COLORREF out) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      EXPECT_EQ(s.At(x, y), PtInRect(&r, {x, y}) ? in : out) << "at " << x << "," << y;
}

TEST(PixelConventions, FillRectExcludesRightAndBottomEdges) {
  TestSurface s(6, 5);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT r{1, 1, 4, 3};
  FillRect(s.dc(), &r, red);
  DeleteObject(red);
  ExpectArea(s, 6, 5, r, kRed, kWhite);
}

TEST(PixelConventions, LineLeavesOutItsEndPoint) {
  TestSurface s(8, 8);
  MoveToEx(s.dc(), 1, 1, nullptr);
  LineTo(s.dc(), 6, 1);
  LineTo(s.dc(), 6, 6);
  EXPECT_EQ(s.At(1, 1), kBlack);
  EXPECT_EQ(s.At(5, 1), kBlack);
  EXPECT_EQ(s.At(6, 1), kBlack);  // the second line starts there
  EXPECT_EQ(s.At(6, 5), kBlack);
  EXPECT_EQ(s.At(6, 6), kWhite);  // end point of the last line
  EXPECT_EQ(s.At(0, 1), kWhite);
}

TEST(PixelConventions, RectangleFramesWithPenAndFillsWithBrush) {
  TestSurface s(7, 7);
  HBRUSH red = CreateSolidBrush(kRed);
  HGDIOBJ old = SelectObject(s.dc(), red);
  Rectangle(s.dc(), 1, 1, 5, 5);
  EXPECT_EQ(s.At(1, 1), kBlack);
  EXPECT_EQ(s.At(4, 4), kBlack);  // the frame lies inside right and bottom
  EXPECT_EQ(s.At(2, 2), kRed);
  EXPECT_EQ(s.At(3, 3), kRed);
  EXPECT_EQ(s.At(5, 5), kWhite);
  // Without a pen the filled area loses its right column and bottom row.
  SelectObject(s.dc(), GetStockObject(NULL_PEN));
  Rectangle(s.dc(), 0, 0, 7, 7);
  EXPECT_EQ(s.At(5, 5), kRed);
  EXPECT_EQ(s.At(6, 6), kWhite);
  SelectObject(s.dc(), old);
  DeleteObject(red);
}

TEST(PixelConventions, PolygonFillsPixelCentresInside) {
  TestSurface s(6, 6);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(s.dc(), red);
  SelectObject(s.dc(), GetStockObject(NULL_PEN));
  const POINT square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
  Polygon(s.dc(), square, 4);
  ExpectArea(s, 6, 6, {1, 1, 5, 4}, kRed, kWhite);
  DeleteObject(red);
}

TEST(Shapes, ArcRunsCounterClockwiseFromStartToEnd) {
  TestSurface s(21, 21);
  Arc(s.dc(), 0, 0, 21, 21, 21, 10, 10, -1);  // the top-right quarter
  EXPECT_EQ(s.At(20, 10), kBlack);
  EXPECT_EQ(s.At(10, 0), kBlack);
  EXPECT_EQ(s.At(17, 3), kBlack);
  EXPECT_EQ(s.At(0, 10), kWhite);
  EXPECT_EQ(s.At(10, 20), kWhite);
  EXPECT_EQ(s.At(3, 3), kWhite);
}

TEST(Shapes, SunkenEdgeShadesAndAdjustsTheRectangle) {
  TestSurface s(10, 10);
  RECT r{0, 0, 10, 10};
  DrawEdge(s.dc(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
  EXPECT_EQ(s.At(0, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(1, 5), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.At(9, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(8, 5), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(s.At(5, 5), kWhite);  // no BF_MIDDLE: the inside stays
}

// Every ternary code against all eight pattern/source/destination
// combinations, the source a monochrome mask mapped through the
// destination's text (0 -> black) and background (1 -> white) colours.
TEST(RasterOperations, GenericEngineFollowsEveryCodesTruthTable) {
  TestSurface mask(2, 1, kBlack, 1);
  SetPixel(mask.dc(), 1, 0, kWhite);
  HBRUSH brushes[2] = {CreateSolidBrush(kBlack), CreateSolidBrush(kWhite)};
  for (int code = 0; code < 256; ++code) {
    for (int p = 0; p < 2; ++p)
      for (int sBit = 0; sBit < 2; ++sBit)
        for (int d = 0; d < 2; ++d) {
          TestSurface dest(1, 1, d ? kWhite : kBlack);
          SelectObject(dest.dc(), brushes[p]);
          SetTextColor(dest.dc(), kBlack);
          SetBkColor(dest.dc(), kWhite);
          BitBlt(dest.dc(), 0, 0, 1, 1, mask.dc(), sBit, 0, DWORD(code) << 16);
          const bool bit = (code >> (p * 4 + sBit * 2 + d)) & 1;
          ASSERT_EQ(dest.At(0, 0), bit ? kWhite : kBlack) << "code " << code << " P" << p << " S" << sBit << " D" << d;
        }
  }
  DeleteObject(brushes[0]);
  DeleteObject(brushes[1]);
}

TEST(RasterOperations, DspdxaxPaintsTheBrushWhereTheMaskIsWhite) {
  // The disabled-glyph step: highlight through a mask, text black, back white.
  TestSurface mask(3, 1, kBlack, 1);
  SetPixel(mask.dc(), 1, 0, kWhite);
  TestSurface dest(3, 1, kBlue);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(dest.dc(), red);
  SetTextColor(dest.dc(), kBlack);
  SetBkColor(dest.dc(), kWhite);
  BitBlt(dest.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, 0x00E20746);
  EXPECT_EQ(dest.At(0, 0), kBlue);
  EXPECT_EQ(dest.At(1, 0), kRed);
  EXPECT_EQ(dest.At(2, 0), kBlue);
  DeleteObject(red);
}

TEST(RasterOperations, ColourToMonochromeMarksTheSourceBackgroundWhite) {
  TestSurface colour(3, 1);
  colour.SetRow(0, {kRed, kGreen, kRed});
  SetBkColor(colour.dc(), kGreen);
  TestSurface mono(3, 1, kBlack, 1);
  BitBlt(mono.dc(), 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(mono.At(0, 0), kBlack);
  EXPECT_EQ(mono.At(1, 0), kWhite);
  EXPECT_EQ(mono.At(2, 0), kBlack);
}

TEST(RasterOperations, OverlappingCopyWithinOneBitmapReadsTheOldPixels) {
  TestSurface s(4, 1);
  s.SetRow(0, {kRed, kGreen, kBlue});
  BitBlt(s.dc(), 1, 0, 3, 1, s.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(s.At(1, 0), kRed);
  EXPECT_EQ(s.At(2, 0), kGreen);
  EXPECT_EQ(s.At(3, 0), kBlue);
}

TEST(Stretching, NearestDoublesEachPixel) {
  TestSurface src(3, 1);
  src.SetRow(0, {kRed, kGreen, kBlue});
  const COLORREF order[3] = {kRed, kGreen, kBlue};
  TestSurface dest(6, 2);
  StretchBlt(dest.dc(), 0, 0, 6, 2, src.dc(), 0, 0, 3, 1, SRCCOPY);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dest.At(x, y), order[x / 2]) << x << "," << y;
  // A negative width mirrors: the right edge is x + width + 1.
  StretchBlt(dest.dc(), 5, 0, -6, 2, src.dc(), 0, 0, 3, 1, SRCCOPY);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(dest.At(x, 1), order[2 - x / 2]) << x;
}

TEST(Stretching, HalftoneAveragesTheCoveredPixels) {
  TestSurface src(2, 1, kBlack);
  SetPixel(src.dc(), 1, 0, kWhite);
  TestSurface dest(1, 1);
  SetStretchBltMode(dest.dc(), HALFTONE);
  StretchBlt(dest.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dest.At(0, 0), RGB(128, 128, 128));
}

TEST(DeviceContextState, OriginAndClipApplyUntilRestored) {
  TestSurface s(6, 6);
  HBRUSH red = CreateSolidBrush(kRed);
  const int saved = SaveDC(s.dc());
  SetViewportOrgEx(s.dc(), 2, 2, nullptr);
  IntersectClipRect(s.dc(), 0, 0, 2, 3);
  RECT all{-10, -10, 10, 10};
  FillRect(s.dc(), &all, red);
  RestoreDC(s.dc(), saved);
  ExpectArea(s, 6, 6, {2, 2, 4, 5}, kRed, kWhite);
  FillRect(s.dc(), &all, red);  // origin and clip are gone
  EXPECT_EQ(s.At(0, 0), kRed);
  EXPECT_EQ(s.At(5, 5), kRed);
  DeleteObject(red);
}

TEST(DeviceContextState, PatternBrushIsAlignedToTheBrushOrigin) {
  HBITMAP pattern = CreateBitmap(8, 8, 1, 32, nullptr);
  HDC p = CreateCompatibleDC(nullptr);
  SelectObject(p, pattern);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(p, x, y, (x + y) % 2 ? kRed : kBlue);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteDC(p);
  DeleteObject(pattern);  // the brush keeps its own copy
  TestSurface s(10, 2);
  RECT r{3, 0, 10, 2};
  FillRect(s.dc(), &r, brush);
  EXPECT_EQ(s.At(3, 0), kRed);  // (3 + 0) is odd wherever the fill starts
  EXPECT_EQ(s.At(4, 0), kBlue);
  SetBrushOrgEx(s.dc(), 1, 0, nullptr);
  FillRect(s.dc(), &r, brush);
  EXPECT_EQ(s.At(3, 0), kBlue);
  DeleteObject(brush);
}

TEST(DeviceContextState, ObjectDeletedWhileSelectedLivesUntilDeselected) {
  TestSurface s(2, 1);
  HBRUSH red = CreateSolidBrush(kRed);
  HGDIOBJ old = SelectObject(s.dc(), red);
  EXPECT_TRUE(DeleteObject(red));
  PatBlt(s.dc(), 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(s.At(0, 0), kRed);
  SelectObject(s.dc(), old);  // frees the brush now
  EXPECT_FALSE(DeleteObject(GetStockObject(WHITE_BRUSH)));
}

// A window's DC: device (0, 0) at an origin of its backing bitmap, limited
// to the window's visible part.
TEST(DeviceContextState, TargetDcDrawsAtItsOriginWithinItsVisibleRegion) {
  TestSurface backing(8, 8);
  HDC window = CreateTargetDC(backing.bitmap(), {2, 3});
  window->visibleRegion = Region({2, 3, 5, 5});
  window->InvalidateClip();
  HBRUSH red = CreateSolidBrush(kRed);
  RECT all{0, 0, 100, 100};
  FillRect(window, &all, red);
  ExpectArea(backing, 8, 8, {2, 3, 5, 5}, kRed, kWhite);
  EXPECT_EQ(GetPixel(window, 0, 0), kRed);
  RECT box;
  GetClipBox(window, &box);
  EXPECT_EQ(box, (TRect{0, 0, 3, 2}));
  DeleteDC(window);
  DeleteObject(red);
}

TEST(ChangeNotifications, DrawingOnABitmapReachesItsPicture) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.Bitmap()->SetSize(4, 4);
  const int afterSize = changes;
  EXPECT_GT(afterSize, 0);
  picture.Bitmap()->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_GT(changes, afterSize);
  TFont font;
  int fontChanges = 0;
  font.OnChange = [&](TObject*) { ++fontChanges; };
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetSize(10);  // unchanged: no notice
  EXPECT_EQ(fontChanges, 1);
}

TEST(ImageLists, DrawMaskedAndDisabled) {
  TBitmap glyph;
  glyph.SetSize(3, 1);
  glyph.Canvas()->SetPixels(0, 0, clFuchsia);
  glyph.Canvas()->SetPixels(1, 0, clBlack);
  glyph.Canvas()->SetPixels(2, 0, clFuchsia);
  TImageList list(nullptr, 3, 1);
  EXPECT_EQ(list.AddMasked(&glyph, clFuchsia), 0);
  TBitmap target;
  target.SetSize(5, 3);
  target.Canvas()->Brush()->SetColor(clGreen);
  target.Canvas()->FillRect(Rect(0, 0, 5, 3));
  list.Draw(target.Canvas(), 0, 0, 0, true);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clGreen);
  EXPECT_EQ(target.Canvas()->Pixels(1, 0), clBlack);
  EXPECT_EQ(target.Canvas()->Pixels(2, 0), clGreen);
  // Disabled: shadow in place, highlight one pixel down and right.
  list.Draw(target.Canvas(), 0, 1, 0, false);
  EXPECT_EQ(COLORREF(target.Canvas()->Pixels(1, 1)), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(COLORREF(target.Canvas()->Pixels(2, 2)), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(target.Canvas()->Pixels(0, 1), clGreen);
  EXPECT_THROW(list.Delete(1), EInvalidOperation);
}

}  // namespace
