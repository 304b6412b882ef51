// The image panel: tiling, auto size by alignment, transparency and captions.
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/picture.h"
#include "skin/image_panel.h"
#include "tests/skin/pixel_compare.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

// A 10 x 10 picture: red with a blue top-left pixel, so each tile's origin shows.
void TilePicture(TPicture* picture) {
  TBitmap b;
  b.SetSize(10, 10);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 10, 10));
  b.Canvas()->SetPixels(0, 0, clBlue);
  picture->SetGraphic(&b);
}

class ImagePanelTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 200, 150);
    form_->SetColor(clLime);
  }
  void TearDown() override { form_->Free(); }
  TsuiImagePanel* Panel(int left, int top, int w, int h) {
    auto* p = new TsuiImagePanel(form_);
    p->SetParent(form_);
    p->SetBounds(left, top, w, h);
    return p;
  }
  TForm* form_ = nullptr;
};

TEST_F(ImagePanelTest, TilesStartEveryTenPixelsAndAreCutAtTheEdge) {
  TsuiImagePanel* panel = Panel(0, 0, 25, 25);
  TPicture picture;
  TilePicture(&picture);
  panel->SetDrawStyle(suiTile);
  panel->SetPicture(&picture);
  form_->Show();
  Application->ProcessMessages();
  auto shot = Snapshot(panel);
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 25; ++x)
      EXPECT_EQ(shot->Row(y)[x] & 0xFFFFFF, x % 10 == 0 && y % 10 == 0 ? 0x0000FFu : 0xFF0000u) << x << "," << y;
}

TEST_F(ImagePanelTest, AutoSizeFollowsThePictureAlongFreeSidesOnly) {
  TPicture picture;
  TilePicture(&picture);
  TsuiImagePanel* client = Panel(0, 0, 50, 50);
  client->SetAlign(alClient);
  const TRect before = client->BoundsRect();
  client->SetAutoSize(true);
  client->SetPicture(&picture);
  EXPECT_EQ(client->BoundsRect(), before);
  client->Free();
  TsuiImagePanel* top = Panel(0, 0, 50, 50);
  top->SetAlign(alTop);
  const int width = top->Width();
  top->SetAutoSize(true);
  top->SetPicture(&picture);
  EXPECT_EQ(top->Height(), 10);
  EXPECT_EQ(top->Width(), width);
}

TEST_F(ImagePanelTest, TransparentShowsTheParentAndCaptionsAreAligned) {
  TsuiImagePanel* transparent = Panel(0, 0, 60, 20);
  transparent->SetTransparent(true);
  TsuiImagePanel* captioned = Panel(0, 30, 120, 20);
  captioned->SetColor(clWhite);
  captioned->SetCaption("Zálohuji…");
  captioned->SetAlignment(taRightJustify);
  TsuiImagePanel* huge = Panel(0, 60, 120, 20);
  huge->SetCaption(AnsiString(10000, 'M'));
  form_->Show();
  Application->ProcessMessages();
  auto shot = Snapshot(transparent);
  EXPECT_EQ(shot->Row(10)[30] & 0xFFFFFF, 0x00FF00u);
  ExpectPicture(*Snapshot(captioned), "image_panel_caption_right");
  EXPECT_EQ(captioned->CaptionRect(), captioned->ClientRect());
  EXPECT_EQ(Snapshot(huge)->width, 120);
}

}  // namespace
