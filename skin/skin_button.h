// The skinned push buttons. TsuiCustomButton draws one of four states
// (normal, mouse over, pressed, disabled) off-screen from a state picture,
// a caption and a focus mark, clicks on the mouse, Space, Enter, Esc and its
// "&" letter, repeats an event while held and hands its modal result to its
// form. TsuiButton takes its state pictures from the style's button strip
// (nine-sliced) and can show a glyph; TsuiImageButton draws four pictures of
// its own; TsuiToolBarSpeedButton is a small gradient panel with a glyph.
#pragma once

#include <memory>

#include "platform/gui/std_controls.h"
#include "skin/skin_keys.h"

class TBitmap;
class TPicture;
class TTimer;
class TsuiFileTheme;

// Every skinned button answers 1 to this query.
inline constexpr UINT kSkinnedButtonQuery = 35768;

class TsuiCustomButton : public TCustomControl {
public:
  explicit TsuiCustomButton(TComponent* owner);
  ~TsuiCustomButton() override;

  const AnsiString& Caption() const { return Text(); }
  void SetCaption(const AnsiString& value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  virtual TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  int MouseContinuouslyDownInterval() const { return repeatInterval_; }
  void SetMouseContinuouslyDownInterval(int value) { repeatInterval_ = value; }
  int FocusedRectMargin() const { return focusMargin_; }
  void SetFocusedRectMargin(int value);
  void SetEnabled(bool value) override;
  bool Pressed() const { return pressed_; }
  bool MouseIn() const { return mouseIn_; }
  bool Active() const { return active_; }
  int ResHandle() const { return 0; }
  void SetResHandle(int) {}

  // Ends a press, hands ModalResult to the form, then fires OnClick.
  void Click() override;

  TNotifyEvent OnMouseExit;
  TNotifyEvent OnMouseContinuouslyDown;

protected:
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void Notification(TComponent* component, TOperation operation) override;

  virtual void UpdateAutoSize();
  virtual void UIStyleChanged() {}
  virtual void PaintPic(TCanvas* canvas, TBitmap* picture);
  virtual void PaintText(TCanvas* canvas, const AnsiString& text);
  virtual void PaintFocus(TCanvas* canvas);
  virtual void GetNormalPic(TBitmap* dest) { GetButtonPic(dest, 1); }
  virtual void GetMouseOnPic(TBitmap* dest) { GetButtonPic(dest, 2); }
  virtual void GetMouseDownPic(TBitmap* dest) { GetButtonPic(dest, 3); }
  virtual void GetDisabledPic(TBitmap* dest) { GetButtonPic(dest, 1); }

  // Frame frameIndex of the three frames of the style's (or skin's) button strip.
  void GetButtonPic(TBitmap* dest, int frameIndex) const;
  // The caption centred (word-wrapped) in rect.
  void DrawCenteredText(TCanvas* canvas, TRect rect, const AnsiString& text);
  void EndPress();

  bool boldOnce_ = false;
  bool picTransparent_ = false;

private:
  void SetPressed(bool value);
  bool autoSize_ = false, cancel_ = false, default_ = false, transparent_ = false;
  int modalResult_ = 0;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  std::unique_ptr<TTimer> repeatTimer_;
  int repeatInterval_ = 100;
  int focusMargin_ = 2;
  bool active_ = false, mouseIn_ = false, pressed_ = false;
};

class TsuiButton : public TsuiCustomButton {
public:
  explicit TsuiButton(TComponent* owner);
  ~TsuiButton() override;

  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

protected:
  void UIStyleChanged() override;
  void PaintPic(TCanvas* canvas, TBitmap* picture) override;
  void PaintText(TCanvas* canvas, const AnsiString& text) override;
  void PaintFocus(TCanvas* canvas) override;

private:
  std::unique_ptr<TBitmap> glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  TPoint textPos_;
  int spacing_ = 4;
};

class TsuiImageButton : public TsuiCustomButton {
public:
  explicit TsuiImageButton(TComponent* owner);
  ~TsuiImageButton() override;

  // Four pictures of the user's; the style is always the theme file's.
  TsuiUIStyle UIStyle() const override { return FromThemeFile; }
  TBitmap* PicNormal() const { return pics_[0].get(); }
  TBitmap* PicMouseOn() const { return pics_[1].get(); }
  TBitmap* PicMouseDown() const { return pics_[2].get(); }
  TBitmap* PicDisabled() const { return pics_[3].get(); }
  void SetPicNormal(TBitmap* value) { SetPic(0, value); }
  void SetPicMouseOn(TBitmap* value) { SetPic(1, value); }
  void SetPicMouseDown(TBitmap* value) { SetPic(2, value); }
  void SetPicDisabled(TBitmap* value) { SetPic(3, value); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool DrawFocused() const { return drawFocused_; }
  void SetDrawFocused(bool value);

protected:
  void UpdateAutoSize() override;
  void PaintPic(TCanvas* canvas, TBitmap* picture) override;
  void PaintFocus(TCanvas* canvas) override;
  void GetNormalPic(TBitmap* dest) override { CopyPic(0, dest); }
  void GetMouseOnPic(TBitmap* dest) override { CopyPic(1, dest); }
  void GetMouseDownPic(TBitmap* dest) override { CopyPic(2, dest); }
  void GetDisabledPic(TBitmap* dest) override { CopyPic(3, dest); }

private:
  void SetPic(int index, TBitmap* value);
  // The state's picture, PicNormal when it has none; nothing when both are empty.
  void CopyPic(int index, TBitmap* dest) const;
  std::unique_ptr<TBitmap> pics_[4];
  bool stretch_ = false, drawFocused_ = false;
};

class TsuiToolBarSpeedButton : public TCustomPanel {
public:
  explicit TsuiToolBarSpeedButton(TComponent* owner);
  ~TsuiToolBarSpeedButton() override;
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  TColor ToColor() const { return toColor_; }
  void SetToColor(TColor value);

protected:
  void WndProc(TMessage& message) override;
  void Paint() override;

private:
  std::unique_ptr<TBitmap> glyph_;
  TColor toColor_;
  bool mouseIn_ = false;
};
