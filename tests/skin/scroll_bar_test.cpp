// The skinned scroll bar: thumb length from LineButton or the page, layout
// in both orientations, arrows that step only while held, and its looks
// built-in and from the skin.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/clock.h"
#include "skin/db_navigator.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/image_panel.h"
#include "skin/skin_button.h"
#include "skin/skin_edit.h"
#include "skin/skin_scroll_bar.h"
#include "skin/track_bar.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

class ScrollBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 500, 400);
  }
  void TearDown() override {
    form_->Free();
    if (VirtualClockActive()) SetVirtualClock(false);
  }
  // An upright bar whose track is trackLength long (the arrows are 16 high).
  TsuiScrollBar* Bar(int trackLength = 153, int left = 10) {
    auto* bar = new TsuiScrollBar(form_);
    bar->SetParent(form_);
    bar->SetOrientation(suiVertical);
    bar->SetBounds(left, 10, 16, trackLength + 32);
    return bar;
  }
  static int ThumbLength(TsuiScrollBar* bar) { return bar->Track()->Slider()->Height(); }
  TForm* form_ = nullptr;
};

TEST_F(ScrollBarTest, ThumbLengthFromLineButtonOrPage) {
  TsuiScrollBar* bar = Bar();
  bar->SetLineButton(10);
  EXPECT_EQ(ThumbLength(bar), 16);
  EXPECT_EQ(bar->LineButton(), 16);
  bar->SetLineButton(154);  // longer than the 153 pixels between the arrows
  EXPECT_EQ(bar->LineButton(), 16);
  bar->SetLineButton(153);
  EXPECT_EQ(ThumbLength(bar), 153);

  TsuiScrollBar* paged = Bar(200, 40);
  struct Case {
    int pageSize, thumb;
  };
  for (const Case& c : {Case{50, 100}, Case{5, 20}, Case{150, 20}, Case{100, 200}, Case{10, 20}}) {
    paged->SetPageSize(2);
    paged->SetPageSize(c.pageSize);
    EXPECT_EQ(ThumbLength(paged), c.thumb) << "page " << c.pageSize;
  }
  EXPECT_EQ(paged->LargeChange(), 10);
}

TEST_F(ScrollBarTest, LayoutFollowsOrientationAndAZeroHeightHides) {
  auto* bar = new TsuiScrollBar(form_);
  bar->SetParent(form_);
  bar->SetBounds(0, 0, 120, 40);
  EXPECT_EQ(bar->Height(), 16);  // lying: as high as its arrows
  EXPECT_EQ(bar->Track()->Left(), 16);
  EXPECT_EQ(bar->Track()->Width(), 88);
  EXPECT_EQ(bar->EndButton()->Left(), 104);
  bar->SetOrientation(suiVertical);
  bar->SetHeight(120);
  EXPECT_EQ(bar->Width(), bar->StartButton()->Width());
  EXPECT_EQ(bar->Track()->Top(), 16);
  EXPECT_EQ(bar->Track()->Height(), 88);
  EXPECT_EQ(bar->EndButton()->Top(), 104);
  EXPECT_GT(bar->StartButton()->PicNormal()->Height(), 0);
  EXPECT_TRUE(bar->Visible());
  bar->SetHeight(0);
  EXPECT_FALSE(bar->Visible());
}

TEST_F(ScrollBarTest, ArrowsStepOnlyWhileHeld) {
  SetVirtualClock(true);
  TsuiScrollBar* bar = Bar();
  bar->SetPosition(50);
  int changes = 0;
  bar->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, bar);
    ++changes;
  };
  form_->Show();
  Application->ProcessMessages();
  struct Case {
    TsuiImageButton* button;
    unsigned heldMs;
    int position;
  };
  for (const Case& c : {Case{bar->EndButton(), 90, 50}, Case{bar->EndButton(), 350, 53},
                        Case{bar->StartButton(), 350, 50}}) {
    const TPoint p = CentreOf(c.button);
    HeadlessMouseMove(p.X, p.Y);
    HeadlessMouseDown(p.X, p.Y);
    Application->ProcessMessages();
    for (unsigned t = 0; t < c.heldMs; t += 10) {
      AdvanceVirtualClock(10);
      Application->ProcessMessages();
    }
    HeadlessMouseUp(p.X, p.Y);
    Application->ProcessMessages();
    AdvanceVirtualClock(500);
    Application->ProcessMessages();
    EXPECT_EQ(bar->Position(), c.position) << c.heldMs << " ms";
  }
  EXPECT_EQ(changes, 6);
}

TEST_F(ScrollBarTest, LooksBuiltInAndSkinned) {
  auto* theme = new TsuiBuiltInFileTheme(form_);
  skintest::LoadMainSkin(theme);
  std::vector<std::pair<TsuiScrollBar*, std::string>> shots;
  int left = 10;
  for (TsuiUIStyle style : {DeepBlue, FromThemeFile}) {
    TsuiScrollBar* upright = Bar(120, left);
    auto* lying = new TsuiScrollBar(form_);
    lying->SetParent(form_);
    lying->SetBounds(left + 30, 10, 150, 16);
    for (TsuiScrollBar* bar : {upright, lying}) {
      bar->SetFileTheme(theme);
      bar->SetUIStyle(style);
      bar->SetPageSize(30);
      bar->SetPosition(40);
    }
    const std::string name = style == DeepBlue ? "builtin" : "skin";
    shots.push_back({upright, "scrollbar_v_" + name});
    shots.push_back({lying, "scrollbar_h_" + name});
    left += 200;
  }
  form_->Show();
  Application->ProcessMessages();
  for (auto& [bar, name] : shots) ExpectPicture(*Snapshot(bar), name);
}

TEST_F(ScrollBarTest, PublishedPropertiesReachBarsTracksAndNavigators) {
  TsuiScrollBar* bar = Bar();
  auto* track = new TsuiTrackBar(form_);
  track->SetParent(form_);
  auto* nav = new TsuiDBNavigator(form_);
  nav->SetParent(form_);
  ApplyThemeToChildren(form_, WinXP, nullptr);
  EXPECT_EQ(bar->UIStyle(), WinXP);
  EXPECT_EQ(track->UIStyle(), WinXP);
  EXPECT_EQ(nav->UIStyle(), WinXP);
  EXPECT_EQ(nav->Button(nbLast)->UIStyle(), WinXP);
  auto* memo = new TsuiMemo(form_);
  memo->SetParent(form_);
  SetObjectProp(memo, "VScrollBar", bar);
  EXPECT_EQ(memo->VScrollBar(), bar);
  SetOrdProp(bar, "Max", 7);
  EXPECT_EQ(bar->Max(), 7);
  SetOrdProp(nav, "VisibleButtons", NavButton(nbNext));
  EXPECT_EQ(nav->VisibleButtons(), NavButton(nbNext));
}

}  // namespace
