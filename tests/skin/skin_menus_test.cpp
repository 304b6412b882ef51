// Owner-drawn menus: item measures, and the pixels of plain, selected,
// disabled, checked and separator items in a built-in style and in a skin.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/image_list.h"
#include "skin/builtin_styles.h"
#include "skin/skin_menus.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

constexpr int kWidth = 160, kHeight = 21;

uint32_t Rgb(TColor c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

class MenuTest : public ::testing::Test {
protected:
  MenuTest() : menu_(new TsuiPopupMenu(nullptr)), item_(new TMenuItem(menu_)) {
    item_->SetCaption("&Otevřít");
    menu_->Items()->Add(item_);
    canvas_.SetSize(kWidth, kHeight);
  }
  ~MenuTest() override { menu_->Free(); }
  void Draw(bool selected) {
    canvas_.Canvas()->Brush()->SetColor(0x123456);
    canvas_.Canvas()->FillRect(Rect(0, 0, kWidth, kHeight));
    item_->DrawItem(canvas_.Canvas(), Rect(0, 0, kWidth, kHeight), selected);
  }
  uint32_t At(int x, int y) { return canvas_.ScanLine(y)[x] & 0xFFFFFF; }
  TsuiMenuLook& Look() { return menu_->Look(); }

  TsuiPopupMenu* menu_;
  TMenuItem* item_;
  TBitmap canvas_;
};

TEST_F(MenuTest, MeasuresFollowCaptionShortcutAndBar) {
  TBitmap probe;
  TCanvas* c = probe.Canvas();
  item_->SetShortCut(ShortCut('S', ssCtrl));
  int w = 0, h = 0;
  item_->MeasureItem(c, w, h);
  EXPECT_EQ(w, c->TextWidth("&Otevřít") + c->TextWidth("Ctrl+S") + 26 + 40);
  EXPECT_EQ(h, 21);
  item_->SetCaption("-");
  c->Font()->SetSize(40);
  item_->MeasureItem(c, w, h);
  EXPECT_EQ(h, 5);  // a separator keeps its height whatever the font
  item_->SetCaption("--");
  item_->MeasureItem(c, w, h);
  EXPECT_GT(h, 21);  // a text item
}

TEST_F(MenuTest, PlainSelectedAndDisabledItemsInABuiltInStyle) {
  const uint32_t bar = Rgb(GetBuiltInColor(DeepBlue, 23)), back = Rgb(GetBuiltInColor(DeepBlue, 21));
  const uint32_t fill = Rgb(GetBuiltInColor(DeepBlue, 19)), frame = Rgb(GetBuiltInColor(DeepBlue, 18));
  Draw(false);
  EXPECT_EQ(At(1, 1), bar);
  EXPECT_EQ(At(25, kHeight - 1), bar);
  EXPECT_EQ(At(26, 1), back);
  EXPECT_EQ(At(kWidth - 1, kHeight - 1), back);
  Draw(true);
  EXPECT_EQ(At(0, 0), frame);
  EXPECT_EQ(At(2, 2), fill);
  item_->SetEnabled(false);
  Draw(true);  // a disabled item has no highlight
  EXPECT_EQ(At(1, 1), bar);
  EXPECT_EQ(At(kWidth - 2, 1), back);
}

TEST_F(MenuTest, ASeparatorIsALineOverTheBackground) {
  item_->SetCaption("-");
  Draw(true);
  EXPECT_EQ(At(1, 1), Rgb(GetBuiltInColor(DeepBlue, 23)));
  EXPECT_EQ(At(40, 2), 0x848284u);
  EXPECT_EQ(At(40, 1), Rgb(GetBuiltInColor(DeepBlue, 21)));
  EXPECT_EQ(At(26 + 3, 2), Rgb(GetBuiltInColor(DeepBlue, 21)));  // the line starts 4 pixels after the bar
}

TEST_F(MenuTest, ACheckedItemShowsTheCheckMarkOrItsImageOverABox) {
  item_->SetChecked(true);
  Draw(false);
  int dark = 0;
  for (int y = 3; y < 19; ++y)
    for (int x = 4; x < 20; ++x) dark += At(x, y) == 0;
  EXPECT_GT(dark, 5);

  TImageList images(nullptr);
  TBitmap picture;
  picture.SetSize(16, 16);
  picture.Canvas()->Brush()->SetColor(0x00FF00);
  picture.Canvas()->FillRect(Rect(0, 0, 16, 16));
  images.AddMasked(&picture, 0xFF00FF);
  menu_->SetImages(&images);
  item_->SetImageIndex(0);
  Draw(false);
  EXPECT_EQ(At(2, 1), 0u);                                   // the black frame
  EXPECT_EQ(At(3, 2), Rgb(GetBuiltInColor(DeepBlue, 19)));   // the box
  EXPECT_EQ(At(10, 10), 0x00FF00u);                          // the image
  menu_->SetImages(nullptr);
}

TEST_F(MenuTest, MacOSKeepsItsSeparatorHeightAndSkinsGiveTheirColours) {
  menu_->SetUIStyle(MacOS);
  menu_->SetSeparatorHeight(30);
  EXPECT_EQ(Look().SeparatorHeight, 12);
  menu_->SetUIStyle(DeepBlue);
  menu_->SetSeparatorHeight(30);
  EXPECT_EQ(Look().SeparatorHeight, 30);

  TsuiBuiltInFileTheme theme(nullptr);
  skintest::LoadMainSkin(&theme);
  menu_->SetFileTheme(&theme);
  menu_->SetUIStyle(FromThemeFile);
  EXPECT_EQ(Look().Color, theme.GetColor(11));
  Draw(false);
  EXPECT_EQ(At(kWidth - 2, 1), Rgb(theme.GetColor(11)));
  EXPECT_EQ(At(1, 1), Rgb(theme.GetColor(9)));
  menu_->SetFileTheme(nullptr);
}

}  // namespace
