// TsuiBordered: what the skinned edit, memo and check list share — a style
// and skin that choose a one-pixel border colour, drawn round the whole
// window after the platform control has painted itself.
#pragma once

#include "platform/rtl/components.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_keys.h"
#include "skin/skin_props.h"

template <class Base>
class TsuiBordered : public Base {
public:
  explicit TsuiBordered(TComponent* owner) : Base(owner) { RegisterSkinProps(); }

  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value) {
    borderColor_ = value;
    this->Invalidate();
  }
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value) {
    uiStyle_ = value;
    TsuiUIStyle style;
    borderColor_ = TsuiFileTheme::ResolveStyle(fileTheme_, value, style) ? fileTheme_->GetColor(kSkinBorderColor)
                                                                         : GetBuiltInColor(style, kElBorderColor);
    UIStyleChanged();
    this->Invalidate();
  }
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value) {
    if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
    fileTheme_ = value;
    if (value) value->FreeNotification(this);
    SetUIStyle(uiStyle_);
  }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    Base::Notification(component, operation);
    if (operation == opRemove && component == fileTheme_) {
      fileTheme_ = nullptr;
      SetUIStyle(DeepBlue);
    }
  }
  void PaintWindow(HDC dc) override {
    Base::PaintWindow(dc);
    // The border goes over whatever the control just painted.
    DrawEditBorder(this, borderColor_, this->Color(), drawInnerBorder_);
  }
  virtual void UIStyleChanged() {}

  bool drawInnerBorder_ = true;

private:
  static constexpr uint8_t kSkinBorderColor = 22;
  static constexpr int kElBorderColor = 25;
  TColor borderColor_ = clBlack;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
};
