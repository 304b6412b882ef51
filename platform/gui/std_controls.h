// The plain standard controls: TLabel (text drawn on the parent), TButton
// (push button with default, cancel and modal result), TCustomPanel and
// TPanel (beveled container with a caption) and TImage (a picture).
#pragma once

#include <cstdint>

#include "platform/gui/controls.h"
#include "platform/gui/picture.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);

protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  UINT TextFlags() const;
  void AdjustBounds();
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false, autoSize_ = true, transparent_ = false, showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
  using TCustomLabel::TCustomLabel;
};

// Where a button's picture sits beside its caption.
enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TButtonControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
};

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  // Pressing the button also sets its form's ModalResult (when non-zero).
  void Click() override;

protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;

private:
  bool default_ = false, cancel_ = false;
  int modalResult_ = 0;
  bool active_ = false;   // Enter clicks it: focused, or the default while no button has the focus
  bool spaceDown_ = false;
};

class TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

protected:
  void Paint() override;

private:
  TBevelCut bevelOuter_ = bvRaised, bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
public:
  using TCustomPanel::TCustomPanel;
};

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() const { return picture_; }
  void SetPicture(const TPicture* picture) { picture_->Assign(picture); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect() const;

protected:
  void Paint() override;

private:
  void PictureChanged();
  TPicture* picture_;
  bool stretch_ = false, center_ = false, proportional_ = false, transparent_ = false, autoSize_ = false;
};
