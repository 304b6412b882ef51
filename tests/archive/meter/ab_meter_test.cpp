// The archive progress meter on the headless screen: its defaults, the
// blocks it draws for a percentage, the frame, and the setters' rules.
#include "archive/meter/ab_meter.h"

#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/headless_backend.h"

namespace {

class AbMeterTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(nullptr);
    form_->SetBounds(0, 0, 300, 100);
    meter_ = new TAbMeter(form_);
    meter_->SetParent(form_);
    form_->Show();
  }
  void TearDown() override { form_->Free(); }

  // The screen's colour at a point of the meter.
  COLORREF At(int x, int y) {
    Application->ProcessMessages();
    const TPoint p = meter_->ClientToScreen(Point(x, y));
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP screen = HeadlessScreenImage();
    HGDIOBJ old = SelectObject(dc, screen);
    const COLORREF c = GetPixel(dc, p.X, p.Y);
    SelectObject(dc, old);
    DeleteObject(screen);
    DeleteDC(dc);
    return c;
  }

  TForm* form_ = nullptr;
  TAbMeter* meter_ = nullptr;
};

TEST_F(AbMeterTest, ANewMeterIsAnEmptyHorizontalBarInARaisedFrame) {
  EXPECT_EQ(meter_->Width(), 150);
  EXPECT_EQ(meter_->Height(), 16);
  EXPECT_EQ(meter_->Orientation(), moHorizontal);
  EXPECT_EQ(meter_->TickMarks(), 10);
  EXPECT_EQ(At(5, 8), ColorToRGB(clBtnFace));
  EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(149, 15), ColorToRGB(clBtnHighlight));
}

// 159 wide with 10 ticks: blocks of 15 pixels with 2-pixel gaps from x = 1.
TEST_F(AbMeterTest, FortyFivePercentDrawsFourBlocks) {
  meter_->SetBounds(0, 0, 159, 16);
  meter_->DoProgress(45);
  for (int x : {1, 15, 18, 35, 52, 66}) EXPECT_EQ(At(x, 8), ColorToRGB(clNavy)) << x;
  for (int x : {16, 17, 69, 100}) EXPECT_EQ(At(x, 8), ColorToRGB(clBtnFace)) << x;
  EXPECT_EQ(At(5, 1), ColorToRGB(clNavy));

  meter_->DoProgress(100);  // a finished item shows an empty bar
  EXPECT_EQ(meter_->Position(), 0);
  EXPECT_EQ(At(5, 8), ColorToRGB(clBtnFace));
}

TEST_F(AbMeterTest, SettersKeepTheirRules) {
  meter_->SetTickMarks(0);
  EXPECT_EQ(meter_->TickMarks(), 10);
  meter_->SetOrientation(moVertical);
  EXPECT_EQ(meter_->Width(), 16);
  EXPECT_EQ(meter_->Height(), 150);
  meter_->SetOrientation(moHorizontal);
  meter_->SetCtl3D(false);
  EXPECT_EQ(At(0, 0), ColorToRGB(clBlack));
  EXPECT_EQ(At(149, 15), ColorToRGB(clBlack));
}

// Read from stored form data, a vertical meter keeps its stored size.
TEST_F(AbMeterTest, StoredPropertiesLoadByName) {
  RegisterAbMeter();
  TForm* form = new TForm(nullptr);
  {
    TFormLoader load(form);
    TComponent* meter = load.CreateByClassName("TAbMeter", "AbMeter1", form);
    load.Set(meter, {{"Width", "16"}, {"Height", "150"}, {"Orientation", "moVertical"}, {"TickMarks", "0"},
                     {"UsedColor", "255"}, {"Ctl3D", "False"}});
    load.Finish();
  }
  auto* meter = dynamic_cast<TAbMeter*>(form->FindComponent("AbMeter1"));
  ASSERT_NE(meter, nullptr);
  EXPECT_EQ(meter->Orientation(), moVertical);
  EXPECT_EQ(meter->Width(), 16);
  EXPECT_EQ(meter->Height(), 150);
  EXPECT_EQ(meter->TickMarks(), 10);
  EXPECT_EQ(meter->UsedColor(), 255);
  EXPECT_FALSE(meter->Ctl3D());
  form->Free();
}

}  // namespace
