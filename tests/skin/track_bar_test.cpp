// The skinned track bar: its value rules (clamping, sliding range, page and
// line sizes), dragging the slider, paging while the mouse is held, the keys,
// the ticks by pixels (also over the whole 32-bit range) and its looks.
#include <gtest/gtest.h>

#include <climits>

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/picture.h"
#include "platform/rtl/clock.h"
#include "skin/file_theme.h"
#include "skin/image_panel.h"
#include "skin/track_bar.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

TEST(TrackBarValues, PositionRangesAndSizes) {
  TsuiTrackBar bar(nullptr);
  bar.SetPosition(15);
  EXPECT_EQ(bar.Position(), 10);  // clamped to Max
  bar.SetPosition(3);
  bar.SetSlidingMax(5);
  bar.SetPosition(15);
  EXPECT_EQ(bar.Position(), 3);  // beyond the sliding range: ignored
  bar.SetSlidingMax(20);
  EXPECT_EQ(bar.SlidingMax(), 10);  // never beyond Max
  bar.SetMin(-10);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 3);  // below the default sliding minimum -1
  bar.SetSlidingMin(-10);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), -5);
  bar.SetPageSize(20);
  EXPECT_EQ(bar.PageSize(), 2);  // larger than Max
  bar.SetLineSize(-1);
  EXPECT_EQ(bar.LineSize(), 1);
  bar.SetMax(-20);
  EXPECT_EQ(bar.Max(), -10);  // not below Min
  EXPECT_EQ(bar.Position(), -10);
}

class TrackBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 400, 300);
    form_->SetColor(clWhite);
  }
  void TearDown() override {
    form_->Free();
    if (VirtualClockActive()) SetVirtualClock(false);
  }
  // A bar of the given length with a plain slider of 10 x 20 (10 x 10 upright).
  TsuiTrackBar* Bar(int length, TsuiProgressBarOrientation orientation = suiHorizontal, int left = 10, int top = 10) {
    auto* bar = new TsuiTrackBar(form_);
    bar->SetParent(form_);
    bar->SetOrientation(orientation);
    if (orientation == suiVertical) bar->SetBounds(left, top, 20, length);
    else bar->SetBounds(left, top, length, 20);
    TBitmap slider;
    slider.SetSize(10, orientation == suiVertical ? 10 : 20);
    slider.Canvas()->Brush()->SetColor(clNavy);
    slider.Canvas()->FillRect(Rect(0, 0, 10, 20));
    TPicture picture;
    picture.SetGraphic(&slider);
    bar->SetSliderImage(&picture);
    bar->SetColor(clWhite);
    return bar;
  }
  void Show() {
    form_->Show();
    Application->ProcessMessages();
  }
  static void Run(unsigned ms) {
    AdvanceVirtualClock(ms);
    Application->ProcessMessages();
  }
  TForm* form_ = nullptr;
};

TEST_F(TrackBarTest, DraggingTheSliderFollowsTheGrabPoint) {
  TsuiTrackBar* bar = Bar(100);
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  Show();
  const TPoint grab = bar->Slider()->ClientToScreen(Point(5, 10));
  HeadlessMouseDown(grab.X, grab.Y);
  const TPoint to = bar->ClientToScreen(Point(50, 10));
  HeadlessMouseMove(to.X, to.Y);
  HeadlessMouseUp(to.X, to.Y);
  Application->ProcessMessages();
  EXPECT_EQ(bar->Position(), 5);  // round(45 * 10 / 90)
  EXPECT_EQ(bar->Slider()->Left(), 45);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(bar->Focused());
}

TEST_F(TrackBarTest, HeldPressPagesTowardTheCursorAndStopsThere) {
  SetVirtualClock(true);
  TsuiTrackBar* across = Bar(110);
  across->SetMax(100);
  TsuiTrackBar* upright = Bar(110, suiVertical, 200);
  upright->SetMax(100);
  Show();
  struct Case {
    TsuiTrackBar* bar;
    TPoint press;
    std::vector<int> positions;  // after the press, then after each 100 ms
  };
  const Case cases[] = {
      {across, Point(60, 10), {2, 8, 14, 20, 26, 32, 38, 44, 50, 56, 60, 60}},
      {upright, Point(10, 60), {2, 4, 6, 8}},
  };
  for (const Case& c : cases) {
    const TPoint p = c.bar->ClientToScreen(c.press);
    HeadlessMouseMove(p.X, p.Y);
    HeadlessMouseDown(p.X, p.Y);
    Application->ProcessMessages();
    std::vector<int> seen{c.bar->Position()};
    while (seen.size() < c.positions.size()) {
      Run(100);
      seen.push_back(c.bar->Position());
    }
    HeadlessMouseUp(p.X, p.Y);
    Application->ProcessMessages();
    Run(500);
    EXPECT_EQ(seen, c.positions);
    EXPECT_EQ(c.bar->Position(), c.positions.back());  // the timer ended with the button
  }
}

