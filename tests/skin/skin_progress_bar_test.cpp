// The skinned progress bar: its percentage text, filled length and looks at
// empty, half and full in both orientations, built-in and from the skin.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "skin/file_theme.h"
#include "skin/skin_progress_bar.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

TEST(ProgressBar, PercentTextAndFilledLength) {
  struct Case {
    int min, max, position;
    const char* text;
    int filledOf100;
  };
  for (const Case& c : {Case{0, 0, 0, "0%", 0}, Case{0, 100, 150, "150%", 100}, Case{0, 3, 2, "66%", 66},
                        Case{0, 100, 0, "0%", 0}, Case{10, 20, 5, "-50%", 0}, Case{5, 1, 3, "50%", 0}}) {
    TsuiProgressBar bar(nullptr);
    bar.SetMin(c.min);
    bar.SetMax(c.max);
    bar.SetPosition(c.position);
    EXPECT_EQ(bar.Text(), c.text) << c.min << ".." << c.max << " at " << c.position;
    EXPECT_EQ(bar.FilledLength(100), c.filledOf100) << c.min << ".." << c.max << " at " << c.position;
  }
}

class ProgressBarLooks : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 400, 200);
    theme_ = new TsuiBuiltInFileTheme(form_);
    skintest::LoadMainSkin(theme_);
  }
  void TearDown() override { form_->Free(); }
  TsuiProgressBar* Bar(TsuiUIStyle style, TsuiProgressBarOrientation orientation, int position, int left, int top) {
    auto* bar = new TsuiProgressBar(form_);
    bar->SetParent(form_);
    bar->SetFileTheme(theme_);
    bar->SetUIStyle(style);
    bar->SetOrientation(orientation);
    if (orientation == suiVertical) bar->SetBounds(left, top, 16, 60);
    else bar->SetBounds(left, top, 100, 16);
    bar->SetPosition(position);
    return bar;
  }
  TForm* form_ = nullptr;
  TsuiBuiltInFileTheme* theme_ = nullptr;
};

TEST_F(ProgressBarLooks, EmptyHalfAndFullBothWaysBuiltInAndSkinned) {
  struct Shot {
    TsuiProgressBar* bar;
    std::string name;
  };
  std::vector<Shot> shots;
  int top = 0;
  for (TsuiUIStyle style : {DeepBlue, FromThemeFile})
    for (int position : {0, 50, 100}) {
      const std::string name = std::string(style == DeepBlue ? "builtin" : "skin") + "_" + std::to_string(position);
      shots.push_back({Bar(style, suiHorizontal, position, 0, top), "progress_h_" + name});
      shots.push_back({Bar(style, suiVertical, position, 110 + top, 0), "progress_v_" + name});
      top += 20;
    }
  form_->Show();
  Application->ProcessMessages();
  for (const Shot& s : shots) ExpectPicture(*Snapshot(s.bar), s.name);
}

TEST_F(ProgressBarLooks, CaptionRulesAndStyleSwitch) {
  TsuiProgressBar* smart = Bar(DeepBlue, suiHorizontal, 0, 0, 0);
  smart->SetSmartShowCaption(true);
  TsuiProgressBar* plain = Bar(DeepBlue, suiHorizontal, 0, 0, 20);
  plain->SetShowCaption(false);
  // Skinned first, then built-in: the pieces stay but the bar paints the built-in way.
  TsuiProgressBar* switched = Bar(FromThemeFile, suiHorizontal, 50, 0, 40);
  switched->SetUIStyle(DeepBlue);
  TsuiProgressBar* builtIn = Bar(DeepBlue, suiHorizontal, 50, 0, 60);
  // A bar thinner than its caps and border.
  TsuiProgressBar* tiny = Bar(FromThemeFile, suiVertical, 70, 200, 0);
  tiny->SetBounds(200, 0, 1, 1);
  form_->Show();
  Application->ProcessMessages();
  EXPECT_EQ(Snapshot(smart)->pixels, Snapshot(plain)->pixels);
  EXPECT_EQ(Snapshot(switched)->pixels, Snapshot(builtIn)->pixels);
  EXPECT_EQ(Snapshot(tiny)->width, 1);
}

}  // namespace
