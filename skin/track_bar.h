// TsuiTrackBar: a skinned slider over a value range — a bar picture, a
// draggable slider picture (an image panel on the bar), tick marks, paging by
// mouse (repeating while held) and keys, and an optional sliding range
// narrower than the value range. TsuiScrollTrackBar is the same control as
// the track of the skinned scroll bar: its owner gives it its pictures, it
// never takes the focus and its slider stays opaque.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gui/std_controls.h"
#include "skin/skin_keys.h"
#include "skin/skin_progress_bar.h"

class TBitmap;
class TPicture;
class TTimer;
class TsuiFileTheme;
class TsuiImagePanel;

class TsuiTrackBar : public TCustomPanel {
public:
  explicit TsuiTrackBar(TComponent* owner);
  ~TsuiTrackBar() override;

  TsuiProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TsuiProgressBarOrientation value);
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TPicture* BarImage() const { return barImage_.get(); }
  void SetBarImage(TPicture* value);
  TPicture* SliderImage() const;
  virtual void SetSliderImage(TPicture* value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Min() const { return min_; }
  void SetMin(int value);
  int SlidingMax() const { return slidingMax_; }
  void SetSlidingMax(int value);
  int SlidingMin() const { return slidingMin_; }
  void SetSlidingMin(int value);
  int Position() const { return position_; }
  void SetPosition(int value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int value);
  bool ShowTick() const { return showTick_; }
  void SetShowTick(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  int Frequency() const { return frequency_; }
  void SetFrequency(int value);

  TsuiImagePanel* Slider() const { return slider_; }
  // The value whose slider would stand at the point, given where the slider
  // was last grabbed; 0 when the slider fills the whole length.
  int64_t ValueAt(int x, int y) const;
  // Where the slider stands for the current position.
  TPoint SliderPos() const;

  TNotifyEvent OnChange;

protected:
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool WantsKey(WORD key) const override;
  void Notification(TComponent* component, TOperation operation) override;

  virtual void UpdatePictures();
  virtual bool UsesOwnPictures() const { return false; }
  virtual bool FocusOnClick() const { return true; }
  virtual bool SliderTransparent() const { return orientation_ == suiHorizontal; }
  void ReloadPictures();
  void UpdateSlider();

private:
  bool Vertical() const { return orientation_ == suiVertical; }
  int Length() const { return Vertical() ? Height() : Width(); }
  int SliderLength() const;
  void BuildBarBitmap();
  void FitToPictures();
  void PaintTicks(TCanvas* canvas) const;
  void TakeFocus();
  // One paging step toward the point, not past the value there.
  void PageToward(int x, int y, int step);
  void StopPaging();
  void SliderMouseDown(TMouseButton button, TShiftState shift, int x, int y);

  std::unique_ptr<TPicture> barImage_;
  std::unique_ptr<TTimer> repeatTimer_;
  TsuiImagePanel* slider_ = nullptr;
  int min_ = 0, max_ = 10, slidingMin_ = -1, slidingMax_ = 2147483647, position_ = 0, lastReported_ = 0;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  TsuiFileTheme* fileTheme_ = nullptr;
  TsuiUIStyle uiStyle_ = DeepBlue;
  bool showTick_ = true, transparent_ = false;
  bool dragging_ = false;
  int grabOffset_ = 0;
  int frequency_ = 1, pageSize_ = 2, lineSize_ = 1;
  std::unique_ptr<TBitmap> barBitmap_;
  bool reloading_ = false;
};

class TsuiScrollTrackBar : public TsuiTrackBar {
public:
  explicit TsuiScrollTrackBar(TComponent* owner);

  bool IsSliderVisible() const;
  void SetSliderVisible(bool visible);
  void FitSlider();

protected:
  bool UsesOwnPictures() const override { return true; }
  bool FocusOnClick() const override { return false; }
  bool SliderTransparent() const override { return false; }
};
