// TsuiProgressBar: how far a value has come between Min and Max, across or
// upright, drawn from a skin's four pieces (start cap, fill, empty track, end
// cap) or from a built-in style's fill picture inside a one-pixel border, with
// an optional percentage caption.
#pragma once

#include <memory>

#include "platform/gui/std_controls.h"
#include "skin/skin_keys.h"
#include "skin/store_repaint.h"

class TBitmap;
class TPicture;
class TsuiFileTheme;

enum TsuiProgressBarOrientation : uint8_t { suiHorizontal = 0, suiVertical = 1 };

class TsuiProgressBar : public TCustomPanel {
public:
  explicit TsuiProgressBar(TComponent* owner);
  ~TsuiProgressBar() override;

  int Max() const { return max_; }
  void SetMax(int value) { SetRange(min_, value, position_); }
  int Min() const { return min_; }
  void SetMin(int value) { SetRange(value, max_, position_); }
  int Position() const { return position_; }
  void SetPosition(int value) { SetRange(min_, max_, value); }
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TsuiProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TsuiProgressBarOrientation value);
  // The bar's own background colour; it hides the control's, which stays the platform's.
  TColor Color() const { return barColor_; }
  void SetColor(TColor value) { StoreAndRepaint(this, barColor_, value); }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value) { StoreAndRepaint(this, borderColor_, value); }
  TColor CaptionColor() const { return captionColor_; }
  void SetCaptionColor(TColor value) { StoreAndRepaint(this, captionColor_, value); }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value) { StoreAndRepaint(this, showCaption_, value); }
  bool SmartShowCaption() const { return smartShowCaption_; }
  void SetSmartShowCaption(bool value) { StoreAndRepaint(this, smartShowCaption_, value); }
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* value);

  // The filled part of a length, and the percentage the text shows.
  int FilledLength(int length) const;
  int Percent() const;

protected:
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void SetRange(int min, int max, int position);
  void LoadPictures();
  bool UsesSkinPieces() const;
  void PaintSkin(TCanvas* canvas, int w, int h);
  void PaintBuiltIn(TCanvas* canvas, int w, int h);

  int max_ = 100, min_ = 0, position_ = 50;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  TColor borderColor_ = clBlack, barColor_ = clBtnFace, captionColor_ = clBlack;
  std::unique_ptr<TPicture> picture_;
  bool showCaption_ = true, smartShowCaption_ = false;
  // Start cap, empty track, end cap: only once a skin was loaded.
  std::unique_ptr<TBitmap> pieces_[3];
};
