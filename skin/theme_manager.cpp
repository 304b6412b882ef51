// The theme manager; see theme_manager.h.
#include "skin/theme_manager.h"

#include "platform/gui/forms.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/text.h"
#include "skin/file_theme.h"
#include "skin/skin_props.h"

TsuiThemeManager::TsuiThemeManager(TComponent* owner)
    : TComponent(owner), compList_(std::make_unique<TStringList>()) {
  RegisterSkinProps();
  SetUIStyle(DeepBlue);
}

TsuiThemeManager::~TsuiThemeManager() = default;

void TsuiThemeManager::SetUIStyle(TsuiUIStyle value) {
  const TsuiUIStyle previous = uiStyle_;
  uiStyle_ = value;
  UpdateComponents();
  if (value != previous && OnUIStyleChanged) OnUIStyleChanged(this);
}

void TsuiThemeManager::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  // The same style again: components get the new theme, no change event.
  SetUIStyle(uiStyle_);
}

void TsuiThemeManager::SetCompList(const TStrings* value) { compList_->Assign(value); }

void TsuiThemeManager::UpdateComponents() {
  // Frames (embedded form parts) are forms of their own on this platform.
  if (!dynamic_cast<TCustomForm*>(Owner())) return;
  for (int i = 0; i < compList_->Count(); ++i) {
    TComponent* c = Owner()->FindComponent(compList_->Strings(i));
    if (!c || !IsPublishedProp(c, "UIStyle") || !IsPublishedProp(c, "FileTheme")) continue;
    SetOrdProp(c, "UIStyle", uiStyle_);
    SetObjectProp(c, "FileTheme", fileTheme_);
  }
}

void TsuiThemeManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || component == this) return;
  for (int i = compList_->Count() - 1; i >= 0; --i)
    if (SameText(compList_->Strings(i), component->Name())) compList_->Delete(i);
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    uiStyle_ = DeepBlue;
  }
}
