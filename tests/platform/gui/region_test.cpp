// Regions: canonical bands, rounded rectangles, combination, offset, point
// tests and region data.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/gdi.h"
#include "platform/gui/region.h"

namespace {

std::vector<TRect> RectsOf(HRGN r) {
  std::vector<uint8_t> buffer(GetRegionData(r, 0, nullptr));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  GetRegionData(r, DWORD(buffer.size()), data);
  return std::vector<TRect>(data->Buffer, data->Buffer + data->rdh.nCount);
}

TEST(Regions, RoundRectWithZeroEllipseIsTheRectangle) {
  HRGN round = CreateRoundRectRgn(0, 0, 101, 51, 0, 0);
  HRGN rect = CreateRectRgn(0, 0, 101, 51);
  EXPECT_TRUE(EqualRgn(round, rect));
  // The frame's two halves unite into one rectangle a pixel larger than the window.
  HRGN bottom = CreateRoundRectRgn(0, 50, 101, 101, 0, 0);
  EXPECT_EQ(CombineRgn(round, round, bottom, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(RectsOf(round), (std::vector<TRect>{{0, 0, 101, 101}}));
  for (HRGN h : {round, rect, bottom}) DeleteObject(h);
}

TEST(Regions, RoundedCornersCutOnlyTheCorners) {
  HRGN r = CreateRoundRectRgn(0, 0, 20, 20, 10, 10);
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  EXPECT_FALSE(PtInRegion(r, 19, 19));
  EXPECT_TRUE(PtInRegion(r, 10, 0));
  EXPECT_TRUE(PtInRegion(r, 0, 10));
  EXPECT_TRUE(PtInRegion(r, 19, 10));
  EXPECT_FALSE(PtInRegion(r, 20, 10));
  DeleteObject(r);
}

TEST(Regions, CombineGivesCanonicalBands) {
  struct Case {
    int mode;
    std::vector<TRect> expected;
  } cases[] = {
      {RGN_OR, {{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}},
      {RGN_AND, {{2, 2, 4, 4}}},
      {RGN_DIFF, {{0, 0, 4, 2}, {0, 2, 2, 4}}},
      {RGN_XOR, {{0, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 6, 6}}},
  };
  for (const Case& c : cases) {
    HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6), out = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(out, a, b, c.mode);
    EXPECT_EQ(RectsOf(out), c.expected) << "mode " << c.mode;
    for (HRGN h : {a, b, out}) DeleteObject(h);
  }
}

TEST(Regions, EqualAreasCompareEqualWhateverTheirHistory) {
  // Two halves side by side merge into the one rectangle.
  const Region halves = Region::Combine(Region({0, 0, 2, 3}), Region({2, 0, 4, 3}), RegionOp::Or);
  EXPECT_EQ(halves, Region({0, 0, 4, 3}));
  EXPECT_TRUE(Region::Combine(halves, Region({0, 0, 4, 3}), RegionOp::Diff).IsEmpty());
}

TEST(Regions, OffsetMovesEveryRectangle) {
  HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6);
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_EQ(OffsetRgn(a, 10, -2), COMPLEXREGION);
  RECT box;
  GetRgnBox(a, &box);
  EXPECT_EQ(box, (TRect{10, -2, 16, 4}));
  EXPECT_TRUE(PtInRegion(a, 10, -2));
  EXPECT_FALSE(PtInRegion(a, 15, -2));
  DeleteObject(a);
  DeleteObject(b);
}

TEST(Regions, RegionDataRoundTripsAndRejectsShortBuffers) {
  HRGN a = CreateRoundRectRgn(0, 0, 30, 20, 12, 12);
  const DWORD size = GetRegionData(a, 0, nullptr);
  std::vector<uint8_t> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  ASSERT_EQ(GetRegionData(a, size, data), size);
  HRGN b = ExtCreateRegion(nullptr, size, data);
  EXPECT_TRUE(EqualRgn(a, b));
  data->rdh.nCount += 1000;  // claims more rectangles than the buffer holds
  EXPECT_EQ(ExtCreateRegion(nullptr, size, data), nullptr);
  DeleteObject(a);
  DeleteObject(b);
}

}  // namespace
