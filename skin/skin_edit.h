// TsuiEdit: the platform's one-line edit with a one-pixel border in the
// style's border colour (and a second one in the edit's colour inside it).
#pragma once

#include "platform/gui/edits.h"
#include "skin/skin_keys.h"

class TsuiFileTheme;

class TsuiEdit : public TEdit {
public:
  explicit TsuiEdit(TComponent* owner);

  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);

protected:
  void PaintWindow(HDC dc) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void UIStyleChanged() {}

private:
  TColor borderColor_ = clBlack;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
};
