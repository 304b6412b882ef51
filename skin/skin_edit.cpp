// The skinned edit; see skin_edit.h.
#include "skin/skin_edit.h"

#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"

namespace {
enum : uint8_t { kSkinControlBorderColor = 22 };
enum : int { kElBorderColor = 25 };
}  // namespace

TsuiEdit::TsuiEdit(TComponent* owner) : TEdit(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetOwnerUIStyle(owner));
}

void TsuiEdit::SetBorderColor(TColor value) {
  borderColor_ = value;
  Invalidate();
}

void TsuiEdit::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  TsuiUIStyle style;
  borderColor_ = TsuiFileTheme::ResolveStyle(fileTheme_, value, style) ? fileTheme_->GetColor(kSkinControlBorderColor)
                                                                       : GetBuiltInColor(style, kElBorderColor);
  UIStyleChanged();
  Invalidate();
}

void TsuiEdit::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiEdit::Notification(TComponent* component, TOperation operation) {
  TEdit::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TsuiEdit::PaintWindow(HDC dc) {
  TEdit::PaintWindow(dc);
  // The border goes over whatever the edit just painted.
  DrawEditBorder(this, borderColor_, Color(), true);
}
