// TsuiToolBar: the platform tool bar in the style's colours: a gradient (or
// its parent's background) behind the buttons, and hot, pressed and checked
// buttons drawn as a flat face with a border in the style's button colours.
#pragma once

#include "platform/gui/tool_bars.h"
#include "skin/skin_keys.h"

class TsuiFileTheme;

class TsuiToolBar : public TToolBar {
public:
  explicit TsuiToolBar(TComponent* owner);

  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(TColor value);
  TColor ButtonBorderColor() const { return buttonBorderColor_; }
  void SetButtonBorderColor(TColor value);
  TColor ButtonDownColor() const { return buttonDownColor_; }
  void SetButtonDownColor(TColor value);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void DrawBackground(const TRect& rect, bool& defaultDraw);
  void DrawSkinnedButton(TToolButton* button, TCustomDrawState state, bool& defaultDraw);
  // The face in ButtonDownColor (pressed and hot) or ButtonColor, with the image and caption.
  void DrawToolButton(TCanvas* canvas, const TRect& rect, TToolButton* button, TImageList* images, bool pressedFace);

  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  TColor buttonColor_ = clBtnFace, buttonBorderColor_ = clBlack, buttonDownColor_ = clBtnShadow;
  TColor gradientTop_ = clBtnFace, gradientBottom_ = clBtnFace;
};
