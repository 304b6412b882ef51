// TAbMeter: a small graphic control that shows an archive component's
// progress as a row (or column) of filled blocks inside an optional frame.
// As an IAbProgressMeter it repaints at once on every change and lets the
// message loop run, so a window stays responsive during a long save.
#pragma once

#include "archive/ab_base_component.h"
#include "platform/gui/controls.h"

enum TAbMeterOrientation : uint8_t { moHorizontal, moVertical };

class TAbCustomMeter : public TGraphicControl, public IAbProgressMeter {
public:
  explicit TAbCustomMeter(TComponent* owner);

  // A report equal to the shown value changes nothing; 100 or more shows 0.
  void DoProgress(uint8_t progress) override;
  void Reset() override { DoProgress(0); }

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  TAbMeterOrientation Orientation() const { return orientation_; }
  // Width and height swap at run time; not while the form is being read.
  void SetOrientation(TAbMeterOrientation value);
  uint8_t TickMarks() const { return tickMarks_; }
  // 0 stores 10; no repaint.
  void SetTickMarks(uint8_t value) { tickMarks_ = value == 0 ? 10 : value; }
  TColor UsedColor() const { return usedColor_; }
  void SetUsedColor(TColor value);
  TColor UnusedColor() const { return unusedColor_; }
  void SetUnusedColor(TColor value);
  int Position() const { return position_; }
  AnsiString Version() const { return "4.0"; }

protected:
  void Paint() override;

private:
  template <class T>
  void StoreAndInvalidate(T& field, T value);

  TBorderStyle borderStyle_ = bsSingle;
  bool ctl3D_ = true;
  TAbMeterOrientation orientation_ = moHorizontal;
  int position_ = 0;
  uint8_t tickMarks_ = 10;
  TColor usedColor_ = clNavy;
  TColor unusedColor_ = clBtnFace;
};

class TAbMeter : public TAbCustomMeter {
public:
  using TAbCustomMeter::TAbCustomMeter;
};

// The meter's published properties and its class, for the form-building
// protocol (once).
void RegisterAbMeter();