TEST_F(TrackBarTest, KeysMoveByPageLineOrToTheEnds) {
  TsuiTrackBar* bar = Bar(100);
  Show();
  struct Case {
    int key, expected;
  };
  for (const Case& c : {Case{VK_PRIOR, 3}, Case{VK_NEXT, 7}, Case{VK_END, 10}, Case{VK_HOME, 0}, Case{VK_LEFT, 4},
                        Case{VK_UP, 4}, Case{VK_RIGHT, 6}, Case{VK_DOWN, 6}}) {
    bar->SetPosition(5);
    bar->SetFocus();
    PressKey(c.key);
    Application->ProcessMessages();
    EXPECT_EQ(bar->Position(), c.expected) << "key " << c.key;
    EXPECT_TRUE(bar->Focused()) << "key " << c.key;
  }
  bar->SetSlidingMax(6);
  bar->SetPosition(5);
  PressKey(VK_END);
  Application->ProcessMessages();
  EXPECT_EQ(bar->Position(), 5);  // beyond the sliding range
}

// The columns of the bottom row that carry a tick (black).
std::vector<int> TickColumns(TsuiTrackBar* bar) {
  auto shot = Snapshot(bar);
  std::vector<int> columns;
  for (int x = 0; x < shot->width; ++x)
    if ((shot->Row(shot->height - 1)[x] & 0xFFFFFF) == 0) columns.push_back(x);
  return columns;
}

TEST_F(TrackBarTest, TicksStandAtTheirPixels) {
  TsuiTrackBar* every3 = Bar(100);
  every3->SetFrequency(3);
  TsuiTrackBar* ends = Bar(100, suiHorizontal, 10, 40);
  ends->SetFrequency(0);
  TsuiTrackBar* whole = Bar(200, suiHorizontal, 10, 70);
  whole->SetMax(INT_MAX);
  whole->SetMin(INT_MIN);
  whole->SetSlidingMin(INT_MIN);
  whole->SetPosition(INT_MAX);
  TsuiTrackBar* positive = Bar(200, suiHorizontal, 10, 100);
  positive->SetMax(INT_MAX);
  positive->SetPosition(INT_MAX - 1);
  // No slider over the ticks, no focus mark along the bottom row.
  for (TsuiTrackBar* bar : {every3, ends, whole, positive}) {
    bar->Slider()->Hide();
    bar->SetTabStop(false);
  }
  Show();
  // 0, 3, 6, 9 and 10 at (100 - 10) * v / 10 + 10 / 2.
  EXPECT_EQ(TickColumns(every3), (std::vector<int>{5, 32, 59, 86, 95}));
  EXPECT_EQ(TickColumns(ends), (std::vector<int>{5, 95}));
  // Billions of values on 190 pixels: one solid band, drawn pixel by pixel.
  std::vector<int> band;
  for (int x = 5; x <= 195; ++x) band.push_back(x);
  EXPECT_EQ(TickColumns(whole), band);
  EXPECT_EQ(TickColumns(positive), band);
  EXPECT_EQ(whole->Slider()->Left(), 190);
  EXPECT_EQ(positive->Slider()->Left(), 189);  // (2^31 - 2) * 190 / (2^31 - 1), not a wrapped product
  EXPECT_EQ(whole->ValueAt(190, 0), INT_MAX);
  EXPECT_EQ(whole->ValueAt(0, 0), INT_MIN);
}

TEST_F(TrackBarTest, LooksBuiltInAndSkinnedBothWays) {
  auto* theme = new TsuiBuiltInFileTheme(form_);
  skintest::LoadMainSkin(theme);
  std::vector<std::pair<TsuiTrackBar*, std::string>> shots;
  int left = 10;
  for (TsuiUIStyle style : {DeepBlue, FromThemeFile}) {
    auto* across = new TsuiTrackBar(form_);
    across->SetParent(form_);
    across->SetBounds(left, 10, 120, 30);
    auto* upright = new TsuiTrackBar(form_);
    upright->SetParent(form_);
    upright->SetOrientation(suiVertical);
    upright->SetBounds(left, 60, 30, 120);
    for (TsuiTrackBar* bar : {across, upright}) {
      bar->SetFileTheme(theme);
      bar->SetUIStyle(style);
      bar->SetPosition(4);
    }
    const std::string name = style == DeepBlue ? "builtin" : "skin";
    shots.push_back({across, "trackbar_h_" + name});
    shots.push_back({upright, "trackbar_v_" + name});
    left += 150;
  }
  Show();
  for (auto& [bar, name] : shots) ExpectPicture(*Snapshot(bar), name);
}

}  // namespace
