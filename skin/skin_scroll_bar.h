// TsuiScrollBar: a skinned scroll bar made of a start arrow button, a track
// with a thumb (TsuiScrollTrackBar) and an end arrow button. A skinned memo or
// check list lays it over its own scroll bar and keeps both in step; on its
// own it serves through Position and OnChange.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gui/std_controls.h"
#include "skin/skin_keys.h"
#include "skin/skin_progress_bar.h"

class TBitmap;
class TsuiFileTheme;
class TsuiImageButton;
class TsuiScrollTrackBar;

class TsuiScrollBar : public TCustomPanel {
public:
  explicit TsuiScrollBar(TComponent* owner);
  ~TsuiScrollBar() override;

  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TsuiProgressBarOrientation value);
  // The thumb's length in pixels; 0 lets the page size decide it.
  int LineButton() const { return lineButton_; }
  void SetLineButton(int value);
  int Max() const;
  void SetMax(int value);
  int Min() const;
  void SetMin(int value);
  int Position() const;
  void SetPosition(int value);
  int16_t SmallChange() const { return smallChange_; }
  void SetSmallChange(int16_t value) { smallChange_ = value; }
  int16_t LargeChange() const;
  void SetLargeChange(int16_t value);
  int PageSize() const;
  void SetPageSize(int value);
  void ShowThumb(bool visible);

  TsuiScrollTrackBar* Track() const { return track_; }
  TsuiImageButton* StartButton() const { return startButton_; }
  TsuiImageButton* EndButton() const { return endButton_; }

  TNotifyEvent OnChange;

protected:
  void WndProc(TMessage& message) override;
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  bool Vertical() const { return orientation_ == suiVertical; }
  void LoadPictures();
  void LayoutParts();
  void BuildThumb();
  // The built thumb, upright: its pieces turned to stand when the bar lies.
  void DrawThumb(TBitmap* thumb, int length, bool fromSkin) const;

  TsuiScrollTrackBar* track_ = nullptr;
  TsuiImageButton* endButton_ = nullptr;
  TsuiImageButton* startButton_ = nullptr;
  std::unique_ptr<TBitmap> thumbStart_, thumbMiddle_, thumbEnd_;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  int16_t smallChange_ = 1;
  int lineButton_ = 0;
  bool laying_ = false;
};
