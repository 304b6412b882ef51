// Painting and the progress interface of the archive progress meter.
#include "archive/meter/ab_meter.h"

#include <mutex>

#include "platform/gui/application.h"
#include "platform/gui/canvas.h"
#include "platform/gui/type_info.h"

TAbCustomMeter::TAbCustomMeter(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(Left(), Top(), 150, 16);
}

template <class T>
void TAbCustomMeter::StoreAndInvalidate(T& field, T value) {
  if (field == value) return;
  field = value;
  Invalidate();
}

void TAbCustomMeter::SetBorderStyle(TBorderStyle value) { StoreAndInvalidate(borderStyle_, value); }
void TAbCustomMeter::SetCtl3D(bool value) { StoreAndInvalidate(ctl3D_, value); }
void TAbCustomMeter::SetUsedColor(TColor value) { StoreAndInvalidate(usedColor_, value); }
void TAbCustomMeter::SetUnusedColor(TColor value) { StoreAndInvalidate(unusedColor_, value); }

void TAbCustomMeter::SetOrientation(TAbMeterOrientation value) {
  if (orientation_ == value) return;
  orientation_ = value;
  if (!InState(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TAbCustomMeter::DoProgress(uint8_t progress) {
  if (progress == position_) return;
  position_ = progress >= 100 ? 0 : progress;
  Repaint();
  Application->ProcessMessages();
}

// The block size counts the client rectangle one pixel wider and higher than
// it is, as the meter always has; what falls outside is clipped.
void TAbCustomMeter::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  const int w = r.Right - r.Left + 1, h = r.Bottom - r.Top + 1;
  const bool horizontal = orientation_ == moHorizontal;
  const int blockSize = (horizontal ? w - 20 : h - 11) / tickMarks_ + 1;
  const int blocks = position_ / tickMarks_;

  canvas->Brush()->SetColor(unusedColor_);
  canvas->FillRect(Rect(r.Left, r.Top, r.Left + w - 1, r.Top + h - 1));
  canvas->Brush()->SetColor(usedColor_);
  for (int i = 0; i < blocks; ++i) {
    if (horizontal) {
      const int x = r.Left + 1 + 2 * i + i * blockSize;
      canvas->FillRect(Rect(x, r.Top + 1, x + blockSize, r.Bottom - 1));
    } else {
      const int bottom = r.Bottom - 1 - i - i * blockSize;
      canvas->FillRect(Rect(r.Left + 2, bottom - blockSize, r.Right - 2, bottom));
    }
  }
  if (borderStyle_ != bsSingle) return;
  const TColor topLeft = ctl3D_ ? clBtnShadow : clBlack, bottomRight = ctl3D_ ? clBtnHighlight : clBlack;
  TRect frame = r;
  Frame3D(canvas, frame, topLeft, bottomRight);
}

void RegisterAbMeter() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterStandardProps();  // the control's own published names come first
    RegisterProps<TAbMeter>(
        "TAbMeter",
        {EnumProp("BorderStyle", {"bsNone", "bsSingle"}, &TAbCustomMeter::BorderStyle, &TAbCustomMeter::SetBorderStyle),
         BoolProp("Ctl3D", &TAbCustomMeter::Ctl3D, &TAbCustomMeter::SetCtl3D),
         EnumProp("Orientation", {"moHorizontal", "moVertical"}, &TAbCustomMeter::Orientation,
                  &TAbCustomMeter::SetOrientation),
         IntProp("TickMarks", &TAbCustomMeter::TickMarks, &TAbCustomMeter::SetTickMarks),
         IntProp("UnusedColor", &TAbCustomMeter::UnusedColor, &TAbCustomMeter::SetUnusedColor),
         IntProp("UsedColor", &TAbCustomMeter::UsedColor, &TAbCustomMeter::SetUsedColor)});
    RegisterClass<TAbMeter>("TAbMeter");
  });
}
