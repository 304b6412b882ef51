// Window regions of skinned frames: the rectangle lists a skin's title and
// bottom pictures give, the limits a hostile skin could set, and the rounded
// corners of the built-in styles.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/gdi_objects.h"
#include "skin/window_region.h"

namespace {

constexpr TColor kMagenta = 0xFF00FF;
constexpr TColor kInk = 0x336699;

// A picture of the given rows: '.' transparent, '#' opaque.
std::unique_ptr<TBitmap> Picture(const std::vector<std::string>& rows) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(int(rows[0].size()), int(rows.size()));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x) b->Canvas()->SetPixels(int(x), int(y), rows[y][x] == '#' ? kInk : kMagenta);
  return b;
}

std::vector<TRect> Rects(HRGN region) {
  std::vector<TRect> rects = region->region.Rects();
  DeleteObject(region);
  return rects;
}

Region Of(std::vector<TRect> rects) { return Region::FromRects(rects); }

TEST(SkinRegion, OpaqueRunsOfTheScannedRowsBecomeOnePixelRectangles) {
  auto title = Picture({"##..##", "......", ".....#", "######"});
  TSkinRegionSource s;
  s.TitleImage = title.get();
  s.Width = 6;
  s.Height = 10;
  s.TransColor = kMagenta;
  s.TitleMinY = 0;
  s.TitleMaxY = 2;  // rows 0..2 scanned, row 3 solid
  s.NeedTitle = true;
  const Region got = Of(Rects(MakeSkinRegion(s)));
  const Region expected = Of({{0, 0, 2, 1}, {4, 0, 6, 1}, {5, 2, 6, 3}, {0, 3, 6, 4}, {0, 4, 6, 10}});
  EXPECT_TRUE(got == expected);
  EXPECT_FALSE(got.Contains(2, 0));
  EXPECT_FALSE(got.Contains(0, 1));  // a row without opaque pixels gives nothing
}

TEST(SkinRegion, LimitsOfMinusOneScanTheWholePictureAndTheBottomMovesDown) {
  auto title = Picture({".##.", "####"});
  auto bottom = Picture({"####", "#..#"});
  TSkinRegionSource s;
  s.TitleImage = title.get();
  s.BottomImage = bottom.get();
  s.Width = 4;
  s.Height = 8;
  s.TransColor = kMagenta;
  s.NeedTitle = s.NeedBottom = true;
  s.BottomMinY = 1;  // row 0 of the bottom picture is solid, row 1 scanned
  s.BottomMaxY = 0;
  const Region got = Of(Rects(MakeSkinRegion(s)));
  const Region expected = Of({{1, 0, 3, 1}, {0, 1, 4, 2}, {0, 2, 4, 6}, {0, 6, 4, 7}, {0, 7, 1, 8}, {3, 7, 4, 8}});
  EXPECT_TRUE(got == expected);
}

TEST(SkinRegion, LimitsOutsideThePictureStayInsideIt) {
  auto title = Picture({"#..#", ".##."});
  TSkinRegionSource s;
  s.TitleImage = title.get();
  s.Width = 4;
  s.Height = 6;
  s.TransColor = kMagenta;
  s.NeedTitle = true;
  for (auto [minY, maxY] : {std::pair{-50, 1000}, {1000, 2000}, {-1, 70000}, {5, -9}}) {
    s.TitleMinY = minY;
    s.TitleMaxY = maxY;
    const Region got = Of(Rects(MakeSkinRegion(s)));
    EXPECT_TRUE(got.Bounds() == TRect({0, 0, 4, 6})) << minY << " " << maxY;
    EXPECT_TRUE(got.Contains(0, 5));
  }
}

TEST(SkinRegion, WithoutTheFlagsTheRegionIsTheWholeWindow) {
  TSkinRegionSource s;
  s.Width = 30;
  s.Height = 20;
  EXPECT_TRUE(Of(Rects(MakeSkinRegion(s))) == Region(TRect{0, 0, 30, 20}));
}

TEST(BuiltInRegion, SquareCornersReachOnePixelBeyondTheWindow) {
  EXPECT_TRUE(Of(Rects(MakeBuiltInRegion(100, 100, 0, 0))) == Of({{0, 0, 101, 51}, {0, 50, 101, 101}}));
}

TEST(BuiltInRegion, OnlyTheTopCornersAreRound) {
  const Region got = Of(Rects(MakeBuiltInRegion(120, 90, 11, 0)));
  EXPECT_FALSE(got.Contains(0, 0));
  EXPECT_FALSE(got.Contains(119, 0));
  EXPECT_TRUE(got.Contains(60, 0));
  EXPECT_TRUE(got.Contains(0, 89));
  EXPECT_TRUE(got.Contains(119, 89));
  EXPECT_TRUE(got.Contains(0, 44));
}

}  // namespace
